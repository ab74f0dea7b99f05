#!/bin/bash
# Shows QX Vignette in Kdenlive and Shotcut under Xvfb, saves a project from each program and
# renders it with melt, as both programs' own renderers do, against qxv render. By hand:
#   tests/editors/editors_under_xvfb.sh BUILD_DIR [SCREENSHOT_DIR]
# Needs root for Shotcut, which reads filters only from /usr/share/shotcut/qml/filters (the
# folder is put there for the run and removed after). Drives the programs' windows by screen
# positions found on Kdenlive 22.12.3 and Shotcut 22.12.21 at 1600x1000. Exits 77 when an
# editor, Xvfb or xdotool is missing, 1 when a rendered frame differs.
set -u
build=$(cd "$1" && pwd)
shots=${2:-$(mktemp -d)}
mkdir -p "$shots"
for program in kdenlive shotcut melt Xvfb xdotool import dbus-run-session ffmpeg; do
  command -v $program >/dev/null || { echo "$program is not installed"; exit 77; }
done
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d /tmp/qxv-editors-XXXXXX)
filters=/usr/share/shotcut/qml/filters/qx_vignette
placed_filter=0
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  [ $placed_filter = 1 ] && rm -rf "$filters"
  [ -n "${KEEP_SCRATCH:-}" ] || rm -rf "$scratch"
}
trap cleanup EXIT

mkdir -p "$scratch/lib/frei0r-1" "$scratch/lib/qx-vignette" "$scratch/home/.local/share/kdenlive/effects"
cp "$build/qx_vignette.so" "$scratch/lib/frei0r-1/"
cp "$build/QX_Vignette.so" "$scratch/lib/qx-vignette/"
cp "$build/editors/kdenlive/frei0r_qx_vignette.xml" "$scratch/home/.local/share/kdenlive/effects/"
if [ ! -e "$filters" ]; then cp -r "$build/editors/shotcut/qx_vignette" "$filters" && placed_filter=1; fi
cp "$here/../../samples/meadow.png" "$scratch/meadow.png"
export HOME=$scratch/home FREI0R_PATH=$scratch/lib/frei0r-1:/usr/lib/frei0r-1

# A display of our own: the first number with no lock file.
display=140
while [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
Xvfb :$display -screen 0 1600x1000x24 >/dev/null 2>&1 & pids+=($!)
sleep 2
export DISPLAY=:$display
x() { xdotool "$@"; sleep 1.5; }
shot() { import -window root "$shots/$1.png"; }

# Renders frames of a saved project through melt and compares them with qxv render.
# compare PROJECT START FIRST_FRAME COUNT QXV_SETS_PER_FRAME...: melt renders from START (a
# clip's own file keeps its keyframes relative to where melt starts it, a timeline does not).
failures=0
compare() {
  local project=$1 start=$2 first=$3 count=$4; shift 4
  ffmpeg -v error -i "$scratch/meadow.png" -f rawvideo -pix_fmt bgra -y "$scratch/in.bgra"
  melt -silent "$project" in=$start out=$((first + count - 1)) -consumer "avformat:$scratch/out.bgra" \
    f=rawvideo pix_fmt=bgra real_time=0 2>/dev/null
  local i=0
  for sets in "$@"; do
    eval "set -- $sets"
    "$build/qxv" render --raw 960x540 --format bgra8 "$@" "$scratch/in.bgra" "$scratch/q.bgra"
    if cmp -s <(tail -c +$(((first - start + i) * 2073600 + 1)) "$scratch/out.bgra" | head -c 2073600) "$scratch/q.bgra"; then
      echo "ok   $(basename "$project") frame $((first + i))"
    else
      echo "FAIL $(basename "$project") frame $((first + i))"; failures=$((failures + 1))
    fi
    i=$((i + 1))
  done
}

# ---- Shotcut: a clip with the filter, non-default choices and a keyframed Width.
cat > "$scratch/clip.mlt" <<XML
<?xml version="1.0" encoding="utf-8"?>
<mlt LC_NUMERIC="C" version="7.12.0">
  <profile description="sample" width="960" height="540" progressive="1" sample_aspect_num="1" sample_aspect_den="1" display_aspect_num="16" display_aspect_den="9" frame_rate_num="25" frame_rate_den="1" colorspace="709"/>
  <producer id="producer0" in="0" out="124">
    <property name="length">125</property>
    <property name="resource">$scratch/meadow.png</property>
    <property name="mlt_service">qimage</property>
    <filter id="filter0">
      <property name="mlt_service">frei0r.qx_vignette</property>
      <property name="shotcut:filter">qx_vignette</property>
      <property name="0">Rectangle</property><property name="1">0.5</property><property name="2">0.5</property>
      <property name="3">00:00:00.000=0.25;00:00:03.000=0.5</property><property name="4">0.375</property>
      <property name="5">0.0625</property><property name="6">0.125</property><property name="7">Color</property>
      <property name="8">#3366ff</property><property name="9">0.75</property><property name="10">Screen</property>
      <property name="11">Gaussian</property><property name="12">0</property><property name="13">0</property>
    </filter>
  </producer>
</mlt>
XML
shotcut "$scratch/clip.mlt" >"$scratch/shotcut.log" 2>&1 & pids+=($!)
sleep 25
grep -q 'added filter "QX Vignette"' "$scratch/shotcut.log" || { echo "FAIL Shotcut did not accept the filter"; failures=$((failures + 1)); }
x windowsize "$(xdotool search --name Shotcut | tail -1)" 1600 1000
x mousemove 103 709 click 1            # the Filters tab
shot shotcut-panel
x key ctrl+s                           # saved by Shotcut, in its own words
sleep 5                                # killed while writing, it leaves a frame of another project
kill -9 "${pids[-1]}"; sleep 2  # it would ask about the unsaved session
common='--set "Vignette Type=Rectangle" --set "Height=202.5" --set Angle=22.5 --set Feather=120 --set Color=#3366ff --set Opacity=75 --set "Blending mode=Screen" --set "Alpha falloff=Gaussian"'
compare "$scratch/clip.mlt" 0 0 1 "$common --set Width=240"
compare "$scratch/clip.mlt" 0 75 1 "$common --set Width=480"

# ---- Kdenlive: the clip on the timeline, the effect dropped on it, changed, the project saved.
dbus-run-session kdenlive -i "$scratch/meadow.png" >"$scratch/kdenlive.log" 2>&1 & pids+=($!)
sleep 40
x mousemove 737 404 click 1            # "Continue" with the clip's 960x540 profile
x mousemove 645 200 mousedown 1 sleep 0.3 mousemove 500 400 sleep 0.3 mousemove 300 660 sleep 0.3 mousemove 260 680 sleep 0.5 mouseup 1
x mousemove 195 466 click 1            # the Effects tab
x mousemove 207 75 click 1 type QX
shot kdenlive-effect-list
x mousemove 97 151 mousedown 1 sleep 0.3 mousemove 150 300 sleep 0.3 mousemove 280 650 sleep 0.3 mousemove 289 685 sleep 0.5 mouseup 1
x mousemove 289 690 click 1
x mousemove 1244 18 click 1            # the Effects layout: the whole stack
shot kdenlive-panel
# Changed through the panel: two choices, the falloff and the width, then saved and rendered.
x mousemove 620 104 click 1; x key Down Return               # Vignette Type: Rectangle
x mousemove 620 177 click 1; x type Overlay; x key Return    # Blending mode
x mousemove 620 202 click 1; x type Gaussian; x key Return   # Alpha falloff
x mousemove 703 402 click --repeat 2 1; x key ctrl+a; x type 60; x key Return   # Width, per cent
shot kdenlive-choices
x key ctrl+s
x type "$scratch/project.kdenlive"
x key Return
sleep 3
compare "$scratch/project.kdenlive" 190 190 1 '--set "Vignette Type=Rectangle" --set Width=576 --set Height=100 --set Feather=50 --set "Blending mode=Overlay" --set "Alpha falloff=Gaussian"'

echo "$failures failure(s); screenshots in $shots"
[ $failures = 0 ]
