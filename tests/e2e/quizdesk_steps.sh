# Sourced by the Quizdesk end-to-end scripts after start_x_server: window_steps.sh, and what a
# student does in Quizdesk with the keyboard.
source "$(dirname "${BASH_SOURCE[0]}")/window_steps.sh"

# start_quizdesk QUIZDESK: runs it from the current folder, as a student's program would from
# the desktop, and waits for the idle window after the splash.
start_quizdesk() {
  start_program quizdesk.log "$1"
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
