#!/usr/bin/env bash
# quizloom_accessibility_e2e.sh QUIZLOOM HELPER WORK_DIR RESULTS_HELPER
# A teacher who relies on a screen reader opens a test of three questions and adds a fourth:
# the program's accessibility tree is read over a real AT-SPI bus with pyatspi. The list's
# items are all the questions, counted among themselves, the top one current; a number
# prompt's field is named by its text; in the editor the typed question, its lowered 2 (heard
# as a subscript character) and the caret are seen; after Cancel the list has the focus again.
# Class Results is a dialog whose figures are texts named by their labels, which Tab reaches.
set -euo pipefail
source "$(dirname "$0")/accessibility_bus.sh"
run_in_own_session "$@"
quizloom=$1 helper=$2 results_helper=$4
start_accessible_desktop "$3"
export XDG_DATA_HOME=$work/data
test_file="$work/folder/formula.tst"
"$helper" write "$test_file" 3 formula

cd "$work/folder"
start_program quizloom.log "$quizloom" "$test_file"
wait_window "formula.tst"
read_tree quizloom 1-list
expect_object $'list\tQuestions\tfocused' \
  $'list item\t1. What is H₂O? Answer:  H₂O\tfocused,selected\tposition=1/3\ttext=1. What is H₂O?|Answer:  H₂O\tcaret=0\tsub=12,26\tsuper=' \
  $'list item\t2. What is H₂O? Answer:  H₂O\t\tposition=2/3\ttext=2. What is H₂O?|Answer:  H₂O\tcaret=0\tsub=12,26\tsuper=' \
  $'list item\t3. What is H₂O? Answer:  H₂O\t\tposition=3/3\ttext=3. What is H₂O?|Answer:  H₂O\tcaret=0\tsub=12,26\tsuper='

key alt+e
key c                                   # Change: the number prompt
wait_window "^Change Question$"
read_tree quizloom 1-change
expect_object $'text\tEnter the question you want to change:\tfocused,editable\ttext=\tcaret=0\tsub=\tsuper='
key Escape
wait_gone "^Change Question$"
wait_window "formula.tst"

key alt+e
key a                                   # Add: the editor for question 4
sleep 0.5
type_text "Water is H2O"
key Left Left
key alt+Down                            # lowers the 2, the caret stays before it
read_tree quizloom 2-editor
expect_object $'text\tQuestion\tfocused,editable\ttext=Water is H₂O\tcaret=10\tsub=10\tsuper=' \
  $'text\tAnswer\teditable\ttext=\tcaret=0\tsub=\tsuper='
shot 2-editor
key Escape                              # Cancel: the list has the keys again
sleep 0.5
read_tree quizloom 3-back
expect_object $'list item\t1. What is H₂O? Answer:  H₂O\tfocused,selected\tposition=1/3\ttext=1. What is H₂O?|Answer:  H₂O\tcaret=0\tsub=12,26\tsuper='
"$results_helper" results "$work/folder/results.qzr" 'C:\CHEM.TST' Ada Lovelace H2O Na+ cell
key alt+r
key c                                   # Collect Results from C:
wait_window "^Storage Drive$"
key Return
wait_window "^Collect Results$"
key Return
wait_gone "^Collect Results$"
wait_window "formula.tst"
key alt+r
key r                                   # Class Results of the test picked
wait_window "^Choose a Test$"
key Return
wait_window "^Class Results"
read_tree quizloom 4-class-results
expect_object $'dialog\tClass Results - CHEM.TST\t' \
  $'text\tTest\tfocused,editable,read-only\ttext=CHEM.TST\tcaret=0\tsub=\tsuper='
key Tab Tab Tab
read_tree quizloom 5-summary
expect_object $'text\tMean\tfocused,editable,read-only\ttext=100.0 %\tcaret=7\tsub=\tsuper=' \
  $'text\tReliability (KR-20)\teditable,read-only\ttext=-\tcaret=0\tsub=\tsuper='
key Escape
wait_gone "^Class Results"
wait_window "formula.tst"
key alt+x
wait_window "^File has changed$"
key n
echo "quizloom accessibility end to end: passed"
