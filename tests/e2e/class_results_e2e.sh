#!/usr/bin/env bash
# class_results_e2e.sh QUIZLOOM HELPER WORK_DIR
# A teacher with the class's test open collects three students' sticks from A: (a folder the
# test refills between disks), opens Class Results from the Results menu, accepts "Water" for
# H2O from the keyboard, exports both tables and reads them back with Python's CSV reader and
# with a spreadsheet's own converter (Gnumeric's ssconvert), all by keys in real windows under
# Xvfb. Two students typed names a spreadsheet would run as formulas. The gradebook lives in a
# data folder of the test's own.
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
for next in "=1+1 -Dee H2O Na cells" $'-5 M\xfcller Water Na cell' ""; do
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
# Question 1's first wrong answer is Muller's "Water": Alt+U goes into the Questions table,
# End to its last column, Home and Right to the wrong answer, the Menu key to its commands.
key alt+u
key Home Right Right Right Right Right Right
key Menu
shot accepting-menu
key a
wait_window "^Accept This Answer$"
shot accept-question
key alt+y
wait_gone "^Accept This Answer$"
wait_window "^Class Results"
shot questions
key alt+q
wait_window "^Save As$"
key ctrl+a
type_text "$work/questions.csv"
key Return
wait_file "$work/questions.csv" "no questions CSV"
wait_window "^Class Results"
key alt+t
key alt+s
wait_window "^Save As$"
key ctrl+a
type_text "$work/students.csv"
key Return
wait_file "$work/students.csv" "no students CSV"
wait_window "^Class Results"
key alt+h
shot charts
key Escape
wait_gone "^Class Results"
wait_window "chem.tst"
exit_with_alt_x

for table in students questions; do
  ssconvert "$work/$table.csv" "$work/$table.gnumeric" >/dev/null 2>&1 ||
    fail "ssconvert could not read $table.csv"
done
python3 - "$work" <<'PYTHON' || fail "the exported CSV files"
import csv, gzip, sys
import xml.etree.ElementTree as ET
work = sys.argv[1]
def table(name):
    with open(f"{work}/{name}.csv", "rb") as f:
        assert f.read(3) == b"\xef\xbb\xbf", f"{name}.csv has no byte-order mark"
    with open(f"{work}/{name}.csv", newline="", encoding="utf-8-sig") as f:
        return list(csv.reader(f))
# The spreadsheet's reading: every cell a value (a formula has no ValueType), in rows.
def spreadsheet(name):
    cells = ET.parse(gzip.open(f"{work}/{name}.gnumeric")).getroot().iter(
        "{http://www.gnumeric.org/v10.dtd}Cell")
    rows = {}
    for cell in cells:
        assert "ValueType" in cell.attrib, f"{name}: a formula in {cell.attrib}: {cell.text}"
        rows.setdefault(int(cell.get("Row")), {})[int(cell.get("Col"))] = cell.text
    return rows
students, questions = table("students"), table("questions")
assert students[0] == ["Last name", "First name", "Course", "Period", "Instructor", "Date",
                       "Correct as taken", "Correct", "Questions", "Percent", "Q1", "Q2",
                       "Q3"], students[0]
assert [row[0] for row in students[1:]] == ["-Dee", "Lovelace", "M\u00fcller"], students
rows = {row[0]: row for row in students[1:]}
assert rows["Lovelace"][6:] == ["3", "3", "3", "100", "1", "1", "1"], rows["Lovelace"]
assert rows["-Dee"][1] == "'=1+1" and rows["-Dee"][6:] == ["1", "1", "3", "33", "1", "0", "0"], rows
assert rows["M\u00fcller"][1:4] == ["-5", "Chemistry", "3"], rows["M\u00fcller"]
# "Water" was wrong as taken and is right regraded.
assert rows["M\u00fcller"][6:] == ["1", "2", "3", "67", "1", "0", "1"], rows["M\u00fcller"]
sheet = spreadsheet("students")
assert [sheet[r][0] for r in (1, 2, 3)] == ["-Dee", "Lovelace", "M\u00fcller"], sheet
assert sheet[1][1] == "=1+1" and sheet[3][1] == "-5" and sheet[3][9] == "67", sheet
assert spreadsheet("questions")[1][2] == "H\u2082O"
assert questions[0][:6] == ["Number", "Question", "Answer", "Also accepted", "Facility",
                           "Discrimination"]
assert [q[0] for q in questions[1:]] == ["1", "2", "3"]
assert questions[1][1:5] == ["What is water?", "H\u2082O", "Water", "100.0"], questions[1]
assert questions[2][2:5] == ["Na\u207a", "", "33.3"], questions[2]
assert questions[2][6:8] == ["Na", "2"], questions[2]
assert questions[3][4] == "66.7" and questions[3][6:8] == ["cells", "1"], questions[3]
PYTHON
echo "class results end to end: passed"
