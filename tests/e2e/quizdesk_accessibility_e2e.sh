#!/usr/bin/env bash
# quizdesk_accessibility_e2e.sh QUIZDESK HELPER WORK_DIR
# A student who relies on a screen reader takes a test of two questions: the program's
# accessibility tree is read over a real AT-SPI bus with pyatspi at each step. The class
# information warning is an alert with its text; the question is read-only text with its
# lowered 2, heard as a subscript character; the answer typed as H2O with the 2 lowered is
# seen with its caret; after the last answer the idle view's text is there.
set -euo pipefail
source "$(dirname "$0")/accessibility_bus.sh"
run_in_own_session "$@"
quizdesk=$1 helper=$2
start_accessible_desktop "$3"
unset QUIZDESK_DRIVE_A QUIZDESK_DRIVE_B
source "$(dirname "$0")/quizdesk_steps.sh"
test_file="$work/folder/formula.tst"
"$helper" write "$test_file" 2 formula

cd "$work/folder"
start_quizdesk "$quizdesk"
read_tree quizdesk 1-idle
expect_object $'label\tTo start go to Start on the Test Menu.\tfocused,read-only\ttext=To start go to Start on the Test Menu.\tcaret=0\tsub=\tsuper='

key alt+t
key s
wait_window "Class information"
key Return                              # no names: the warning
wait_window "^Warning$"
read_tree quizdesk 2-warning
expect_object $'alert\tWarning\t' \
  $'label\tYou must enter at least a first name and a last name. Use the tab key or mouse to move around the message box.\tread-only'
key Return
wait_gone "^Warning$"
wait_window "Class information"
type_text Ann
key Tab
type_text Lee
key Return
wait_window "^Open$"
type_text "$test_file"
key Return
wait_window "formula.tst"

answer H2O yes                          # H2O, the caret back after the H, the 2 lowered
read_tree quizdesk 3-question
expect_object $'text\tQuestion\tread-only\ttext=Question Number 1|What is H₂O?\tcaret=0\tsub=27\tsuper=' \
  $'text\tAnswer\tfocused,editable\ttext=H₂O\tcaret=1\tsub=1\tsuper='
shot 3-question
key Return
answer H2O no
key Return
store_on_c
wait_window "formula.tst"
read_tree quizdesk 4-taken
expect_object $'label\tTo check your answers select Check Answers.\tfocused,read-only\ttext=To check your answers select Check Answers.\tcaret=0\tsub=\tsuper='
exit_with_alt_x
echo "quizdesk accessibility end to end: passed"
