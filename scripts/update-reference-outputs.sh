#!/usr/bin/env bash
# Rewrites tests/cli/reference/*.json from qxv as built now: the JSON of info, handles, drag,
# params-ui, overlay --strokes-json and preview --json on the fixed inputs of
# ReferenceOutputsTest. Only for a change that means to
# change what users read; the test fails on any other, and the commit says why they moved.
set -euo pipefail
cd "$(dirname "$0")/.."

linux=${QXV_BUILD_DIR:-build/linux}
folder=tests/cli/reference
mkdir -p "$folder"

cmake --build "$linux" --target qxv_tests -j "${JOBS:-2}"
QXV_WRITE_REFERENCE_OUTPUTS=1 "$linux/tests/qxv_tests" --gtest_filter='*ReferenceOutputs*' --gtest_brief=1
if git diff --quiet -- "$folder" && [ -z "$(git ls-files --others -- "$folder")" ]; then
  echo "No reference output moved."
else
  git --no-pager diff --stat -- "$folder"
  git ls-files --others -- "$folder"
  echo "Commit $folder with a message that says why they moved."
fi
