# Sourced by the end-to-end scripts: start_x_server WORK_DIR starts an Xvfb of its own, points
# DISPLAY at it and, on exit, ends it and every program the script started in the background.
start_x_server() {
  local work=$1
  # Xvfb picks a free display itself and writes its number.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  local xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "FAILED: Xvfb did not start" >&2; kill "$xvfb" 2>/dev/null; exit 1; }
  trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true' EXIT
  export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1 || { echo "FAILED: no X server on $DISPLAY" >&2; exit 1; }
}
