#!/bin/bash
# QX Vignette's handles in Shotcut's player under Xvfb. First the picture: a 16:9 clip with the
# filter selected, the handles over the player. Then the drags, as a user makes them: the
# centre, a corner, and the opacity knob with Opacity keyframed, on a frame that the player shows at 100 % (one
# screen pixel a frame pixel, so `qxv drag` can be given the same mouse positions). Shotcut
# saves the project; the values it wrote must be those `qxv drag` predicts (the centre: moved
# by the mouse's path), and melt's render of the saved project the frame `qxv render` makes of
# them. By hand, as root (Shotcut reads filters only from /usr/share/shotcut/qml/filters; the
# folder is put there for the run and removed after):
#   tests/editors/shotcut_handles_under_xvfb.sh BUILD_DIR [SCREENSHOT_DIR]
# Positions of Shotcut's own controls were found on Shotcut 22.12.21 at 1600x1000; the
# player's place and size the run's vui.qml reports. Under Xvfb the player composes no QML
# over the video (Shotcut's own crop handles do not show either), so for the picture the
# run's vui.qml also has the handle layer save what it drew, which is laid over the
# screenshot where the layer sits. Exits 77 when a program is missing, 1 when a value or a
# frame differs.
set -u
build=$(cd "$1" && pwd)
shots=${2:-$(mktemp -d)}
mkdir -p "$shots"
for program in shotcut melt Xvfb xdotool import convert ffmpeg python3; do
  command -v $program >/dev/null || { echo "$program is not installed"; exit 77; }
done
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d /tmp/qxv-shotcut-handles-XXXXXX)
filters=/usr/share/shotcut/qml/filters/qx_vignette
placed_filter=0
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  [ $placed_filter = 1 ] && rm -rf "$filters"
  [ -n "${KEEP_SCRATCH:-}" ] || rm -rf "$scratch"
}
trap cleanup EXIT

[ -e "$filters" ] && { echo "$filters exists: remove it first"; exit 1; }
mkdir -p "$scratch/lib/frei0r-1" "$scratch/lib/qx-vignette"
cp "$build/qx_vignette.so" "$scratch/lib/frei0r-1/"
cp "$build/QX_Vignette.so" "$scratch/lib/qx-vignette/"
cp -r "$build/editors/shotcut/qx_vignette" "$filters" && placed_filter=1
# Every second the layer says where it is on screen, where the player shows the frame and
# the playhead, and saves what it drew.
python3 - "$filters/vui.qml" "$scratch" <<'PY'
import sys
path, scratch = sys.argv[1:]
text = open(path).read().rstrip()
open(path, "w").write(text[:-1] + f"""    id: layer
    Timer {{
        interval: 1000; repeat: true; running: true
        onTriggered: {{
            var at = layer.mapToGlobal(0, 0);
            console.log('qxv-player', at.x, at.y, layer.width, layer.height, video.rect.x, video.rect.y,
                        video.rect.width, video.rect.height, video.zoom, producer.position)
            for (var i = 0; i < layer.children.length; ++i)
                if (layer.children[i].toDataURL) layer.children[i].save('{scratch}/layer.png')
        }}
    }}
}}
""")
PY
export FREI0R_PATH=$scratch/lib/frei0r-1:/usr/lib/frei0r-1

display=${QXV_DISPLAY:-140}
while [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
Xvfb :$display -screen 0 1600x1000x24 >/dev/null 2>&1 & pids+=($!)
sleep 2
export DISPLAY=:$display
x() { xdotool "$@"; sleep 1.5; }
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# project PATH IMAGE WIDTH HEIGHT OPACITY_PROPERTY: the clip with the filter: an ellipse
# turned by 22.5 degrees, Multiply in black.
project() {
  cat > "$1" <<XML
<?xml version="1.0" encoding="utf-8"?>
<mlt LC_NUMERIC="C" version="7.12.0">
  <profile description="handles" width="$3" height="$4" progressive="1" sample_aspect_num="1" sample_aspect_den="1" display_aspect_num="$3" display_aspect_den="$4" frame_rate_num="25" frame_rate_den="1" colorspace="709"/>
  <producer id="producer0" in="0" out="124">
    <property name="length">125</property>
    <property name="resource">$2</property>
    <property name="mlt_service">qimage</property>
    <filter id="filter0">
      <property name="mlt_service">frei0r.qx_vignette</property>
      <property name="shotcut:filter">qx_vignette</property>
      <property name="0">Ellipse</property><property name="1">0.5</property><property name="2">0.5</property>
      <property name="3">0.4</property><property name="4">0.5</property>
      <property name="5">0.0625</property><property name="6">0.05</property><property name="7">Color</property>
      <property name="8">#000000</property><property name="9">$5</property><property name="10">Multiply</property>
      <property name="11">Linear</property><property name="12">0</property><property name="13">0</property>
    </filter>
  </producer>
</mlt>
XML
}

# Opens a project in Shotcut (a fresh home each time: no recovery question) and selects the
# filter, whose handles then go over the player; sets `player` to what the layer reports.
open_in_shotcut() {
  rm -rf "$scratch/home" "$scratch/layer.png"; mkdir -p "$scratch/home"
  HOME=$scratch/home shotcut "$1" >"$scratch/shotcut.log" 2>&1 & pids+=($!)
  sleep 25
  x windowsize "$(xdotool search --name Shotcut | tail -1)" 1600 1000
  x mousemove 103 709 click 1            # the Filters tab
  x mousemove 150 165 click 1            # the filter
  sleep 2
  player=($(grep -a 'qxv-player' "$scratch/shotcut.log" | tail -1 | sed 's/.*qxv-player //'))
  [ ${#player[@]} = 10 ] || { fail "the handle layer did not load in Shotcut"; exit 1; }
}

# The screen with the handle layer laid where it sits, cropped to the panel and the player.
picture() {
  import -window root "$scratch/screen.png"
  for try in 1 2 3; do   # the layer may be writing it
    cp "$scratch/layer.png" "$scratch/drawn.png" && identify "$scratch/drawn.png" >/dev/null 2>&1 && break
    sleep 0.4
  done
  convert "$scratch/screen.png" "$scratch/drawn.png" -geometry +${player[0]}+${player[1]} -compose over -composite \
    -crop 1290x600+0+75 +repage "$1"
}

# ---- The picture: the sample frame, 16:9, fitted into the player.
project "$scratch/picture.mlt" "$here/../../samples/meadow.png" 960 540 0.6
open_in_shotcut "$scratch/picture.mlt"
picture "$shots/shotcut-handles.png"
echo "picture: the layer at ${player[0]},${player[1]} (${player[2]}x${player[3]}), the frame at ${player[4]},${player[5]} scaled to ${player[6]}x${player[7]}"
x mousemove 1097 674 click 1           # the player's zoom button: zoomed in, scrolled
sleep 1.5
picture "$shots/shotcut-handles-zoomed.png"
kill -9 "${pids[-1]}"; sleep 2

# ---- The drags: a frame as high as the player, shown at 100 %, its width even to the
# player's parity so that it sits on whole pixels.
height=${player[3]} width=$((480 + ${player[2]} % 2))
ffmpeg -v error -i "$here/../../samples/meadow.png" -vf "scale=-2:$height,crop=$width:$height" -y "$scratch/clip.png"
ffmpeg -v error -i "$scratch/clip.png" -f rawvideo -pix_fmt bgra -y "$scratch/in.bgra"
project "$scratch/clip.mlt" "$scratch/clip.png" $width $height "00:00:00.000=0.6;00:00:03.000=0.6"
open_in_shotcut "$scratch/clip.mlt"
# Paused at frame 50 (2 s): the new Opacity keyframe goes there.
x mousemove 690 674 click --repeat 3 1
x key ctrl+a; x type 00:00:02:00; x key Return
sleep 2
player=($(grep -a 'qxv-player' "$scratch/shotcut.log" | tail -1 | sed 's/.*qxv-player //'))
expected_rect="$(((${player[2]} - width) / 2)) 0 $width $height 0"
[ "${player[*]:4:5}" = "$expected_rect" ] || fail "the player shows the frame at '${player[*]:4:5}', not '$expected_rect'"
frame_x() { echo $((${player[0]} + ${player[4]} + $1)); }
frame_y() { echo $((${player[1]} + $1)); }
# Presses at a frame point, moves to another in eight steps and releases.
drag() {
  local x0=$(frame_x $1) y0=$(frame_y $2) x1=$(frame_x $3) y1=$(frame_y $4)
  xdotool mousemove $x0 $y0 mousedown 1; sleep 0.5
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((x0 + (x1 - x0) * i / 8)) $((y0 + (y1 - y0) * i / 8)); sleep 0.3
  done
  xdotool mouseup 1; sleep 1.5
}
# The centre by (-60, +30); the bottom-right corner, where the plug-in finds it for the moved
# shape, 40 right and 25 down; the opacity knob 15 up (60 % to 75 %).
cx=$((width / 2)) cy=$((height / 2))
drag $cx $cy $((cx - 60)) $((cy + 30))
ox=$((cx - 60)) oy=$((cy + 30))
python_number() { python3 -c "print(repr($1))"; }
shape=(--set "Point of origin=$ox,$oy" --set Angle=22.5 --set Feather=$(python_number "0.05 * $width")
       --set Color=#000000 --set "Blending mode=Multiply" --set "Alpha falloff=Linear")
moved=(--host premiere --size ${width}x$height "${shape[@]}" --set Opacity=60)
sized=("${moved[@]}" --set Width=$(python_number "0.4 * $width") --set Height=$(python_number "0.5 * $height"))
read hx hy <<<"$("$build/qxv" handles --json "${sized[@]}" | python3 -c 'import json, sys; h = json.load(sys.stdin)["handles"][3]; print(h["x"], h["y"])')"
drag $hx $hy $((hx + 40)) $((hy + 25))
corner=$("$build/qxv" drag --json "${sized[@]}" --from $hx,$hy --to $((hx + 40)),$((hy + 25)) --steps 8)
read drag_width drag_height <<<"$(python3 -c 'import json, sys; p = json.loads(sys.argv[1])["events"][-1]["params"]; print(repr(p["Width"]), repr(p["Height"]))' "$corner")"
resized=("${moved[@]}" --set Width=$drag_width --set Height=$drag_height)
read kx ky <<<"$("$build/qxv" handles --json "${resized[@]}" | python3 -c 'import json, sys; h = json.load(sys.stdin)["handles"][9]; print(h["x"], h["y"])')"
drag $kx $ky $kx $((ky - 15))
picture "$shots/shotcut-handles-dragged.png"
knob=$("$build/qxv" drag --json "${resized[@]}" --from $kx,$ky --to $kx,$((ky - 15)) --steps 8)
x key ctrl+s                           # saved by Shotcut, in its own words
sleep 5
kill -9 "${pids[-1]}"; sleep 2

# The saved values against the predictions, and the frame at the new Opacity keyframe.
result=$(python3 - "$scratch/clip.mlt" "$corner" "$knob" $width $height $ox $oy <<'PY'
import json, re, sys
project, corner, knob = open(sys.argv[1]).read(), json.loads(sys.argv[2]), json.loads(sys.argv[3])
width, height, ox, oy = map(int, sys.argv[4:])
props = dict(re.findall(r'<property name="(\d+)">([^<]*)</property>', project))
def frames(clock):  # "00:00:02.000", a keyframe type mark after it
    h, m, s = re.sub(r"[^0-9:.]", "", clock).split(":")
    return round((int(h) * 3600 + int(m) * 60 + float(s)) * 25)
keys = [k.split("=") for k in props["9"].split(";")]
new = [(frames(t), float(v)) for t, v in keys if float(v) != 0.6]
problems = []
if corner["handle"] != 4 or knob["handle"] != 10:
    problems.append(f"qxv drag took handles {corner['handle']} and {knob['handle']}, not 4 and 10")
if len(new) != 1 or len(keys) != 3: problems.append(f"Opacity is {props['9']!r}: expected one new keyframe")
opacity = knob["events"][-1]["params"]["Opacity"] / 65536
saved = {"Point of origin X": float(props["1"]) * width, "Point of origin Y": float(props["2"]) * height,
         "Width": float(props["3"]) * width, "Height": float(props["4"]) * height,
         "Opacity": new[0][1] * 100 if new else None}
wanted = {"Point of origin X": ox, "Point of origin Y": oy, "Width": corner["events"][-1]["params"]["Width"],
          "Height": corner["events"][-1]["params"]["Height"], "Opacity": opacity}
for name in saved:
    if saved[name] is None or abs(saved[name] - wanted[name]) > 1e-9:
        problems.append(f"{name}: Shotcut saved {saved[name]}, qxv drag predicts {wanted[name]}")
    else:
        print(f"ok   {name}: Shotcut saved {saved[name]!r}, qxv drag predicts {wanted[name]!r}", file=sys.stderr)
print(new[0][0] if new else 0, repr(opacity))
for p in problems: print("FAIL", p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
) || failures=$((failures + 1))
read frame drag_opacity <<<"$result"
melt -silent "$scratch/clip.mlt" in=0 out=$frame -consumer "avformat:$scratch/out.bgra" f=rawvideo pix_fmt=bgra real_time=0 2>/dev/null
"$build/qxv" render --raw ${width}x$height --format bgra8 "${shape[@]}" --set Width=$drag_width --set Height=$drag_height \
  --set Opacity=$drag_opacity "$scratch/in.bgra" "$scratch/q.bgra"
size=$((width * height * 4))
if cmp -s <(tail -c +$((frame * size + 1)) "$scratch/out.bgra" | head -c $size) "$scratch/q.bgra"; then
  echo "ok   melt's frame $frame of the saved project equals qxv render of the values qxv drag predicts"
else
  fail "melt's frame $frame of the saved project differs from qxv render of the values qxv drag predicts"
fi
echo "$failures failure(s); pictures in $shots"
[ $failures = 0 ]
