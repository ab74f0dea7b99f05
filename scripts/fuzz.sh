#!/usr/bin/env bash
# A long local fuzz run of EntryPointFunc through the simulated host (ASan + UBSan), the
# executions shared out among parallel libFuzzer workers that share one corpus.
#
#     RUNS=10000000 WORKERS=2 ./scripts/fuzz.sh [more seed directories...]
#
# PRESET=fuzz builds with UndefinedBehaviorSanitizer only, for about twice the executions an
# hour; the default, asan, adds AddressSanitizer and LeakSanitizer.
#
# The driver and the plug-in are copied to build/fuzz/ first, so rebuilding build/asan while a
# run goes on (hours) does not pull the files from under it. Logs: build/fuzz/fuzz-<worker>.log;
# new inputs: build/fuzz/corpus; a finding: build/fuzz/crash-* (or leak-*, timeout-*).
# Afterwards: FUZZ_LOG="build/fuzz/fuzz-*.log" ./scripts/reliability-report.sh
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${RUNS:-10000000}"
workers="${WORKERS:-2}"
out=build/fuzz
for value in "$runs" "$workers"; do
  [[ "$value" =~ ^[1-9][0-9]*$ ]] || { echo "fuzz.sh: RUNS and WORKERS are whole numbers above 0, not '$value'" >&2; exit 2; }
done

preset="${PRESET:-asan}"
case "$preset" in
  asan) build=build/asan ;;
  fuzz) build=build/fuzz-ub ;;
  *) echo "fuzz.sh: PRESET is asan or fuzz, not $preset" >&2; exit 2 ;;
esac

cmake --preset "$preset" >/dev/null
cmake --build "$build" -j "$workers" --target qxv_fuzz_entry
mkdir -p "$out/corpus"
rm -f "$out"/fuzz-*.log
cp "$build/tests/fuzz/qxv_fuzz_entry" "$build/QX_Vignette.so" "$out/"

export QXV_FUZZ_PLUGIN="$PWD/$out/QX_Vignette.so"
# No allocation stacks: they cost a tenth of the time, and a finding is replayed with them.
export ASAN_OPTIONS="detect_leaks=1:malloc_context_size=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

seeds=("$PWD/tests/fuzz/corpus")
for extra in "$@"; do seeds+=("$(realpath "$extra")"); done
per_worker=$(((runs + workers - 1) / workers))
echo "fuzz.sh: $workers workers x $per_worker executions, logs in $out/"
status=0
# libFuzzer writes the worker logs (fuzz-N.log) into its working directory.
(cd "$out" && ./qxv_fuzz_entry -jobs="$workers" -workers="$workers" -runs="$per_worker" -max_len=4096 \
  -print_final_stats=1 -artifact_prefix="$PWD/" corpus "${seeds[@]}") || status=$?
grep -hE '^stat::number_of_executed_units' "$out"/fuzz-*.log || true
if [ "$status" -ne 0 ] || ls "$out"/crash-* "$out"/leak-* "$out"/timeout-* >/dev/null 2>&1; then
  echo "fuzz.sh: a finding; the input is in $out/"
  exit 1
fi
