#!/usr/bin/env bash
# The cost of the effect inside FFmpeg, through the frei0r module qx_vignette.so, against
# FFmpeg's own vignette filter and the reference frei0r vignette.so (frei0r-plugins, used as
# a black box). One FFmpeg process per variant renders FRAMES frames of 4K testsrc2 to the
# null muxer; each variant runs RUNS times and the median wall time counts. A frei0r BGRA
# module makes FFmpeg convert to bgra first, so the module's own cost is its figure minus
# that of the conversion alone.
#   bench/frei0r_compare.sh [FRAMES] [RUNS]     (defaults 20 and 3; BUILD=build/linux)
set -euo pipefail
cd "$(dirname "$0")/.."

frames=${1:-20}
runs=${2:-3}
build=${BUILD:-build/linux}
[ -f "$build/qx_vignette.so" ] || { echo "frei0r_compare: $build/qx_vignette.so is not built" >&2; exit 1; }
[ -f /usr/lib/frei0r-1/vignette.so ] || { echo "frei0r_compare: apt-get install frei0r-plugins" >&2; exit 1; }

# The module beside its plug-in, and the reference module, on FFmpeg's search path.
modules=$(mktemp -d)
trap 'rm -rf "$modules"' EXIT
cp "$build/qx_vignette.so" "$build/QX_Vignette.so" "$modules/"
ln -s /usr/lib/frei0r-1/vignette.so "$modules/vignette.so"
export FREI0R_PATH=$modules

median_ms() {  # -vf chain or "none": median wall-clock milliseconds of RUNS runs
  local chain=$1 times=() start end
  local filter=()
  [ "$chain" = none ] || filter=(-vf "$chain")
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    ffmpeg -v error -f lavfi -i "testsrc2=size=3840x2160:rate=25" -frames:v "$frames" "${filter[@]}" -f null -
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

per_frame() { echo "scale=1; $1 / $frames" | bc; }

none=$(median_ms none)
convert=$(median_ms format=bgra)
ours=$(median_ms "format=bgra,frei0r=qx_vignette")
ffmpeg_own=$(median_ms vignette)
reference=$(median_ms "format=bgra,frei0r=vignette")

echo "$frames frames of 3840x2160 testsrc2, median of $runs runs, ms per frame:"
printf '  %-42s %8s\n' "no filter" "$(per_frame "$none")"
printf '  %-42s %8s\n' "format=bgra (the conversion alone)" "$(per_frame "$convert")"
printf '  %-42s %8s\n' "frei0r=qx_vignette (defaults)" "$(per_frame "$ours")"
printf '  %-42s %8s\n' "vignette (FFmpeg's own)" "$(per_frame "$ffmpeg_own")"
printf '  %-42s %8s\n' "frei0r=vignette (reference module)" "$(per_frame "$reference")"
ours_cost=$((ours - convert))
ffmpeg_cost=$((ffmpeg_own - none))
reference_cost=$((reference - convert))
echo "cost above what it needs (ms per frame): qx_vignette $(per_frame "$ours_cost")" \
  "(above the conversion), FFmpeg vignette $(per_frame "$ffmpeg_cost") (above none)," \
  "reference $(per_frame "$reference_cost") (above the conversion)"
echo "qx_vignette / FFmpeg vignette: $(echo "scale=2; $ours_cost / $ffmpeg_cost" | bc) (goal <= 0.50)"
echo "qx_vignette / reference module: $(echo "scale=2; $ours_cost / $reference_cost" | bc) (goal <= 0.33)"
