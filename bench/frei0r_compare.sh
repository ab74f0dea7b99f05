#!/usr/bin/env bash
# The cost of the effect inside FFmpeg, through the frei0r module qx_vignette.so, against
# FFmpeg's own vignette filter and the reference frei0r vignette.so (frei0r-plugins, used as
# a black box). One FFmpeg process per variant renders FRAMES frames of 4K testsrc2 to the
# null muxer; the variants take turns, RUNS rounds of them, so that a change of load on a
# shared machine falls on all of them alike, and the medians count. A frei0r module makes
# FFmpeg convert to its colour model first (bgra for ours, rgba for the reference), so a
# module's own cost is its figure minus that of its conversion alone.
# Besides the defaults (a small hole: nearly every pixel outside the shape), the band cases
# are the vignettes people render: a shape 115 % of the frame with a feather of 52 % of its
# width, so that most pixels lie in the feathered band. Each is printed as a multiple of
# FFmpeg's vignette, wall and CPU, from the same run.
#   bench/frei0r_compare.sh [FRAMES] [RUNS]     (defaults 20 and 3; BUILD=build/linux;
#                                                CASES=band to time the band cases only;
#                                                BEFORE=another build's directory to time its
#                                                module's band cases in the same rounds)
set -euo pipefail
cd "$(dirname "$0")/.."

frames=${1:-20}
runs=${2:-3}
build=${BUILD:-build/linux}
before=${BEFORE:-}
only=${CASES:-all}
for dir in "$build" $before; do
  [ -f "$dir/qx_vignette.so" ] || { echo "frei0r_compare: $dir/qx_vignette.so is not built" >&2; exit 1; }
done
[ -f /usr/lib/frei0r-1/vignette.so ] || { echo "frei0r_compare: apt-get install frei0r-plugins" >&2; exit 1; }

# Each module beside its plug-in, and the reference module, on FFmpeg's search path.
modules=$(mktemp -d)
trap 'rm -rf "$modules"' EXIT
mkdir "$modules/after" "$modules/before"
cp "$build/qx_vignette.so" "$build/QX_Vignette.so" "$modules/after/"
ln -s /usr/lib/frei0r-1/vignette.so "$modules/after/vignette.so"
[ -z "$before" ] || cp "$before/qx_vignette.so" "$before/QX_Vignette.so" "$modules/before/"

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
band_chain() {
  local shape falloff mode colour opacity
  IFS='|' read -r shape falloff mode colour opacity <<<"$1"
  echo "format=bgra,frei0r=qx_vignette:$shape|0.5|0.5|1.15|1.15|0|0.52|Color|$colour|$opacity|$mode|$falloff"
}

# The variants: "key module-directory chain" ("none": no filter).
variants=("none after none" "convert after format=bgra" "own after vignette")
if [ "$only" != band ]; then
  variants+=("convert_rgba after format=rgba" "ours after format=bgra,frei0r=qx_vignette"
             "reference after format=rgba,frei0r=vignette")
fi
for index in "${!band_cases[@]}"; do
  variants+=("band$index after $(band_chain "${band_cases[$index]}")")
  [ -z "$before" ] || variants+=("before$index before $(band_chain "${band_cases[$index]}")")
done

# Wall-clock and CPU (user + system) milliseconds of one FFmpeg run. CPU time is the steadier
# figure on a shared machine; wall time is what a user waits.
time_ms() {
  local module_dir=$1 chain=$2 line filter=()
  [ "$chain" = none ] || filter=(-vf "$chain")
  line=$( { TIMEFORMAT='%R %U %S'; time FREI0R_PATH="$modules/$module_dir" ffmpeg -v error -f lavfi \
    -i "testsrc2=size=3840x2160:rate=25" -frames:v "$frames" "${filter[@]}" -f null - ; } 2>&1 | tail -n 1)
  read -r wall user sys <<<"$line"
  echo "$(echo "$wall * 1000 / 1" | bc) $(echo "($user + $sys) * 1000 / 1" | bc)"
}

declare -A walls cpus
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for _ in $(seq "$runs"); do
  for variant in "${variants[@]}"; do
    read -r key module_dir chain <<<"$variant"
    read -r wall cpu <<<"$(time_ms "$module_dir" "$chain")"
    walls[$key]+="$wall " cpus[$key]+="$cpu "
  done
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | sed -n "$(((runs + 1) / 2))p"; }
wall() { median "${walls[$1]}"; }
cpu() { median "${cpus[$1]}"; }

per_frame() { echo "scale=1; $1 / $frames" | bc; }
ratio() { printf '%.2f' "$(echo "scale=4; $1 / $2" | bc)"; }

echo "$frames frames of 3840x2160 testsrc2, median of $runs interleaved runs, ms per frame (wall / CPU);" \
  "load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
row() { printf '  %-58s %8s %8s\n' "$1" "$(per_frame "$2")" "$(per_frame "$3")"; }
row "no filter" "$(wall none)" "$(cpu none)"
row "format=bgra (our conversion alone)" "$(wall convert)" "$(cpu convert)"
row "vignette (FFmpeg's own)" "$(wall own)" "$(cpu own)"
own_cost=$(($(wall own) - $(wall none))) own_cost_cpu=$(($(cpu own) - $(cpu none)))
convert=$(wall convert) convert_cpu=$(cpu convert)

if [ "$only" != band ]; then
  ours=$(wall ours) ours_cpu=$(cpu ours) reference=$(wall reference) reference_cpu=$(cpu reference)
  convert_rgba=$(wall convert_rgba) convert_rgba_cpu=$(cpu convert_rgba)
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

echo "band cases, the module's cost above its conversion, ms per frame and as a multiple of FFmpeg's" \
  "vignette above no filter (goals: Linear, Gaussian, Gamma 2.2, Exponential <= 0.8, Soft light <= 1.0," \
  "Hue <= 1.2)${before:+; in brackets the module of $before}:"
printf '  %-40s %8s %8s %16s %16s\n' "shape, falloff, mode" "wall" "CPU" "x vignette" "x CPU"
for index in "${!band_cases[@]}"; do
  IFS='|' read -r shape falloff mode _ <<<"${band_cases[$index]}"
  wall=$(($(wall "band$index") - convert)) cpu=$(($(cpu "band$index") - convert_cpu))
  wall_ratio=$(ratio $wall $own_cost) cpu_ratio=$(ratio $cpu $own_cost_cpu)
  if [ -n "$before" ]; then
    wall_ratio+=" ($(ratio $(($(wall "before$index") - convert)) $own_cost))"
    cpu_ratio+=" ($(ratio $(($(cpu "before$index") - convert_cpu)) $own_cost_cpu))"
  fi
  printf '  %-40s %8s %8s %16s %16s\n' "$shape, $falloff, $mode" "$(per_frame $wall)" "$(per_frame $cpu)" \
    "$wall_ratio" "$cpu_ratio"
done
