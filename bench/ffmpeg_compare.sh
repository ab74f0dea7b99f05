#!/usr/bin/env bash
# qxv render against FFmpeg's own vignette filter on the same raw 4K ARGB frames, side by
# side: both read the frames from a file on standard input and write raw frames to
# /dev/null, so each figure is the whole pipe stage (reading, rendering, writing).
# Each command runs once on one frame and once on all of them; the difference divided by
# the extra frames is the cost of a frame once the program has started (qxv loads the
# plug-in and starts its threads; FFmpeg sets up its filter graph).
#   bench/ffmpeg_compare.sh [FRAMES]      (default 20; QXV=path/to/qxv overrides the binary)
set -euo pipefail
cd "$(dirname "$0")/.."

frames=${1:-20}
size=3840x2160
qxv=${QXV:-build/linux/qxv}
[ -x "$qxv" ] || { echo "ffmpeg_compare: $qxv is not built (run ./scripts/build.sh)" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "ffmpeg_compare: ffmpeg is not installed (apt-get install ffmpeg)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -loglevel error -f lavfi -i "testsrc2=size=$size:rate=25" -frames:v "$frames" \
  -f rawvideo -pix_fmt argb "$work/frames.argb"
head -c $((3840 * 2160 * 4)) "$work/frames.argb" >"$work/one.argb"

run_ms() {  # input file, command...: wall-clock milliseconds
  local input=$1 start end
  shift
  start=$(date +%s%N)
  "$@" <"$input" >/dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

# "per frame overall / per frame after start-up" for a command reading frames on stdin.
time_per_frame() {
  local all one
  all=$(run_ms "$work/frames.argb" "$@")
  one=$(run_ms "$work/one.argb" "$@")
  echo "$(echo "scale=1; $all / $frames" | bc) $(echo "scale=1; ($all - $one) / ($frames - 1)" | bc)"
}

cat "$work/frames.argb" >/dev/null  # into the page cache before anything is timed
read_times=$(time_per_frame cat)
qxv_times=$(time_per_frame "$qxv" render --raw "$size" --format argb8 - -)
qxv1_times=$(time_per_frame "$qxv" render --raw "$size" --format argb8 --threads 1 - -)
ffmpeg_times=$(time_per_frame ffmpeg -loglevel error -f rawvideo -pix_fmt argb -s "$size" -i - -vf vignette \
  -f rawvideo -)

read -r qxv_all qxv_ms <<<"$qxv_times"
read -r qxv1_all qxv1_ms <<<"$qxv1_times"
read -r ffmpeg_all ffmpeg_ms <<<"$ffmpeg_times"
read -r read_all read_ms <<<"$read_times"
echo "$frames frames of $size argb, default parameters, ms per frame (overall / after start-up):"
printf '  %-32s %8s %8s\n' "cat (reading the frames only)" "$read_all" "$read_ms"
printf '  %-32s %8s %8s\n' "qxv render, all cores" "$qxv_all" "$qxv_ms"
printf '  %-32s %8s %8s\n' "qxv render --threads 1" "$qxv1_all" "$qxv1_ms"
printf '  %-32s %8s %8s\n' "ffmpeg -vf vignette" "$ffmpeg_all" "$ffmpeg_ms"
printf '  ffmpeg / qxv (all cores): %sx overall, %sx after start-up\n' \
  "$(echo "scale=2; $ffmpeg_all / $qxv_all" | bc)" "$(echo "scale=2; $ffmpeg_ms / $qxv_ms" | bc)"
