#!/usr/bin/env bash
# Measures qxv preview's time from a drag event to the redrawn window on a 1920x1080 frame
# (the sample frame scaled up) under Xvfb: 40 drag events on the bottom-right corner handle,
# then the summary that --measure prints. Not part of the test run: timings belong here.
# Usage: latency.sh PATH/TO/qxv [ZOOM (default 1/2)] [preview options...]
set -euo pipefail
qxv=$(realpath "${1:?usage: latency.sh PATH/TO/qxv [ZOOM] [options...]}")
zoom=${2:-1/2}
shift $(( $# >= 2 ? 2 : 1 ))
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
xvfb_pid="" preview_pid=""
cleanup() {
  [ -n "$preview_pid" ] && kill "$preview_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

ffmpeg -hide_banner -loglevel error -i "$root/samples/meadow.png" -vf scale=1920:1080 "$work/frame.png"
Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"

"$qxv" preview --zoom "$zoom" --measure "$@" "$work/frame.png" 2>"$work/err.txt" &
preview_pid=$!
for _ in $(seq 100); do grep -qs showing "$work/err.txt" && break; sleep 0.1; done
window=$(xdotool search --name '^qxv preview' | head -n 1)
read -r x y <<<"$("$qxv" handles --zoom "$zoom" --json "$work/frame.png" |
  python3 -c 'import json,sys; h=json.load(sys.stdin)["handles"][3]; print(h["x"], h["y"])')"
xdotool mousemove --window "$window" "$x" "$y" mousedown 1
for i in $(seq 40); do
  xdotool mousemove --window "$window" $((x + i * 3)) $((y + i * 2))
  sleep 0.06
done
xdotool mouseup 1
sleep 0.5
kill -TERM "$preview_pid"
wait "$preview_pid" || true
preview_pid=""
echo "1920x1080 frame, zoom $zoom, $(nproc) cores:"
grep -E "release|drag events" "$work/err.txt"
