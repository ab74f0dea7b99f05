#!/usr/bin/env bash
# Builds the packages a user installs and checks them as a user would meet them:
#   - `cmake --install` into a scratch prefix lays out qxv, the plug-in and the frei0r module;
#   - the .deb holds them under /usr, and once unpacked into a scratch root FFmpeg finds the
#     module there and renders the frame qxv (from the same root) renders;
#   - the Windows zip holds QX_Vignette.aex, qxv.exe and the text on where hosts look.
# Usage: packages_test.sh BUILD_DIR SAMPLE_PNG
set -euo pipefail
build=$(cd "$1" && pwd)
sample=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
ok() { echo "ok   $*"; }

expect_entries() {  # LISTING LABEL PATH...
    local listing=$1 label=$2
    shift 2
    for path in "$@"; do
        if grep -qxF "$path" <<<"$listing"; then ok "$label holds $path"; else fail "$label lacks $path"; fi
    done
}

# ---- cmake --install -------------------------------------------------------------------
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
listing=$(cd "$scratch/prefix" && find . -mindepth 1 | sed 's|^\./||' | sort)
expect_entries "$listing" "cmake --install" bin/qxv lib/qx-vignette/qxv lib/qx-vignette/QX_Vignette.so \
    lib/qx-vignette/libqxv_openimageio.so \
    lib/frei0r-1/qx_vignette.so share/doc/qx-vignette/README.md

# ---- Debian package --------------------------------------------------------------------
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >/dev/null)
deb=$(ls "$scratch"/deb/qx-vignette_*_amd64.deb 2>/dev/null | head -1)
if [ -z "$deb" ]; then
    fail "cpack made no qx-vignette_VERSION_amd64.deb"
else
    ok "cpack made $(basename "$deb")"
    listing=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' | sort)
    expect_entries "$listing" ".deb" usr/bin/qxv usr/lib/qx-vignette/qxv usr/lib/qx-vignette/QX_Vignette.so \
        usr/lib/qx-vignette/libqxv_openimageio.so \
        usr/lib/frei0r-1/qx_vignette.so usr/share/doc/qx-vignette/README.md \
        usr/share/kdenlive/effects/frei0r_qx_vignette.xml usr/share/shotcut/qml/filters/qx_vignette/meta.qml \
        usr/share/shotcut/qml/filters/qx_vignette/ui.qml usr/share/shotcut/qml/filters/qx_vignette/vui.qml \
        usr/share/shotcut/qml/filters/qx_vignette/VignetteVui.qml usr/share/shotcut/qml/filters/qx_vignette/vignette.js
    root="$scratch/root"
    dpkg-deb -x "$deb" "$root"
    # Every picture and page the installed README links to is installed beside it.
    doc="$root/usr/share/doc/qx-vignette"
    links=$(grep -oE '(src="|\]\()[^")#]+' "$doc/README.md" | sed -E 's/^(src="|\]\()//' | grep -v '^[a-z]*://' | sort -u)
    missing=$(while read -r link; do [ -e "$doc/$link" ] || echo "$link"; done <<<"$links")
    if [ -z "$links" ] || [ -n "$missing" ]; then
        fail "the installed README links to what is not installed: ${missing:-no links found}"
    else
        ok "the installed README's $(wc -l <<<"$links") links all lead to installed files"
    fi
    # A small frame keeps it quick; 320 is a multiple of 16, so FFmpeg hands packed rows.
    ffmpeg -v error -i "$sample" -vf scale=320:180 -f rawvideo -pix_fmt bgra -y "$scratch/in.bgra"
    "$root/usr/bin/qxv" render --raw 320x180 --format bgra8 --set Width=100 --set Height=90 --set Feather=80 \
        "$scratch/in.bgra" "$scratch/qxv.bgra"
    FREI0R_PATH="$root/usr/lib/frei0r-1" ffmpeg -v error -f rawvideo -pix_fmt bgra -s 320x180 -i "$scratch/in.bgra" \
        -vf "frei0r=filter_name=qx_vignette:filter_params=Ellipse|0.5|0.5|0.3125|0.5|0|0.25" \
        -f rawvideo -pix_fmt bgra -y "$scratch/ffmpeg.bgra" 2>"$scratch/ffmpeg.err" || true
    # The installed qxv reads and writes image files through its OpenImageIO module.
    if "$root/usr/bin/qxv" render --set Width=100 "$sample" "$scratch/qxv.png" && [ -s "$scratch/qxv.png" ]; then
        ok "the unpacked qxv renders a PNG"
    else
        fail "the unpacked qxv cannot render a PNG"
    fi
    if cmp -s "$scratch/qxv.bgra" "$scratch/ffmpeg.bgra"; then
        ok "FFmpeg renders through the unpacked module as the unpacked qxv does"
    else
        fail "FFmpeg through the unpacked module: $(head -c 2000 "$scratch/ffmpeg.err")"
    fi
fi

# ---- Windows zip -----------------------------------------------------------------------
if [ -f "$build/windows/CMakeCache.txt" ]; then
    cmake --build "$build/windows" -j "${JOBS:-2}" --target qxv QX_Vignette >/dev/null
    (cd "$scratch" && cpack -G ZIP --config "$build/windows/CPackConfig.cmake" -B "$scratch/zip" >/dev/null)
    zip=$(ls "$scratch"/zip/qx-vignette_*.zip 2>/dev/null | head -1)
    if [ -z "$zip" ]; then
        fail "cpack made no Windows zip"
    else
        ok "cpack made $(basename "$zip")"
        listing=$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
        expect_entries "$listing" "zip" QX_Vignette.aex qxv.exe WHERE-HOSTS-LOOK.txt
    fi
else
    echo "skip Windows zip: no mingw-w64 sub-build in $build/windows"
fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
