#!/usr/bin/env bash
# Builds everything and runs every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/build.sh
cd build/linux
ctest --output-on-failure -j "${JOBS:-2}"
../../scripts/wine-tests.sh
cd ../.. && ./scripts/sanitize.sh
