#!/usr/bin/env bash
# Rewrites tests/golden/golden-frames.sha256 from the plug-in as built now. Only for a change
# that means to move rendered bits (a corrected formula, say): the golden-frame test fails on
# any other change, and the commit that carries the new file says why the bits moved.
# Run on Linux after scripts/build.sh: the file also holds the frames that pass through
# pow/sin/cos, which only the Linux build compares.
set -euo pipefail
cd "$(dirname "$0")/.."

linux=${QXV_BUILD_DIR:-build/linux}
file=tests/golden/golden-frames.sha256

cmake --build "$linux" --target qxv_tests -j "${JOBS:-2}"
QXV_WRITE_GOLDEN_FRAMES="$PWD/$file" "$linux/tests/qxv_tests" --gtest_filter='GoldenFramesTest.*' --gtest_brief=1
if ! git ls-files --error-unmatch "$file" >/dev/null 2>&1; then
  echo "Wrote $file."
elif git diff --quiet -- "$file"; then
  echo "No golden frame moved."
else
  echo "Golden frames moved:"
  git --no-pager diff -U0 -- "$file" | sed -n 's/^+\([0-9a-f]\{64\}\)  /  /p'
  echo "Commit $file with a message that says why they moved."
fi
