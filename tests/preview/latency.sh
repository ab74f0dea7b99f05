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
# shellcheck source=tests/preview/xvfb_session.sh
source "$root/tests/preview/xvfb_session.sh"

ffmpeg -hide_banner -loglevel error -i "$root/samples/meadow.png" -vf scale=1920:1080 "$work/frame.png"
start_xvfb 2560x1440x24 || { echo "latency.sh: no X server: $(tail -n 1 "$work/xvfb.log")" >&2; exit 1; }
start_preview --zoom "$zoom" --measure "$@" "$work/frame.png" || { echo "latency.sh: the preview did not open" >&2; exit 1; }
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
