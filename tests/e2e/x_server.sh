# Sourced by the end-to-end scripts: start_x_server WORK_DIR starts an Xvfb of its own, points
# DISPLAY at it and, on exit, ends it and every program the script started in the background.
start_x_server() {
  local work=$1 n xvfb=""
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
