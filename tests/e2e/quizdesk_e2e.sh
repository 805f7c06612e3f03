#!/usr/bin/env bash
# quizdesk_e2e.sh QUIZDESK HELPER WORK_DIR
# A student takes a test of four questions in the real window under Xvfb, driven by xdotool
# only: Start, names, the test file, four answers (one with the 2 lowered by Alt+Down), C:.
# Then Check Answers, one answer corrected, C: again. results.qzr is checked byte for byte
# after each pass. Screenshots are kept in WORK_DIR.
set -euo pipefail
quizdesk=$1 helper=$2 work=$3
rm -rf "$work"
mkdir -p "$work/folder"
test_file="$work/folder/water.tst"
results="$work/folder/results.qzr"
"$helper" write "$test_file" 4

source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
quizdesk_pid=""
unset QUIZDESK_DRIVE_A QUIZDESK_DRIVE_B

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

# Runs from the folder of the test, as a student's program would from the desktop.
cd "$work/folder"
"$quizdesk" >"$work/quizdesk.log" 2>&1 &
quizdesk_pid=$!
wait_window "No test active"   # after the three seconds of the splash and the first paint
shot 1-idle

key alt+t
key s
wait_window "Class information"
type_text "Ann"
key Tab
type_text "Lee"
shot 2-class-information
key Return
wait_window "^Open$"
type_text "$test_file"
shot 3-open
key Return
wait_window "water.tst"

# Answers in the order shown: H2O with the 2 lowered (right), H2O (wrong), water (wrong), H2O.
answer() {  # TEXT LOWER_SECOND
  type_text "$1"
  if [ "$2" = yes ]; then key Left Left; key alt+Down; fi
  sleep 0.2
}
answer H2O yes; shot 4-first-answer; key Return
answer H2O no; key Return
answer water no; key Return
answer H2O no; key Return
wait_window "Storage Drive"
shot 5-storage-drive
key Return                      # C:, preselected
wait_gone "Storage Drive"
for _ in $(seq 50); do [ -s "$results" ] && break; sleep 0.1; done
shot 6-taken
"$helper" check "$results" "$test_file" Ann Lee H2O:2:1 H2O:0:0 water:0:0 H2O:0:0 ||
  fail "results of the first pass"

# The review: the earlier answers come back; the second is corrected, the others kept.
first_bytes=$(md5sum "$results")
wait_window "water.tst"
key alt+c
sleep 0.5
shot 7-review
key Return
key End BackSpace BackSpace BackSpace
answer H2O yes; key Return
key Return
key Return
wait_window "Storage Drive"
key Return
wait_gone "Storage Drive"
for _ in $(seq 50); do [ "$(md5sum "$results")" != "$first_bytes" ] && break; sleep 0.1; done
shot 8-reviewed
"$helper" check "$results" "$test_file" Ann Lee H2O:2:1 H2O:2:1 water:0:0 H2O:0:0 ||
  fail "results of the review"

wait_window "water.tst"
key alt+x
for _ in $(seq 50); do kill -0 "$quizdesk_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$quizdesk_pid" 2>/dev/null && fail "Alt+X did not end the program"
quizdesk_pid=""
echo "quizdesk end to end: passed"
