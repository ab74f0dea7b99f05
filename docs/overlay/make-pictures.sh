#!/bin/sh
# Regenerates the overlay pictures shown in the README: an ellipse and a rotated rectangle,
# in After Effects and Premiere Pro, in the composition and layer windows, at 50 % and 200 %.
# Usage: docs/overlay/make-pictures.sh [path/to/qxv]   (default: build/linux/qxv)
set -eu
qxv=${1:-build/linux/qxv}
out=$(dirname "$0")
layer="--size 320x180 --set Width=200 --set Height=120 --set Feather=60 --set Opacity=60 --set Color=#102040"
for shape in ellipse rectangle; do
  if [ "$shape" = ellipse ]; then look="--set Vignette\ Type=Ellipse --set Angle=0"; else look="--set Vignette\ Type=Rectangle --set Angle=25"; fi
  for host in ae premiere; do
    for window in comp layer; do
      for zoom in 0.5 2; do
        view="--window $window --zoom $zoom --scroll 24,24"
        [ "$window" = comp ] && view="$view --layer-offset 40,24"
        eval "\"$qxv\" overlay $layer $look --host $host $view \"$out/$shape-$host-$window-$zoom.png\""
      done
    done
  done
done
