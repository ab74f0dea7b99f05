#!/usr/bin/env bash
# Builds the effect and shows what a host sees of it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/build.sh

echo "Built:"
ls -l build/linux/QX_Vignette.so build/linux/windows/QX_Vignette.aex

if [ -x build/linux/qxv ]; then
  build/linux/qxv info
  # The sample frame render goes here once `qxv render` exists.
else
  echo "qxv is not built yet (cli/ has no sources)."
fi
