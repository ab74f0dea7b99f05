#!/usr/bin/env bash
# Configures and builds the linux preset: QX_Vignette.so, qxv, the tests and, through the
# mingw-w64 sub-build, QX_Vignette.aex. JOBS overrides the parallelism (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/deps.sh
cmake --preset linux
cmake --build build/linux -j "${JOBS:-2}"
