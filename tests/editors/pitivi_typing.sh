#!/bin/bash
# Types a Blending mode into Pitivi's effect panel one key at a time under Xvfb, as a person
# does, and shows that the box keeps every letter while the picture keeps the last valid choice
# until the text names one. By hand:
#   [XVFB_DISPLAY=N] tests/editors/pitivi_typing.sh BUILD_DIR [SCREENSHOT_DIR]
# Opens a project (made with GES: the sample frame with the effect, Opacity 1, Width 0.5) with
# the panes laid out by Pitivi's own settings, then clicks by screen positions found on
# Pitivi 2022.06 at 1600x1000. Writes typing.png (the panel and viewer after "soft L", still
# Multiply, beside those after "soft LIGHT", Soft light). Exits 77 when a program is missing,
# 1 when the module's messages do not follow the keys.
set -u
build=$(cd "$1" && pwd)
shots=${2:-$(mktemp -d)}
mkdir -p "$shots"
for program in pitivi Xvfb xdotool import convert dbus-run-session; do
  command -v $program >/dev/null || { echo "$program is not installed"; exit 77; }
done
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d /tmp/qxv-pitivi-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do pkill -P "$pid" 2>/dev/null; kill "$pid" 2>/dev/null; done
  [ -n "${KEEP_SCRATCH:-}" ] || rm -rf "$scratch"
}
trap cleanup EXIT

mkdir -p "$scratch/lib/frei0r-1" "$scratch/lib/qx-vignette" "$scratch/home/.config/pitivi"
cp "$build/qx_vignette.so" "$scratch/lib/frei0r-1/"
cp "$build/QX_Vignette.so" "$scratch/lib/qx-vignette/"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_CACHE_HOME=$scratch/home/.cache \
       XDG_DATA_HOME=$scratch/home/.local/share FREI0R_PATH=$scratch/lib/frei0r-1 \
       GST_REGISTRY=$scratch/registry.bin NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY
cat >"$XDG_CONFIG_HOME/pitivi/pitivi.conf" <<'CONF'
[main-window]
X = 0
Y = 0
width = 1600
height = 1000
vpane-position = 700
main-hpane-position = 860
hpane-position = 280
CONF
/usr/bin/python3 - "$here/../../samples/meadow.png" "$scratch/typing.xges" <<'PY' || exit 1
import sys
import gi
gi.require_version("Gst", "1.0")
gi.require_version("GES", "1.0")
from gi.repository import Gst, GES
Gst.init(None)
GES.init()
timeline = GES.Timeline.new_audio_video()
clip = timeline.append_layer().add_asset(GES.UriClipAsset.request_sync(Gst.filename_to_uri(sys.argv[1])),
                                         0, 0, 5 * Gst.SECOND, GES.TrackType.VIDEO)
effect = GES.Effect.new("frei0r-filter-qx-vignette")
clip.add(effect)
effect.set_child_property("opacity", 1.0)
effect.set_child_property("width", 0.5)
timeline.get_asset().save(timeline, Gst.filename_to_uri(sys.argv[2]), None, True)
PY

# The display given, or the first number from 141 with no lock file.
display=${XVFB_DISPLAY:-141}
while [ -z "${XVFB_DISPLAY:-}" ] && [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
Xvfb :$display -screen 0 1600x1000x24 >/dev/null 2>&1 & pids+=($!)
sleep 2
export DISPLAY=:$display
dbus-run-session pitivi "$scratch/typing.xges" >"$scratch/pitivi.log" 2>&1 & pids+=($!)
sleep 20
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-1}"; }
keys() { for key in "$@"; do xdotool key "$key"; sleep 0.6; done; }
click 800 900 0.5; xdotool key ctrl+0; sleep 1.5  # the timeline fitted to the project
click 806 838 2     # the clip
click 424 117       # fold Transformation
click 416 144       # fold Compositing
click 430 198 1.5   # unfold Qx Vignette
click 582 330 0.3   # the Blending mode box
xdotool key ctrl+a BackSpace; sleep 0.5
keys 3 BackSpace    # choice 3, Multiply, then an empty box
keys s o f t space L
xdotool mousemove 1500 900; sleep 2
import -window root "$scratch/half.png"
click 582 330 0.3
keys End I G H T
xdotool mousemove 1500 900; sleep 2
import -window root "$scratch/done.png"
for shot in half done; do convert "$scratch/$shot.png" -crop 1190x700+355+55 +repage "$scratch/$shot-panel.png"; done
convert "$scratch/half-panel.png" "$scratch/done-panel.png" +append -resize 1600x "$shots/typing.png"

# Every key set the text in the box: refused until it named a choice, "soft LIGHT" taken.
failures=0
for typed in "" s so sof soft "soft " "soft L" "soft LI" "soft LIG" "soft LIGH"; do
  grep -qF "\"Blending mode\": \"$typed\" is not one of" "$scratch/pitivi.log" || {
    echo "FAIL no refusal of \"$typed\""; failures=$((failures + 1)); }
done
if grep -qF '"soft LIGHT" is not' "$scratch/pitivi.log"; then echo "FAIL \"soft LIGHT\" refused"; failures=$((failures + 1)); fi
echo "typing: $failures failure(s); screenshot $shots/typing.png"
[ $failures = 0 ]
