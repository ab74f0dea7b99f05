#!/usr/bin/env bash
# Screenshots of every page of the setup program and of the uninstaller, for the README
# (docs/windows/), taken under Xvfb and wine: a wine prefix with three After Effects versions
# in the registry (two sharing Adobe's common folder, one with its own). Needs the setup
# program (cmake --build build/linux/windows --target installer), Xvfb, xdotool and
# ImageMagick's import. DISPLAY_NUMBER picks the X display (default 95).
set -euo pipefail
cd "$(dirname "$0")/.."

linux=${QXV_BUILD_DIR:-build/linux}
setup=$PWD/$linux/windows/qx-vignette_1.3.0_windows-x64-setup.exe
out=$PWD/docs/windows
work=$(mktemp -d)
display=:${DISPLAY_NUMBER:-95}

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=$display
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb"; rm -rf "$work"; }
trap cleanup EXIT
sleep 1

wineboot -i >/dev/null 2>&1
cat >"$work/keys.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Adobe\After Effects\23.0]
"CommonPluginInstallPath"="C:\\Program Files\\Adobe\\Common\\Plug-ins\\7.0\\MediaCore\\"

[HKEY_LOCAL_MACHINE\SOFTWARE\Adobe\After Effects\24.0]
"CommonPluginInstallPath"="C:\\Program Files\\Adobe\\Common\\Plug-ins\\7.0\\MediaCore\\"

[HKEY_LOCAL_MACHINE\SOFTWARE\Adobe\After Effects\22.0]
"CommonPluginInstallPath"="D:\\Adobe\\Plug-ins\\Common\\"
REG
mkdir -p "$work/d"
ln -s "$work/d" "$WINEPREFIX/dosdevices/d:"
wine regedit /S "Z:${work//\//\\}\\keys.reg"
wineserver -w

# Waits for a window whose title matches, then saves it after the page has settled.
shoot() {  # shoot TITLE FILE
  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "no window named $1" >&2; exit 1; }
  sleep 1.5
  import -window "$window" "$out/$2"
  echo "$out/$2"
}
next() { xdotool key --clearmodifiers Return; }

mkdir -p "$out"
wine "$setup" &
setup_pid=$!
shoot "QX Vignette 1.3.0 Setup" setup-1-welcome.png; next
shoot "QX Vignette 1.3.0 Setup" setup-2-plugin-folder.png; next
shoot "QX Vignette 1.3.0 Setup" setup-3-program-folder.png; next
sleep 3
shoot "QX Vignette 1.3.0 Setup" setup-4-installed.png; next
shoot "QX Vignette 1.3.0 Setup" setup-5-finish.png; next
wait "$setup_pid" || true
wineserver -w || true

wine "C:\\Program Files\\QX Vignette\\uninstall.exe" &
shoot "QX Vignette 1.3.0 Uninstall" uninstall-1-confirm.png; next
sleep 3
shoot "QX Vignette 1.3.0 Uninstall" uninstall-2-done.png; next
wineserver -w || true
