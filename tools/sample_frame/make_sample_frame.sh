#!/usr/bin/env bash
# Draws the shipped sample frame, samples/meadow.png (960x540, RGB): sky with a sun and its
# glow, two ranges of hills and a striped field, all from formulas through ffmpeg's geq filter.
# Usage: tools/sample_frame/make_sample_frame.sh [OUTPUT.png]
set -euo pipefail
out=${1:-"$(dirname "$0")/../../samples/meadow.png"}
W=960; H=540
# hill(Y) boundary: ground below H*0.62 + 28*sin(X/110) + 14*sin(X/37)
HILL='(H*0.62+28*sin(X/110)+14*sin(X/37))'
FAR='(H*0.52+20*sin(X/70+1)+9*sin(X/23))'
SUN='lt(hypot(X-W*0.68,Y-H*0.30),58)'
GLOW='exp(-hypot(X-W*0.68,Y-H*0.30)/160)'
R="if(gt(Y,$HILL), 40+30*sin(X/9+Y/13)*gt(sin(Y/6),0.6) + 60*(Y-$HILL)/H, if(gt(Y,$FAR), 70+25*(Y/H), if($SUN, 255, min(255, 90+120*Y/H + 150*$GLOW))))"
G="if(gt(Y,$HILL), 110+40*(Y-$HILL)/H+25*sin(X/9+Y/13)*gt(sin(Y/6),0.6), if(gt(Y,$FAR), 120+30*(Y/H), if($SUN, 240, min(255, 140+70*Y/H + 100*$GLOW))))"
B="if(gt(Y,$HILL), 45+20*sin(X/17), if(gt(Y,$FAR), 110+20*(Y/H), if($SUN, 200, min(255, 230-60*Y/H + 30*$GLOW))))"
ffmpeg -loglevel error -y -f lavfi -i "color=c=black:s=${W}x${H}:d=1,format=rgb24" \
  -vf "geq=r='$R':g='$G':b='$B'" -frames:v 1 "$out"
