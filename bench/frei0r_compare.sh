#!/usr/bin/env bash
# The cost of the effect inside FFmpeg, through the frei0r module qx_vignette.so, against
# FFmpeg's own vignette filter and the reference frei0r vignette.so (frei0r-plugins, used as
# a black box). One FFmpeg process per variant renders FRAMES frames of 4K testsrc2 to the
# null muxer; each variant runs RUNS times and the medians count. A frei0r module makes FFmpeg
# convert to its colour model first (bgra for ours, rgba for the reference), so a module's
# own cost is its figure minus that of its conversion alone.
# Besides the defaults (a small hole: nearly every pixel outside the shape), the band cases
# are the vignettes people render: a shape 115 % of the frame with a feather of 52 % of its
# width, so that most pixels lie in the feathered band. Each is printed as a multiple of
# FFmpeg's vignette, wall and CPU, from the same run.
#   bench/frei0r_compare.sh [FRAMES] [RUNS]     (defaults 20 and 3; BUILD=build/linux;
#                                                CASES=band to time the band cases only)
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

# "wall cpu": median wall-clock and median CPU (user + system) milliseconds of RUNS runs of
# FFmpeg with the -vf chain given ("none": no filter). CPU time is the steadier figure on a
# shared machine; wall time is what a user waits.
median_ms() {
  local chain=$1 walls=() cpus=() line
  local filter=()
  [ "$chain" = none ] || filter=(-vf "$chain")
  for _ in $(seq "$runs"); do
    line=$( { TIMEFORMAT='%R %U %S'; time ffmpeg -v error -f lavfi -i "testsrc2=size=3840x2160:rate=25" \
      -frames:v "$frames" "${filter[@]}" -f null - ; } 2>&1 | tail -n 1)
    read -r wall user sys <<<"$line"
    walls+=("$(echo "$wall * 1000 / 1" | bc)")
    cpus+=("$(echo "($user + $sys) * 1000 / 1" | bc)")
  done
  local middle=$(((runs + 1) / 2))
  echo "$(printf '%s\n' "${walls[@]}" | sort -n | sed -n "${middle}p") $(printf '%s\n' "${cpus[@]}" | sort -n | sed -n "${middle}p")"
}

per_frame() { echo "scale=1; $1 / $frames" | bc; }
ratio() { printf '%.2f' "$(echo "scale=4; $1 / $2" | bc)"; }

only=${CASES:-all}

read -r none none_cpu <<<"$(median_ms none)"
read -r convert convert_cpu <<<"$(median_ms format=bgra)"
read -r own own_cpu <<<"$(median_ms vignette)"

echo "$frames frames of 3840x2160 testsrc2, median of $runs runs, ms per frame (wall / CPU):"
row() { printf '  %-58s %8s %8s\n' "$1" "$(per_frame "$2")" "$(per_frame "$3")"; }
row "no filter" "$none" "$none_cpu"
row "format=bgra (our conversion alone)" "$convert" "$convert_cpu"
row "vignette (FFmpeg's own)" "$own" "$own_cpu"
own_cost=$((own - none)) own_cost_cpu=$((own_cpu - none_cpu))

if [ "$only" != band ]; then
  read -r convert_rgba convert_rgba_cpu <<<"$(median_ms format=rgba)"
  read -r ours ours_cpu <<<"$(median_ms "format=bgra,frei0r=qx_vignette")"
  read -r reference reference_cpu <<<"$(median_ms "format=rgba,frei0r=vignette")"
  row "format=rgba (the reference's conversion)" "$convert_rgba" "$convert_rgba_cpu"
  row "frei0r=qx_vignette (defaults)" "$ours" "$ours_cpu"
  row "frei0r=vignette (reference module)" "$reference" "$reference_cpu"
  echo "cost of the filter itself, ms per frame (wall / CPU): qx_vignette above the conversion" \
    "$(per_frame $((ours - convert))) / $(per_frame $((ours_cpu - convert_cpu)))," \
    "FFmpeg vignette above none $(per_frame $own_cost) / $(per_frame $own_cost_cpu)," \
    "reference above its conversion $(per_frame $((reference - convert_rgba))) / $(per_frame $((reference_cpu - convert_rgba_cpu)))"
  echo "qx_vignette / FFmpeg vignette: $(ratio $((ours - convert)) $own_cost) wall," \
    "$(ratio $((ours_cpu - convert_cpu)) $own_cost_cpu) CPU (goal <= 0.50)"
  echo "qx_vignette / reference module: $(ratio $((ours - convert)) $((reference - convert_rgba))) wall," \
    "$(ratio $((ours_cpu - convert_cpu)) $((reference_cpu - convert_rgba_cpu))) CPU (goal <= 0.33)"
fi

# Band cases: shape|falloff|mode|colour|opacity. The parameters in the module's order: type,
# origin x, y, width, height (fractions of the frame), angle, feather (fraction of the width),
# fill, colour, opacity, mode, falloff.
band_cases=(
  "Ellipse|Linear|Multiply|0/0/0|0.25" "Ellipse|Gaussian|Multiply|0/0/0|0.25"
  "Ellipse|Gamma 2.2|Multiply|0/0/0|0.25" "Ellipse|Exponential|Multiply|0/0/0|0.25"
  "Rectangle|Linear|Multiply|0/0/0|0.25" "Rectangle|Gaussian|Multiply|0/0/0|0.25"
  "Rectangle|Gamma 2.2|Multiply|0/0/0|0.25" "Rectangle|Exponential|Multiply|0/0/0|0.25"
  "Ellipse|Linear|Soft light|0.102/0.165/0.424|1" "Rectangle|Gamma 2.2|Soft light|0.102/0.165/0.424|1"
  "Ellipse|Gaussian|Hue|0.102/0.165/0.424|1"
)
echo "band cases, the module's cost above its conversion, ms per frame and as a multiple of FFmpeg's" \
  "vignette above no filter (goals: Linear <= 1, Gaussian, Gamma 2.2, Exponential <= 1.5):"
printf '  %-40s %8s %8s %10s %10s\n' "shape, falloff, mode" "wall" "CPU" "x vignette" "x CPU"
for band in "${band_cases[@]}"; do
  IFS='|' read -r shape falloff mode colour opacity <<<"$band"
  read -r wall cpu <<<"$(median_ms "format=bgra,frei0r=qx_vignette:$shape|0.5|0.5|1.15|1.15|0|0.52|Color|$colour|$opacity|$mode|$falloff")"
  printf '  %-40s %8s %8s %10s %10s\n' "$shape, $falloff, $mode" "$(per_frame $((wall - convert)))" \
    "$(per_frame $((cpu - convert_cpu)))" "$(ratio $((wall - convert)) $own_cost)" "$(ratio $((cpu - convert_cpu)) $own_cost_cpu)"
done
