# Sourced by the preview scripts: a scratch directory, a private X server and qxv preview in
# it, all stopped on exit. Needs $qxv (the qxv binary) set before start_preview.
work=$(mktemp -d)
xvfb_pid="" preview_pid="" window=""
cleanup() {
  [ -n "$preview_pid" ] && kill "$preview_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# start_xvfb WxHxDEPTH: an X server on a free display number, exported as DISPLAY; false
# (its log in $work/xvfb.log) when none could be started.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; kill -0 "$xvfb_pid" 2>/dev/null || break; sleep 0.1; done
  [ -s "$work/display" ] || return 1
  export DISPLAY=":$(head -n 1 "$work/display")"
}

# start_preview ARGS...: qxv preview ARGS with stdout in $work/out.txt and stderr in
# $work/err.txt; waits for its window and sets $window, or returns false.
start_preview() {
  "$qxv" preview "$@" >"$work/out.txt" 2>"$work/err.txt" &
  preview_pid=$!
  for _ in $(seq 100); do grep -qs "showing" "$work/err.txt" && break; kill -0 "$preview_pid" 2>/dev/null || break; sleep 0.1; done
  grep -qs "showing" "$work/err.txt" || return 1
  window=$(xdotool search --name '^qxv preview' | head -n 1)
}
