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
# Alt held while the other key goes, as a hand does: Qt hands each key to the bus and waits
# for Orca, and a quick chord on a busy machine can reach the program out of order.
alt_key() { xdotool keydown alt; sleep 0.3; xdotool key "$1"; sleep 0.3; xdotool keyup alt; }
quit_program() { alt_key x; wait_until "Alt+X did not end the program" program_ended; }
program_ended() { ! kill -0 "$program_pid"; }
start_orca
"$helper" write "$work/folder/formula.tst" 2 formula
"$helper" write "$work/folder/twelve.tst" 12 formula
cd "$work/folder"

# Each step waits to hear where the keys went, as a listener does.
start_quizdesk "$quizdesk"
wait_spoken "To start go to Start"
alt_key t; wait_spoken "'Start"
key s; wait_spoken "First name"
type_text Ann; key Tab; wait_spoken "Last Name"
type_text Lee; key Return; wait_spoken "Open dialog"
choose_file Open "$work/folder/formula.tst"
wait_window "formula.tst"                # no window manager: the test gives the focus back
wait_spoken "Question Number 1 What is H₂O\?"
type_text H2O; key Return
wait_spoken "Question Number 2 What is H₂O\?"
type_text H2O; key Left Left; alt_key Down
wait_spoken "lowered"
quit_program

start_program quizloom.log "$quizloom" "$work/folder/twelve.tst"
wait_window "twelve.tst"
wait_spoken "'1\. What is H₂O\? Answer: +H₂O"
key Down; wait_spoken "'([2-9]|1[0-2])\. What is H₂O\? Answer: +H₂O"
key KP_Enter; wait_spoken " of 12"      # Where Am I
quit_program
echo "orca end to end: passed"
