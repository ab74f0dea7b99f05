#!/usr/bin/env bash
# qxv preview in a real X window under Xvfb. Drags the bottom-right corner handle and then the
# opacity handle with xdotool, and checks
#   - the parameter values the drag rules give for the release points (printed with P and at exit),
#   - that a screenshot of the window matches the host's window picture (qxv overlay) for those
#     values, with the outline at its new place and gone from the old one,
#   - that S saves the frame and prints a qxv render command line that renders the same bytes,
#   - that H switches to Premiere Pro with the same values,
#   - that the popups and checkboxes step on the keys listed from their registered names,
#   - and that closing exits cleanly.
# Exits 77 (skipped) only where no X server can be started.
# Usage: preview_test.sh PATH/TO/qxv      (QXV_PREVIEW_SHOT=FILE keeps the screenshot)
set -euo pipefail

qxv=$(realpath "${1:?usage: preview_test.sh PATH/TO/qxv}")
root=$(cd "$(dirname "$0")/../.." && pwd)
sample="$root/samples/meadow.png"
# shellcheck source=tests/preview/xvfb_session.sh
source "$root/tests/preview/xvfb_session.sh"
fail() { echo "FAIL: $*" >&2; for f in "$work"/err.txt "$work"/out.txt; do [ -f "$f" ] && sed 's/^/  | /' "$f" >&2; done; exit 1; }

if ! command -v Xvfb >/dev/null; then
  echo "SKIPPED: Xvfb is not installed (scripts/deps.sh installs xvfb), so no X server can be started"
  exit 77
fi
for tool in xdotool ffmpeg idiff oiiotool python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done

if ! start_xvfb 1280x800x24; then
  echo "SKIPPED: no X server could be started: $(tail -n 1 "$work/xvfb.log" 2>/dev/null)"
  exit 77
fi
cd "$work"

start_preview --zoom 1 --json --save-dir "$work" "$sample" || fail "the preview did not open its window"
[ -n "$window" ] || fail "no window titled 'qxv preview'"
xdotool windowfocus --sync "$window" 2>/dev/null || true

# A value from a JSON line: json FILE-LINE-TEXT KEY (params.Width, host, ...).
json() { python3 -c 'import json,sys; v=json.loads(sys.argv[1])
for k in sys.argv[2].split("."): v=v[k]
print(v)' "$1" "$2"; }
handle() {  # handle NUMBER [--set ...]: "x y" of a handle as the hit test places it
  local number=$1; shift
  "$qxv" handles --zoom 1 --json "$@" "$sample" |
    python3 -c 'import json,sys; h=[h for h in json.load(sys.stdin)["handles"] if h["number"]==int(sys.argv[1])][0]; print(h["x"], h["y"])' "$number"
}
drag() {  # drag X0 Y0 X1 Y1: press, eight moves, release
  xdotool mousemove --window "$window" "$1" "$2" mousedown 1
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --window "$window" $(($1 + ($3 - $1) * i / 8)) $(($2 + ($4 - $2) * i / 8))
    sleep 0.03
  done
  xdotool mouseup 1
  sleep 0.3
}
press() { xdotool key --window "$window" "$1"; sleep 0.3; }
last_params() { grep '^{' out.txt | tail -n 1; }

# The origin stays at the layer's centre, (480, 270): with Angle 0 and square pixels the
# bottom-right corner released at (x, y) gives Width 2(x - 480) and Height 2(y - 270).
read -r cx cy <<<"$(handle 4)"
drag "$cx" "$cy" $((cx + 70)) $((cy + 45))
press p
params=$(last_params)
width=$((2 * (cx + 70 - 480))) height=$((2 * (cy + 45 - 270)))
[ "$(json "$params" params.Width)" = "$width" ] || fail "Width after the corner drag: $(json "$params" params.Width), not $width"
[ "$(json "$params" params.Height)" = "$height" ] || fail "Height after the corner drag: $(json "$params" params.Height), not $height"

# The opacity becomes the window pixels from 50 below the origin up to the release point.
read -r ox oy <<<"$(handle 10 --set "Width=$width" --set "Height=$height")"
drag "$ox" "$oy" "$ox" $((oy - 30))
press p
params=$(last_params)
opacity=$(( (270 + 50 - (oy - 30)) * 65536 ))
[ "$(json "$params" params.Opacity)" = "$opacity" ] || fail "Opacity after the opacity drag: $(json "$params" params.Opacity), not $opacity"
[ "$(json "$params" params.Feather)" = "100" ] && [ "$(json "$params" params.Angle)" = "0" ] ||
  fail "a drag changed a parameter its handle does not drive: $params"

# The window as the screen shows it, against the host's window pictures before and after.
eval "$(xdotool getwindowgeometry --shell "$window")"
ffmpeg -hide_banner -loglevel error -y -f x11grab -draw_mouse 0 -video_size "${WIDTH}x${HEIGHT}" \
  -i "$DISPLAY+$X,$Y" -frames:v 1 shot.png
[ -n "${QXV_PREVIEW_SHOT:-}" ] && cp shot.png "$QXV_PREVIEW_SHOT"
percent=$(( opacity / 65536 ))
"$qxv" overlay --zoom 1 --set "Width=$width" --set "Height=$height" --set "Opacity=$percent" "$sample" after.png
"$qxv" overlay --zoom 1 "$sample" before.png
oiiotool after.png --ch R,G,B -o after-rgb.png
oiiotool before.png --ch R,G,B -o before-rgb.png
idiff -fail 0.012 -failpercent 0.05 -warn 0.012 shot.png after-rgb.png >idiff.txt ||
  fail "the screenshot is not the window picture of the new values: $(grep -i 'over\|max' idiff.txt | head -n 3)"
ffmpeg -hide_banner -loglevel error -i shot.png -f rawvideo -pix_fmt rgb24 shot.rgb
ffmpeg -hide_banner -loglevel error -i before-rgb.png -f rawvideo -pix_fmt rgb24 before.rgb
# The outline's right side crosses the origin's row at x = 480 + Width/2: the overlay colour
# is there now, and no longer at the old side, x = 630.
python3 - "$WIDTH" $((480 + width / 2)) 630 <<'PY' || fail "the outline is not where the new Width puts it"
import sys
w, new_x, old_x = map(int, sys.argv[1:])
shot, before = open("shot.rgb", "rb").read(), open("before.rgb", "rb").read()
def px(data, x, y): i = (y * w + x) * 3; return data[i:i + 3]
overlay = (204, 237, 255)  # the host's overlay theme colour
near = lambda p: max(abs(a - b) for a, b in zip(p, overlay)) <= 24
assert near(px(shot, new_x, 270)), ("new side", tuple(px(shot, new_x, 270)))
assert near(px(before, old_x, 270)) and not near(px(shot, old_x, 270)), ("old side", tuple(px(shot, old_x, 270)))
PY

# S: the frame as PNG and the qxv render command line that makes the same bytes.
press s
# Writing the PNG can outlast press's pause on a loaded machine: wait for the line.
for _ in $(seq 50); do grep -qs '^saved ' out.txt && break; sleep 0.1; done
saved=$(sed -n 's/^saved \(.*\); the same frame:$/\1/p' out.txt | tail -n 1)
[ -f "$saved" ] || fail "S saved no frame"
line=$(grep -A1 '^saved ' out.txt | tail -n 1 | sed 's/^ *//')
case "$line" in "qxv render "*) ;; *) fail "S printed no qxv render command line: $line" ;; esac
mv "$saved" saved.png
eval "\"\$qxv\" ${line#qxv }" || fail "the printed command failed: $line"
idiff -fail 0 saved.png "$saved" >/dev/null || fail "the printed command renders another frame: $line"

# H: Premiere Pro with the same values.
press h
params_ae=$params
press p
params=$(last_params)
[ "$(json "$params" host)" = "Premiere Pro" ] || fail "H did not switch to Premiere Pro: $params"
[ "$(json "$params" params)" = "$(json "$params_ae" params)" ] || fail "the values changed with the host"

# The popups' and checkboxes' keys, from their registered names: listed when the window opened.
grep -q "keys (shift: back) V Vignette Type, F Fill with, B Blending mode, I Invert, M Mask Only, A Alpha falloff" err.txt ||
  fail "the window did not list the parameters' keys"
press v
press shift+b
press p
params=$(last_params)
[ "$(json "$params" "params.Vignette Type")" = 2 ] || fail "V did not step Vignette Type: $params"
[ "$(json "$params" "params.Blending mode")" = 2 ] || fail "shift+B did not step Blending mode back: $params"

# Closing the window (the window system's quit) ends it cleanly, with the values as JSON.
kill -TERM "$preview_pid"
status=0
wait "$preview_pid" || status=$?
preview_pid=""
[ "$status" = 0 ] || fail "the preview exited with $status when closed"
grep -q "window closed" err.txt || fail "no message when the window closed"
[ "$(json "$(last_params)" params.Opacity)" = "$opacity" ] || fail "no parameter JSON at exit"
echo "preview under Xvfb: corner drag to Width $width, Height $height; opacity drag to $percent %; screenshot, S and H checked"
