# Sourced by the end-to-end scripts after x_server.sh: what a person does in a real window,
# driven by xdotool. Screenshots go to $work; program_pid is the program under test.
program_pid=""
window_id=""

# start_program LOG PROGRAM [ARGS...]: starts the program under test in the background.
start_program() {
  local log=$1; shift
  "$@" >"$work/$log" 2>&1 &
  program_pid=$!
}
shot() { import -window root "$work/$1.png" 2>/dev/null || true; }
fail() { echo "FAILED: $*" >&2; shot failure; exit 1; }
# Waits up to a minute for a window whose name matches, and focuses it: without a window manager
# nothing gives the focus back after a dialog closes.
wait_window() {
  window_id=""
  # A deadline in seconds rather than a count of tries: under the sanitizers on a busy machine
  # a dialog such as Print, which asks the print server first, can take well over 20 s.
  local deadline=$((SECONDS + 60))
  while [ "$SECONDS" -lt "$deadline" ]; do
    window_id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    [ -n "$window_id" ] && break
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended while waiting for '$1'"
    sleep 0.1
  done
  [ -n "$window_id" ] || fail "no window '$1'"
  xdotool windowfocus --sync "$window_id" 2>/dev/null || xdotool windowfocus "$window_id"
  sleep 0.3
}
# Waits up to 5 s until no window matches any more.
wait_gone() {
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window '$1' stayed"
}
# Waits up to 10 s for FILE to be written, else fails with MESSAGE.
wait_file() {
  for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.1; done
  fail "$2"
}
key() { xdotool key --delay 80 "$@"; sleep 0.2; }
type_text() { xdotool type --delay 80 "$1"; sleep 0.2; }
# choose_file CAPTION PATH: types PATH into the file dialog of that caption and accepts it.
choose_file() { wait_window "^$1\$"; key ctrl+a; type_text "$2"; key Return; wait_gone "^$1\$"; }
# Alt+X, then the program must have ended within 5 s.
exit_with_alt_x() {
  key alt+x
  for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program_pid" 2>/dev/null && fail "Alt+X did not end the program"
  program_pid=""
}
