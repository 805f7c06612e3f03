# Sourced by the end-to-end scripts: start_x_server WORK_DIR starts an Xvfb of its own, points
# DISPLAY at it and, on exit, ends it and every program the script started in the background.
start_x_server() {
  local work=$1 n=""
  # The server picks a free display itself and writes its number once it accepts clients, so two
  # scripts starting at once can never share a display or find a server that is about to leave.
  # -noreset: by default the server resets when its last client leaves, and a program connecting
  # during that reset (right after our own probe) is refused.
  rm -f "$work/display"
  Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    n=$(head -n1 "$work/display" 2>/dev/null || true)
    [ -n "$n" ] && break
    sleep 0.1
  done
  [ -n "$n" ] || { echo "FAILED: the X server did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$n"
  export QT_QPA_PLATFORM=xcb
  xdpyinfo >/dev/null 2>&1 || { echo "FAILED: no X server on $DISPLAY" >&2; cat "$work/xvfb.log" >&2; exit 1; }
}
