#!/usr/bin/env bash
# The frei0r module as the package lays it out (lib/frei0r-1/qx_vignette.so beside
# lib/qx-vignette/QX_Vignette.so), loaded and unloaded by a small C host (frei0r_load_cycles.c):
#   load_cycles_test.sh BUILD_DIR PROGRAM           200 cycles leave the heap as it was and
#                                                   nothing mapped; a process that exits while
#                                                   its threads render does not crash
#   load_cycles_test.sh BUILD_DIR PROGRAM valgrind  valgrind finds nothing "definitely lost"
#                                                   (exit code 77 without valgrind)
set -euo pipefail
build=$(cd "$1" && pwd)
program=$2
mode=${3:-}
if [ "$mode" = valgrind ] && ! command -v valgrind >/dev/null; then
    echo "valgrind is not installed"
    exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
module="$scratch/prefix/lib/frei0r-1/qx_vignette.so"
# The host measures the heap exactly only without glibc's per-thread caches of freed blocks.
export GLIBC_TUNABLES=glibc.malloc.tcache_count=0

if [ "$mode" = valgrind ]; then
    valgrind --quiet --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=3 \
        "$program" cycles "$module" 5
    exit
fi
"$program" cycles "$module" 200
# The exit races the rendering threads: a fault shows in some runs, not in every one.
for run in $(seq 1 12); do
    status=0
    timeout 60 "$program" exit-while-rendering "$module" || status=$?
    if [ "$status" -ne 0 ]; then
        echo "run $run: the process that exited while rendering ended with status $status"
        exit 1
    fi
done
echo "12 processes exited while their threads rendered"
