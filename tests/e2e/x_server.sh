# Sourced by the end-to-end scripts: start_x_server WORK_DIR starts an Xvfb of its own, points
# DISPLAY at it and, on exit, ends it and every program the script started in the background.
start_x_server() {
  local work=$1 n xvfb=""
  e2e_work=$work
  # A display number of its own, away from :0: a server that has just ended on a low number
  # may still be removing its socket when the next one starts there.
  for n in $(seq $((20 + $$ % 500)) 999); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    export DISPLAY=":$n"
    break
  done
  [ -n "$xvfb" ] || { echo "FAILED: no free display" >&2; exit 1; }
  trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true' EXIT
  export QT_QPA_PLATFORM=xcb
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "FAILED: no X server on $DISPLAY" >&2; cat "$work/xvfb.log" >&2; exit 1; }
}

# shot NAME keeps a screenshot in the work folder; fail MESSAGE reports, keeps one and ends.
shot() { import -window root "$e2e_work/$1.png" 2>/dev/null || true; }
fail() { echo "FAILED: $*" >&2; shot failure; exit 1; }

# wait_for_window PATTERN PID: waits up to 20 s for a visible window whose name matches while
# the program PID runs, sets window_id and focuses it; otherwise fails.
wait_for_window() {
  window_id=""
  for _ in $(seq 200); do
    window_id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    [ -n "$window_id" ] && break
    kill -0 "$2" 2>/dev/null || fail "the program ended while waiting for '$1'"
    sleep 0.1
  done
  [ -n "$window_id" ] || fail "no window '$1'"
  xdotool windowfocus --sync "$window_id" 2>/dev/null || xdotool windowfocus "$window_id"
  sleep 0.3
}
