#!/usr/bin/env bash
# The cost of one frame through the frei0r module beside frei0r-plugins' vignette.so, with
# the default parameters, at thumbnail, proxy and full sizes: bench/frei0r_frame_cost.c, a
# minimal frei0r host, built here and run on both modules in turn (median of ROUNDS rounds).
#   bench/frei0r_frame_cost.sh [ROUNDS]     (default 5; BUILD=build/linux)
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=${1:-5}
build=${BUILD:-build/linux}
[ -f "$build/qx_vignette.so" ] || { echo "frei0r_frame_cost: $build/qx_vignette.so is not built" >&2; exit 1; }
[ -f /usr/lib/frei0r-1/vignette.so ] || { echo "frei0r_frame_cost: apt-get install frei0r-plugins" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -Wall -Wextra -Werror -o "$work/frei0r_frame_cost" bench/frei0r_frame_cost.c -ldl
cp "$build/qx_vignette.so" "$build/QX_Vignette.so" "$work/"

# Frames per round: about 30 ms of the reference module's work at each size.
for size in "64 64 2000" "256 256 200" "640 360 60" "1920 1080 10"; do
  read -r width height frames <<<"$size"
  "$work/frei0r_frame_cost" "$width" "$height" "$frames" "$rounds" /usr/lib/frei0r-1/vignette.so \
    "$work/qx_vignette.so" | awk '
      { print; us[NR] = $3 }
      END { printf "  qx_vignette / vignette: %.2f\n", us[2] / us[1] }'
done
