#!/usr/bin/env bash
# Prints the reliability figures from the last scripts/sanitize.sh run (build/reliability/)
# and from the failure matrices and the CLI bad-input table of build/asan. With
# FUZZ_LOG="build/fuzz/fuzz-*.log" (the logs of scripts/fuzz.sh's workers, or any libFuzzer
# logs) it also quotes a longer local run, worker by worker and in total. The closing line
# "0 crashes, 0 leaks, 0 unbalanced suites" is printed only when every run behind it passed.
set -euo pipefail
cd "$(dirname "$0")/.."

figures=build/reliability
tests=build/asan/tests/qxv_tests
for needed in "$figures/asan-shard-0.log" "$figures/asan-shard-1.log" "$figures/fuzz.log" "$figures/tsan.log" "$tests"; do
  [ -e "$needed" ] || { echo "reliability-report.sh: $needed is missing; run scripts/sanitize.sh first" >&2; exit 1; }
done
clean=yes

# libFuzzer's last status line: "#N DONE cov: C ft: F corp: ..." (or a pulse/NEW line of a run in progress).
fuzz_runs() {
  local log=$1 runs
  runs=$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | tail -n 1 | grep -oE '[0-9]+$' || true)
  [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
  echo "${runs:-0}"
}
fuzz_figures() {
  local log=$1 line runs cov
  line=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
  runs=$(fuzz_runs "$log")
  cov=$(echo "$line" | grep -oE 'cov: [0-9]+ ft: [0-9]+' | sed 's/cov: \([0-9]*\) ft: \([0-9]*\)/\1 edges, \2 features/')
  echo "$runs executions, coverage $cov"
  if grep -qE '^==[0-9]+==ERROR|runtime error:|qxv_fuzz_entry: |deadly signal|Test unit written' "$log"; then
    echo "  FINDING in $log"
    return 1
  fi
}

echo "QX Vignette reliability figures"
echo
echo "Fuzzing EntryPointFunc through the simulated host (ASan + UBSan, libFuzzer):"
echo "  CI, bounded, from the seed corpus: $(fuzz_figures "$figures/fuzz.log" || { clean=no; true; })"
if [ -n "${FUZZ_LOG:-}" ]; then
  total=0
  # FUZZ_LOG is split into words and its patterns expanded on purpose.
  # shellcheck disable=SC2086
  for log in $FUZZ_LOG; do
    [ -e "$log" ] || { echo "reliability-report.sh: $log is missing" >&2; exit 1; }
    echo "  local run ($log): $(fuzz_figures "$log" || { clean=no; true; })"
    total=$((total + $(fuzz_runs "$log")))
  done
  echo "  local run in total: $total executions"
fi

echo
echo "Failure matrices (each host call, or suite, failing alone):"
matrix=$("$tests" --gtest_filter='*FailureMatrix*' --gtest_brief=1 2>&1) || clean=no
suite_outages=$("$tests" --gtest_list_tests --gtest_filter='AllCommands/FailureMatrix.*' | grep -c '^  ')
commands=$(echo "$matrix" | grep -oE '\[ commands \] [0-9]+' | grep -oE '[0-9]+$')
overlay=$(echo "$matrix" | grep -oE '\[ overlay  \] [0-9]+' | grep -oE '[0-9]+$')
echo "  shell and render commands, each call failing in turn: $commands failure points"
echo "  overlay events (draw, click, drag; both windows):     $overlay failure points"
echo "  commands with a whole suite unavailable:              $suite_outages cases"
echo "  total:                                                $((commands + overlay + suite_outages))"

echo
echo "Sanitizer runs:"
passed=$(cat "$figures"/asan-shard-*.log | grep -oE '^\[  PASSED  \] [0-9]+' | awk '{ s += $NF } END { print s + 0 }')
echo "  whole test suite under ASan + UBSan + LSan: ${passed:-0} tests passed"
grep -q '\[  FAILED  \]\|ERROR: AddressSanitizer\|ERROR: LeakSanitizer\|runtime error:' "$figures"/asan-shard-*.log && clean=no
tsan=$(grep -E '\[  PASSED  \]|\[  FAILED  \]' "$figures/tsan.log" | head -n 1 | sed 's/^\[ *\([A-Z]*\) *\] /\1: /')
echo "  render host tests under TSan (host iteration on 2 threads): ${tsan:-no summary}"
grep -q '\[  FAILED  \]\|WARNING: ThreadSanitizer' "$figures/tsan.log" && clean=no

echo
cli=$("$tests" --gtest_list_tests --gtest_filter='Table/CliBadInputTest.*' | grep -c '^  ')
echo "qxv bad inputs tried (one-line error, non-zero exit, no crash, no file): $cli"

echo
if [ "$clean" = yes ]; then
  echo "0 crashes, 0 leaks, 0 unbalanced suites"
else
  echo "NOT CLEAN: see the findings above"
  exit 1
fi
