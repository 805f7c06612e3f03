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
unset QUIZDESK_DRIVE_A QUIZDESK_DRIVE_B
source "$(dirname "$0")/quizdesk_steps.sh"

cd "$work/folder"
start_quizdesk "$quizdesk"
shot 1-idle
begin_test Ann Lee "$test_file"

# Answers in the order shown: H2O with the 2 lowered (right), H2O (wrong), water (wrong), H2O.
answer H2O yes; shot 4-first-answer; key Return
answer H2O no; key Return
answer water no; key Return
answer H2O no; key Return
store_on_c
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
exit_with_alt_x
echo "quizdesk end to end: passed"
