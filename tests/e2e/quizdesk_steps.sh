# Sourced by the Quizdesk end-to-end scripts after start_x_server: what a person does with
# the keyboard. Screenshots go to $work; quizdesk_pid is the running program.
quizdesk_pid=""

shot() { import -window root "$work/$1.png" 2>/dev/null || true; }
fail() { echo "FAILED: $*" >&2; shot failure; exit 1; }
# Waits up to 20 s for a window whose name matches, and focuses it.
wait_window() {
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && break
    kill -0 "$quizdesk_pid" 2>/dev/null || fail "quizdesk ended while waiting for '$1'"
    sleep 0.1
  done
  [ -n "$id" ] || fail "no window '$1'"
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  sleep 0.3
}
wait_gone() {
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window '$1' stayed"
}
key() { xdotool key --delay 80 "$@"; sleep 0.2; }
type_text() { xdotool type --delay 80 "$1"; sleep 0.2; }

# start_quizdesk QUIZDESK: runs it from the current folder, as a student's program would from
# the desktop, and waits for the idle window after the splash.
start_quizdesk() {
  "$1" >"$work/quizdesk.log" 2>&1 &
  quizdesk_pid=$!
  wait_window "No test active"
}

# begin_test FIRST LAST TEST_FILE [COURSE]: Start, the class information, the test file; the
# first question is then shown.
begin_test() {
  key alt+t
  key s
  wait_window "Class information"
  type_text "$1"
  key Tab
  type_text "$2"
  if [ -n "${4:-}" ]; then key Tab; type_text "$4"; fi
  shot 2-class-information
  key Return
  wait_window "^Open$"
  type_text "$3"
  shot 3-open
  key Return
  wait_window "$(basename "$3")"
}

# answer TEXT LOWER_SECOND: types an answer, lowering its second character when asked.
answer() {
  type_text "$1"
  if [ "$2" = yes ]; then key Left Left; key alt+Down; fi
  sleep 0.2
}

# store_on_c: the Storage Drive dialog after the last answer, C: as preselected.
store_on_c() {
  wait_window "Storage Drive"
  shot 5-storage-drive
  key Return
  wait_gone "Storage Drive"
}

# exit_quizdesk: Alt+X, and the program must end.
exit_quizdesk() {
  key alt+x
  for _ in $(seq 50); do kill -0 "$quizdesk_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$quizdesk_pid" 2>/dev/null && fail "Alt+X did not end the program"
  quizdesk_pid=""
}
