#!/usr/bin/env bash
# The main job: builds the effect and renders the shipped sample frame through the simulated
# After Effects host, once with the default parameters and once with a turned rectangle in
# Soft light, into build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/build.sh

echo "Built:"
ls -l build/linux/QX_Vignette.so build/linux/windows/QX_Vignette.aex

qxv=build/linux/qxv
sample=samples/meadow.png
out=build/demo
mkdir -p "$out"

"$qxv" info

"$qxv" render "$sample" "$out/meadow-default.png"
"$qxv" render \
  --set "Vignette Type=Rectangle" --set "Point of origin=480,270" \
  --set "Width=640" --set "Height=320" --set "Angle=-12" --set "Feather=140" \
  --set "Blending mode=Soft light" --set "Color=#1a2a6c" --set "Opacity=100" \
  "$sample" "$out/meadow-soft-light.png"

echo
echo "Sample frame:            $sample"
echo "Default parameters:      $out/meadow-default.png"
echo "Rectangle in Soft light: $out/meadow-soft-light.png"
