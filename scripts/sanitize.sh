#!/usr/bin/env bash
# The sanitizer part of CI, with clang:
#   1. the whole test suite (qxv_tests) under AddressSanitizer + UndefinedBehaviorSanitizer
#      and LeakSanitizer (build/asan);
#   2. a bounded fuzz run of EntryPointFunc from the seed corpus, and one of the frei0r
#      module's parameter setting from nothing, in the same build;
#   3. the host-level render tests, whose iteration runs on the host's threads, under
#      ThreadSanitizer (build/tsan, only the plug-in, the host simulator and those tests).
# Figures for scripts/reliability-report.sh go to build/reliability/.
# FUZZ_RUNS (default 40000) bounds the fuzz run; JOBS the parallelism (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs="${JOBS:-2}"
fuzz_runs="${FUZZ_RUNS:-40000}"
figures=build/reliability
mkdir -p "$figures"
rm -f "$figures"/*.txt

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:malloc_context_size=8:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

seconds() { date +%s; }

start=$(seconds)
cmake --preset asan >/dev/null
cmake --build build/asan -j "$jobs" --target qxv_tests qxv_fuzz_entry qxv_fuzz_frei0r
# One process per shard, not one per test: a sanitized process is slow to start.
status=0
for shard in 0 1; do
  GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$shard build/asan/tests/qxv_tests --gtest_brief=1 \
    >"$figures/asan-shard-$shard.log" 2>&1 &
done
for shard in 0 1; do wait -n || status=1; done
tail -n 3 "$figures"/asan-shard-*.log
[ "$status" -eq 0 ] || { echo "sanitize.sh: the test suite failed under ASan+UBSan"; exit 1; }
echo "asan $(($(seconds) - start))" >>"$figures/seconds.txt"

start=$(seconds)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# New inputs go to the scratch directory (first on the line); the repository's corpus is read only.
ASAN_OPTIONS="detect_leaks=1:malloc_context_size=4" build/asan/tests/fuzz/qxv_fuzz_entry -seed=1 -runs="$fuzz_runs" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$figures/" "$scratch" tests/fuzz/corpus >"$figures/fuzz.log" 2>&1 ||
  { tail -n 40 "$figures/fuzz.log"; echo "sanitize.sh: the fuzz run found a fault (input in $figures/)"; exit 1; }
grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units)" "$figures/fuzz.log"
mkdir "$scratch/frei0r"
# Each input builds a frei0r instance, a host session with its threads: an eighth of the runs.
ASAN_OPTIONS="detect_leaks=1:malloc_context_size=4" build/asan/tests/fuzz/qxv_fuzz_frei0r -seed=1 -runs="$((fuzz_runs / 8))" -max_len=1024 -print_final_stats=1 \
  -artifact_prefix="$figures/frei0r-" "$scratch/frei0r" >"$figures/fuzz-frei0r.log" 2>&1 ||
  { tail -n 40 "$figures/fuzz-frei0r.log"; echo "sanitize.sh: the frei0r fuzz run found a fault (input in $figures/)"; exit 1; }
grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units)" "$figures/fuzz-frei0r.log"
echo "fuzz $(($(seconds) - start))" >>"$figures/seconds.txt"

start=$(seconds)
cmake --preset tsan >/dev/null
cmake --build build/tsan -j "$jobs" --target qxv_render_host_tests
build/tsan/tests/qxv_render_host_tests --gtest_brief=1 2>&1 | tee "$figures/tsan.log" | tail -n 3
echo "tsan $(($(seconds) - start))" >>"$figures/seconds.txt"
