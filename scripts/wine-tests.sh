#!/usr/bin/env bash
# The Windows side under wine, after scripts/build.sh: builds the Windows host simulator, qxv
# and test runner beside QX_Vignette.aex (build/linux/windows), runs the runner, checks that
# `qxv info` shows the PiPL read from the .aex's resource, renders frames with the Linux
# plug-in and with the .aex, which must agree (scripts/compare-frames.py), reads and writes
# PNG and TIFF as the Linux qxv does, and runs the setup program through its cases
# (tests/packaging/windows_installer_test.py). Headless: no X display is used. Exits non-zero
# on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

linux=${QXV_BUILD_DIR:-build/linux}
windows=$linux/windows
work=$windows/wine-checks
start=$SECONDS

export WINEPREFIX="$PWD/$linux/wine-prefix"  # made on the first run, reused after
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
trap 'wineserver -w' EXIT

cmake --build "$windows" -j "${JOBS:-2}"
rm -rf "$work"
mkdir -p "$work"

echo "== Windows test runner under wine"
(cd "$windows" && wine tests/qxv_tests.exe --gtest_brief=1)

echo "== qxv info under wine: the PiPL from the .aex's resource"
wine "$windows/qxv.exe" info | tr -d '\r' >"$work/info.txt"
sed -n '/^PiPL/,/^$/p' "$work/info.txt"
wine "$windows/qxv.exe" info --json | tr -d '\r' >"$work/info-windows.json"
"$linux/qxv" info --json --aex "$windows/QX_Vignette.aex" >"$work/info-linux.json"
python3 - "$work/info-linux.json" "$work/info-windows.json" <<'PY'
import json, sys
linux, windows = (json.load(open(path)) for path in sys.argv[1:3])
if "pipl_error" in windows or not windows["pipl"]:
    sys.exit("qxv info under wine did not read the PiPL: " + windows.get("pipl_error", "no entries"))
if windows["pipl"] != linux["pipl"]:
    sys.exit("the PiPL read through the Windows resource functions differs from the .aex's bytes")
for key in ("my_version", "out_flags", "params"):
    if windows[key] != linux[key]:
        sys.exit(f"qxv info under wine differs from Linux in {key}")
print(f"  {len(windows['pipl'])} PiPL properties, as the .aex carries them; version, flags, parameters as on Linux")
PY

echo "== qxv render under wine: the sample frame, Linux plug-in against the .aex"
# Netpbm is what the Windows qxv reads: the sample frame converted once, here.
ffmpeg -loglevel error -y -i samples/meadow.png -c:v pam -f image2 -update 1 "$work/meadow.pam"
ffmpeg -loglevel error -y -i samples/meadow.png -f rawvideo -pix_fmt bgra "$work/meadow.bgra8"
python3 -c 'import array, sys; data = open(sys.argv[1], "rb").read(); array.array("f", (b / 255 for b in data)).tofile(open(sys.argv[2], "wb"))' \
  "$work/meadow.bgra8" "$work/meadow.bgra32f"

# name | comparison | qxv render arguments separated by ";" (INPUT and OUTPUT follow).
# "exact": maths of basic operations only (angle 0; Linear, Quadratic and Cubic falloffs).
# "last-unit": frames that call cos and sin (an angle) or pow (Gamma 2.2, Gaussian and
# Exponential falloffs), which the two C runtimes may round differently in the last bit.
frames=(
  "default.pam|exact|"
  "rectangle-soft-light.pam|exact|--set;Vignette Type=Rectangle;--set;Width=640;--set;Height=320;--set;Feather=140;--set;Blending mode=Soft light;--set;Color=#1a2a6c;--set;Opacity=100"
  "quadratic-hue-16bit.pam|exact|--depth;16;--set;Alpha falloff=Quadratic;--set;Blending mode=Hue;--set;Color=#c04020;--set;Opacity=80"
  "cubic-screen-premiere.pam|exact|--host;premiere;--set;Alpha falloff=Cubic;--set;Blending mode=Screen;--set;Invert=on;--set;Color=#ffe0a0;--set;Opacity=60"
  "mask-only.pam|exact|--set;Mask Only=on;--set;Feather=250"
  "transparent-float.bgra32f|exact|--raw;960x540;--format;bgra32f;--set;Fill with=Transparent;--set;Opacity=70"
  "turned-soft-light.pam|last-unit|--set;Vignette Type=Rectangle;--set;Point of origin=480,270;--set;Width=640;--set;Height=320;--set;Angle=-12;--set;Feather=140;--set;Blending mode=Soft light;--set;Color=#1a2a6c;--set;Opacity=100"
  "gamma.pam|last-unit|--set;Alpha falloff=Gamma 2.2;--set;Feather=300;--set;Opacity=100"
  "gaussian-mask-16bit.pam|last-unit|--depth;16;--set;Alpha falloff=Gaussian;--set;Feather=300;--set;Mask Only=on"
  "exponential-turned-90.pam|last-unit|--set;Vignette Type=Rectangle;--set;Angle=90;--set;Alpha falloff=Exponential;--set;Feather=200;--set;Opacity=100"
)
failed=0
for frame in "${frames[@]}"; do
  IFS='|' read -r name kind settings <<<"$frame"
  IFS=';' read -ra args <<<"$settings"
  input=$work/meadow.pam
  [[ $name == *.bgra32f ]] && input=$work/meadow.bgra32f
  "$linux/qxv" render "${args[@]}" "$input" "$work/linux-$name"
  wine "$windows/qxv.exe" render "${args[@]}" "$input" "$work/windows-$name"
  scripts/compare-frames.py "$kind" "$work/linux-$name" "$work/windows-$name" || failed=1
done
[ "$failed" -eq 0 ] || { echo "wine: frames differ (see above)" >&2; exit 1; }

echo "== qxv render under wine: PNG and TIFF, 8 and 16 bit, in and out, against the Linux qxv"
# The 16-bit inputs hold every 16-bit value the effect makes, not only multiples of 257.
"$linux/qxv" render --depth 16 --set Feather=250 samples/meadow.png "$work/meadow16.png"
"$linux/qxv" render --depth 16 --set Feather=250 samples/meadow.png "$work/meadow16.tif"
# Samples as FFmpeg decodes them, after the pixel format it reports (so 8 bits never pass for 16).
samples() { ffprobe -v error -show_entries stream=pix_fmt -of csv=p=0 "$1"; ffmpeg -v error -i "$1" -f rawvideo -pix_fmt rgba64le - | sha256sum; }
# input | output | qxv render arguments separated by ";"
files=(
  "samples/meadow.png|png8.png|--set;Opacity=70"
  "samples/meadow.png|tiff8.tif|--set;Opacity=70"
  "$work/meadow16.png|png16.png|--depth;16;--set;Blending mode=Screen;--set;Color=#ffe0a0"
  "$work/meadow16.tif|tiff16.tif|--depth;16;--set;Blending mode=Screen;--set;Color=#ffe0a0"
  "samples/meadow.png|png8-to-16.png|--depth;16"
  "$work/meadow16.png|float.pam|--host;premiere;--depth;float;--set;Blending mode=Screen"
)
for file in "${files[@]}"; do
  IFS='|' read -r input name settings <<<"$file"
  IFS=';' read -ra args <<<"$settings"
  "$linux/qxv" render "${args[@]}" "$input" "$work/linux-$name"
  wine "$windows/qxv.exe" render "${args[@]}" "$input" "$work/windows-$name"
  if [[ $name == *.pam ]]; then
    scripts/compare-frames.py exact "$work/linux-$name" "$work/windows-$name" || failed=1
  elif [ "$(samples "$work/linux-$name")" == "$(samples "$work/windows-$name")" ]; then
    echo "  $name: the same samples ($(ffprobe -v error -show_entries stream=pix_fmt -of csv=p=0 "$work/windows-$name"))"
  else
    echo "  $name: DIFFERS" && failed=1
  fi
done
[ "$failed" -eq 0 ] || { echo "wine: image files differ (see above)" >&2; exit 1; }

echo "== the setup program under wine"
cmake --build "$windows" --target installer
python3 tests/packaging/windows_installer_test.py "$linux" samples/meadow.png || [ $? -eq 77 ]

echo "== wine step: $((SECONDS - start)) s"
