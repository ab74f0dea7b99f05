#!/usr/bin/env bash
# Installs the Debian packages the build and tests need, touching apt only when one is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libgtest-dev googletest libbenchmark-dev
  libgcrypt20-dev libgcrypt-mingw-w64-dev
  nlohmann-json3-dev libcli11-dev
  libopenimageio-dev openimageio-tools ffmpeg
  libsdl2-dev xvfb xdotool
  wine64 wine nsis
  clang libclang-rt-14-dev valgrind
  melt gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  frei0r-plugins-dev frei0r-plugins dpkg-dev python3-gi gir1.2-gst-plugins-base-1.0 qtdeclarative5-dev-tools
  nodejs
)

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
