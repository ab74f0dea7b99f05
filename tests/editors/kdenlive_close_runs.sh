#!/bin/bash
# Closes a modified Kdenlive project with "Do Not Save" after editing a vignette effect, N times,
# each run in a fresh home under its own Xvfb, and counts the runs that end in an abort.
# Run by hand; not part of CI.
#
#   tests/editors/kdenlive_close_runs.sh CONFIG [RUNS]
#
# CONFIG:
#   qx       QX Vignette offered from MLT's metadata (no description file)
#   stock    the stock frei0r vignette (frei0r.vignette), QX Vignette on the search path too
#   stock-only  the stock frei0r vignette, QX Vignette not on the search path
#   qx-xml   QX Vignette with a Kdenlive description in the per-user effects folder
# Environment:
#   QXV_FREI0R_DIR  a folder laid out as the package installs: lib/frei0r-1/qx_vignette.so and
#                   lib/qx-vignette/QX_Vignette.so (default: copied from build/linux)
#   QXV_KDENLIVE_XML  the description for qx-xml (default: build/linux/editors/kdenlive/frei0r_qx_vignette.xml)
#   OUT             where the runs' logs and screenshots go (default: a new folder under /tmp)
#   DISPLAY_NUM     the Xvfb display to use (default 93)
#   QXV_RUN_ENV     extra environment for Kdenlive, e.g. "LD_PRELOAD=... ASAN_OPTIONS=..."
# Exit status: 0 when no run aborted, 1 when one did, 77 when Kdenlive, Xvfb or xdotool is missing.
set -u

config=${1:-qx}
runs=${2:-10}
here=$(cd "$(dirname "$0")/../.." && pwd)
for tool in kdenlive Xvfb xdotool import dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
case $config in qx|stock|stock-only|qx-xml) ;; *) echo "unknown configuration $config" >&2; exit 2;; esac

out=${OUT:-$(mktemp -d /tmp/kdenlive-close-runs.XXXXXX)}
mkdir -p "$out"
display=:${DISPLAY_NUM:-93}
image=$here/samples/meadow.png

package=${QXV_FREI0R_DIR:-}
if [ -z "$package" ]; then
    package=$out/package
    mkdir -p "$package/lib/frei0r-1" "$package/lib/qx-vignette"
    cp "$here/build/linux/qx_vignette.so" "$package/lib/frei0r-1/" &&
        cp "$here/build/linux/QX_Vignette.so" "$package/lib/qx-vignette/" || exit 2
fi
xml=${QXV_KDENLIVE_XML:-$here/build/linux/editors/kdenlive/frei0r_qx_vignette.xml}

# What to search for in the effect list, and three edits in the effect panel as Kdenlive 22.12
# lays it out in a 1600x1000 screen: drag:Y drags a number's slider in row Y, combo:Y picks the
# next choice of a list in row Y, click:X,Y ticks a box.
case $config in
    qx) search="QX Vignette"; edits="drag:556 drag:616 drag:706"; path=$package/lib/frei0r-1:/usr/lib/frei0r-1 ;;
    qx-xml) search="QX Vignette"; edits="combo:555 combo:628 click:1142,674"; path=$package/lib/frei0r-1:/usr/lib/frei0r-1 ;;
    stock) search="vignette"; edits="drag:636 drag:666 drag:696"; path=$package/lib/frei0r-1:/usr/lib/frei0r-1 ;;
    stock-only) search="vignette"; edits="drag:636 drag:666 drag:696"; path=/usr/lib/frei0r-1 ;;
esac

X() { DISPLAY=$display xdotool "$@" 2>/dev/null; }
shot() { DISPLAY=$display import -window root "$run_dir/$1.png" 2>/dev/null; }
# Waits up to $2 seconds for a window whose title holds $1; prints its id.
wait_window() {
    local i id
    for ((i = 0; i < $2 * 2; i++)); do
        id=$(X search --name "$1" | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$kd_pid" 2>/dev/null || return 1
        sleep 0.5
    done
    return 1
}
# Standard deviation of a screen area: a panel with widgets in it is far from uniform.
area_busy() {
    local sd
    sd=$(DISPLAY=$display import -window root -crop "$1" -colorspace gray -format '%[fx:standard_deviation]' info: 2>/dev/null)
    awk -v s="${sd:-0}" 'BEGIN { exit !(s > 0.05) }'
}
focus_main() { local m; m=$(X search --name "fps" | head -1); [ -n "$m" ] && X windowfocus --sync "$m"; }

edit_and_close() {  # $1: round number
    local r=$1 w y
    # Drag the clip from the bin onto the start of V1, select it, apply the effect.
    X mousemove 61 115 mousedown 1 sleep 0.3 mousemove 100 300 sleep 0.3 mousemove 170 690 sleep 0.3 \
        mousemove 176 703 sleep 0.5 mouseup 1
    sleep 3
    X mousemove 200 708 click 1; sleep 1
    X mousemove 195 465 click 1; sleep 1            # the Effects tab
    X mousemove 207 76 click 1; sleep 0.5           # its search field
    X key ctrl+a; X type --delay 40 "$search"; sleep 2
    X mousemove 85 117 click --repeat 2 --delay 120 1   # the first match
    sleep 4
    if ! area_busy 360x150+950+540; then echo "round $r: no effect panel" >>"$run_dir/steps"; shot "r$r-noeffect"; return 1; fi
    for edit in $edits; do
        y=${edit#*:}
        case $edit in
            drag:*) X mousemove 1037 "$y" mousedown 1 sleep 0.2 mousemove 1060 "$y" sleep 0.2 mousemove 1090 "$y" \
                sleep 0.2 mouseup 1 ;;
            combo:*) X mousemove 1221 "$y" click 1; sleep 1; X key Down; sleep 0.3; X key Return ;;
            click:*) X mousemove "${y%,*}" "${y#*,}" click 1 ;;
        esac
        sleep 1
    done
    sleep 2; shot "r$r-edited"
    # Play the clip for a few seconds in the project monitor, as a user checks an edit.
    focus_main; X mousemove 1100 200 click 1; X key space; sleep 4; X key space; sleep 1
    focus_main; X key ctrl+n
    w=$(wait_window "Project Settings" 20) || { echo "round $r: no project settings" >>"$run_dir/steps"; return 1; }
    X windowfocus --sync "$w"; X key Return
    w=$(wait_window "Warning" 20) || { echo "round $r: no save question" >>"$run_dir/steps"; shot "r$r-nosave"; return 1; }
    X mousemove --window "$w" 150 78 click 1   # "Do Not Save"
    echo "round $r: closed without saving" >>"$run_dir/steps"
    sleep 10
    return 0
}

summary=$out/summary.txt
: >"$summary"
aborts=0
for ((n = 1; n <= runs; n++)); do
    run_dir=$out/$config-$n
    rm -rf "$run_dir"; mkdir -p "$run_dir/home/.local/share/kdenlive/effects" "$run_dir/xdg"
    chmod 700 "$run_dir/xdg"
    [ "$config" = qx-xml ] && cp "$xml" "$run_dir/home/.local/share/kdenlive/effects/frei0r_qx_vignette.xml"
    Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 2
    (
        cd "$run_dir" || exit
        ulimit -c 0
        # KDE_DEBUG: no KCrash handler, so an abort ends the process with its own signal.
        env -i PATH=/usr/bin:/bin HOME="$run_dir/home" XDG_RUNTIME_DIR="$run_dir/xdg" DISPLAY="$display" \
            LANG=C.UTF-8 KDE_DEBUG=1 LIBC_FATAL_STDERR_=1 FREI0R_PATH="$path" ${QXV_RUN_ENV:-} \
            dbus-run-session -- sh -c 'kdenlive -i "$0"; echo $? >status' "$image" >"$run_dir/kdenlive.log" 2>&1
    ) &
    sleep 3
    kd_pid=$(pgrep -n -f "^kdenlive -i $image" || true)
    [ -z "$kd_pid" ] && kd_pid=$!
    ok=1
    if main=$(wait_window "fps" 120); then
        # A 960x540 image asks to switch the project's profile: continue.
        if w=$(wait_window "Warning" 15); then X windowfocus --sync "$w"; X key Return; fi
        sleep 3; shot start
        edit_and_close 1 || ok=0
        if kill -0 "$kd_pid" 2>/dev/null; then
            focus_main; X key ctrl+q
            for ((i = 0; i < 60 && $(kill -0 "$kd_pid" 2>/dev/null && echo 1 || echo 0); i++)); do sleep 0.5; done
        fi
    else
        echo "Kdenlive showed no main window" >>"$run_dir/steps"; ok=0
    fi
    for ((i = 0; i < 60; i++)); do [ -f "$run_dir/status" ] && break; sleep 1; done
    [ -f "$run_dir/status" ] || { kill -9 "$kd_pid" 2>/dev/null; sleep 1; echo killed >"$run_dir/status"; }
    kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
    status=$(cat "$run_dir/status")
    found=$(grep -aE -m3 "corrupted|malloc\(\)|free\(\)|double free|AddressSanitizer|ERROR: |Invalid (read|write)|Aborted|Segmentation" \
        "$run_dir/kdenlive.log" $(ls "$run_dir"/asan* 2>/dev/null) | tr '\n' ' ' | cut -c1-300)
    verdict=clean
    if [ "$status" != 0 ] || [ -n "$found" ]; then verdict=ABORT; aborts=$((aborts + 1)); fi
    [ $ok = 1 ] || verdict="$verdict (steps incomplete: $(tail -1 "$run_dir/steps" 2>/dev/null))"
    echo "$config run $n: exit $status, $verdict ${found:+: $found}" | tee -a "$summary"
done
echo "$config: $aborts of $runs runs aborted; logs in $out" | tee -a "$summary"
[ $aborts = 0 ]
