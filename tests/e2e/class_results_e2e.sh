#!/usr/bin/env bash
# class_results_e2e.sh QUIZLOOM HELPER WORK_DIR
# A teacher with the class's test open collects three students' sticks from A: (a folder the
# test refills between disks), opens Class Results from the Results menu, exports both tables
# and reads them back with Python's CSV reader, all by keys in real windows under Xvfb. The
# gradebook lives in a data folder of the test's own.
set -euo pipefail
quizloom=$1 helper=$2 work=$3
rm -rf "$work"
mkdir -p "$work/stick" "$work/folder" "$work/data"

source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
source "$(dirname "$0")/window_steps.sh"
export QUIZDESK_DRIVE_A=$work/stick XDG_DATA_HOME=$work/data
unset QUIZDESK_DRIVE_B
test_file=$work/folder/chem.tst
"$helper" test "$test_file"
# stick FIRST LAST ANSWER1 ANSWER2 ANSWER3: the next disk in drive A:.
stick() { "$helper" results "$work/stick/results.qzr" 'C:\CLASS\CHEM.TST' "$@"; }

# Waits for a message box captioned "Collect Results" other than the one answered before.
box=""
next_box() {
  for _ in $(seq 100); do
    local found
    found=$(xdotool search --onlyvisible --name "^Collect Results$" 2>/dev/null | tail -1 || true)
    if [ -n "$found" ] && [ "$found" != "$box" ]; then
      box=$found
      xdotool windowfocus --sync "$box" 2>/dev/null || true
      sleep 0.3
      return 0
    fi
    sleep 0.1
  done
  fail "no new Collect Results box"
}

cd "$work/folder"
start_program quizloom.log "$quizloom" "$test_file"
wait_window "chem.tst"
stick Ada Lovelace H2O Na+ cell
key alt+r
key c
wait_window "Storage Drive"
key Down
key Return
for next in "Charles Babbage H2O Na cells" "Marie Curie H2O Na cell" ""; do
  next_box
  shot "added-$box"
  key Return                      # "Added: ..."
  next_box                        # another disk?
  if [ -z "$next" ]; then key alt+n; break; fi
  stick $next
  key alt+y
done
wait_window "chem.tst"

key alt+r
key r
wait_window "^Class Results"
shot class-results
key alt+s
wait_window "^Save As$"
key ctrl+a
type_text "$work/students.csv"
key Return
wait_file "$work/students.csv" "no students CSV"
wait_window "^Class Results"
key alt+u
shot questions
key alt+q
wait_window "^Save As$"
key ctrl+a
type_text "$work/questions.csv"
key Return
wait_file "$work/questions.csv" "no questions CSV"
wait_window "^Class Results"
key alt+h
shot charts
key Escape
wait_gone "^Class Results"
wait_window "chem.tst"
exit_with_alt_x

python3 - "$work/students.csv" "$work/questions.csv" <<'PYTHON' || fail "the exported CSV files"
import csv, sys
with open(sys.argv[1], newline="", encoding="utf-8") as f:
    students = list(csv.reader(f))
with open(sys.argv[2], newline="", encoding="utf-8") as f:
    questions = list(csv.reader(f))
assert students[0] == ["Last name", "First name", "Course", "Period", "Instructor", "Date",
                       "Correct", "Questions", "Percent", "Q1", "Q2", "Q3"], students[0]
rows = {row[0]: row for row in students[1:]}
assert sorted(rows) == ["Babbage", "Curie", "Lovelace"], rows
assert rows["Lovelace"][6:] == ["3", "3", "100", "1", "1", "1"], rows["Lovelace"]
assert rows["Babbage"][6:] == ["1", "3", "33", "1", "0", "0"], rows["Babbage"]
assert rows["Curie"][1:4] == ["Marie", "Chemistry", "3"], rows["Curie"]
assert rows["Curie"][6:] == ["2", "3", "66", "1", "0", "1"], rows["Curie"]
assert questions[0][:5] == ["Number", "Question", "Answer", "Facility", "Discrimination"]
assert [q[0] for q in questions[1:]] == ["1", "2", "3"]
assert questions[1][1:4] == ["What is water?", "H\u2082O", "100.0"], questions[1]
assert questions[2][2:4] == ["Na\u207a", "33.3"], questions[2]
assert questions[2][5:7] == ["Na", "2"], questions[2]
assert questions[3][3] == "66.7" and questions[3][5:7] == ["cells", "1"], questions[3]
PYTHON
echo "class results end to end: passed"
