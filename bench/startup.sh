#!/usr/bin/env bash
# qxv's start-up: the median wall time of 10 runs of each command that reads no image file
# (qxv info, a 1-frame raw render, the overlay commands on --size). Their work is a few
# milliseconds, so the figure is mostly start-up: loading qxv, the plug-in and what they link.
#   bench/startup.sh [RUNS]      (default 10; QXV=path/to/qxv overrides the binary)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-10}
qxv=${QXV:-build/linux/qxv}
[ -x "$qxv" ] || { echo "startup: $qxv is not built (run ./scripts/build.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((320 * 180 * 4)) /dev/zero >"$work/one.argb"

median_ms() {  # command...: the median of $runs wall-clock times in milliseconds
  local times=() start end
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    "$@" <"$work/one.argb" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 10000)))  # hundredths of a millisecond
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END {
    m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2; printf "%.1f", m / 100 }'
}

"$qxv" info >/dev/null  # qxv and its libraries into the page cache before anything is timed
echo "qxv start-up, median of $runs runs, ms:"
printf '  %-52s %8s\n' "qxv info" "$(median_ms "$qxv" info)"
printf '  %-52s %8s\n' "qxv render --raw 320x180 --format argb8 (1 frame)" \
  "$(median_ms "$qxv" render --raw 320x180 --format argb8 - -)"
printf '  %-52s %8s\n' "qxv overlay --size 640x360 OUT.pam" \
  "$(median_ms "$qxv" overlay --size 640x360 "$work/overlay.pam")"
printf '  %-52s %8s\n' "qxv handles --size 640x360" "$(median_ms "$qxv" handles --size 640x360)"
printf '  %-52s %8s\n' "qxv drag --size 640x360 --from --to" \
  "$(median_ms "$qxv" drag --size 640x360 --from 320,180 --to 330,180)"
