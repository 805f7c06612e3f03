#!/usr/bin/env bash
# orca_e2e.sh QUIZDESK QUIZLOOM HELPER WORK_DIR
# What Orca itself says, read from its own log, with its default settings. A student hears
# the next question with its lowered 2 after Enter, and "lowered" after Alt+Down; a teacher
# hears the question the list moves to after Down, and Where Am I counts the 12 questions.
set -euo pipefail
source "$(dirname "$0")/accessibility_bus.sh"
run_in_own_session "$@"
quizdesk=$1 quizloom=$2 helper=$3
start_accessible_desktop "$4"
source "$(dirname "$0")/quizdesk_steps.sh"
start_orca
"$helper" write "$work/folder/formula.tst" 2 formula
"$helper" write "$work/folder/twelve.tst" 12 formula
cd "$work/folder"

start_quizdesk "$quizdesk"
wait_spoken "To start go to Start"          # a reader waits to hear where the keys go
begin_test Ann Lee "$work/folder/formula.tst"
wait_spoken "Question Number 1 What is H₂O\?"
type_text H2O
key Return
wait_spoken "Question Number 2 What is H₂O\?"
type_text H2O
key Left Left
key alt+Down
wait_spoken "lowered"
exit_with_alt_x

start_program quizloom.log "$quizloom" "$work/folder/twelve.tst"
wait_window "twelve.tst"
wait_spoken "'1\. What is H₂O\? Answer: +H₂O"
key Down
wait_spoken "'([2-9]|1[0-2])\. What is H₂O\? Answer: +H₂O"
key KP_Enter                             # Where Am I
wait_spoken " of 12"
exit_with_alt_x
echo "orca end to end: passed"
