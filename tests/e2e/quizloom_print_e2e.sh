#!/usr/bin/env bash
# quizloom_print_e2e.sh QUIZLOOM PRINT_LISTENER HELPER SAMPLES_DIR WORK_DIR
# A teacher prints the sample test from the real window under Xvfb, by keys only, through
# Qt's real print dialog to the default printer of a print server of the test's own, whose
# network printer is a listener keeping each job (cups_server.sh). The PDFs that reach it are
# read back with pdftotext: every question's number and text in order, no answer, as many
# pages as the pagination gives; then page 2 only; then the answer key; then a PDF file
# chosen in the same dialog; then, with the queue refusing jobs, the error and no job. A test
# with a 640x480 or a 2000x1500 picture on every question then prints every question inside
# 10 mm margins with raised and lowered letters whole, and "2,4" prints exactly those pages.
# Then, with the print server stopped, Print asks first. Page images are kept in WORK_DIR.
set -euo pipefail
quizloom=$1 listener=$2 helper=$3 samples=$4 work=$5
rm -rf "$work"
mkdir -p "$work/folder"
cp "$samples/sample.tst" "$samples/cell.bmp" "$work/folder/"
test_file="$work/folder/sample.tst"

source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
source "$(dirname "$0")/cups_server.sh"
start_cups_server "$work" "$listener"
source "$(dirname "$0")/window_steps.sh"

# The text of a PDF without its empty lines.
pdf_lines() { pdftotext "$1" - | tr -d '\f' | sed '/^[[:space:]]*$/d'; }
pdf_pages() { pdfinfo "$1" | sed -n 's/^Pages: *//p'; }
# File, then the command of that mnemonic, from the list window of the test $shown.
shown=sample.tst
file_command() {
  wait_window "$shown"
  key alt+f
  sleep 0.3
  key "$1"
}

open_test() {  # open_test PATH: F3, the path, Enter
  key F3
  wait_window "^Open$"
  key ctrl+a
  type_text "$1"
  key Return
  wait_gone "^Open$"
  wait_window "$(basename "$1")"
}

cd "$work/folder"
start_program quizloom.log "$quizloom"
wait_window "No file active"
open_test "$test_file"
shot 1-opened

# 1. The whole test on the default printer: the dialog's Print button is its default.
file_command p
wait_window "^Print$"
shot 2-print-dialog
key Return
wait_print_job 1
sheet=$job_file
"$helper" lines "$test_file" >"$work/expected-all.txt"
pdf_lines "$sheet" >"$work/printed-all.txt"
diff "$work/expected-all.txt" "$work/printed-all.txt" || fail "the printed sheet's text"
[ "$(pdf_pages "$sheet")" = "$("$helper" pages "$test_file")" ] || fail "page count $(pdf_pages "$sheet")"
[ "$("$helper" pages "$test_file")" -ge 2 ] || fail "the sample should fill two pages"
"$helper" answers "$test_file" >"$work/answers.txt"
[ -s "$work/answers.txt" ] || fail "no answer to look for"
grep -q "^Answer: " "$work/printed-all.txt" && fail "an answer line was printed"
while read -r answer; do
  grep -qF -- "$answer" "$work/printed-all.txt" && fail "the answer '$answer' was printed"
done <"$work/answers.txt"
pdftoppm -png -r 60 -f 1 -l 1 "$sheet" "$work/sheet"

# 2. Page 2 only: Options, then from Print all down to the page range and its two boxes.
file_command p
wait_window "^Print$"
key alt+o
sleep 0.5
key Tab Tab Tab Tab
key Down
key Tab ctrl+a
type_text 2
key Tab ctrl+a
type_text 2
shot 3-page-two
key Return
wait_print_job 2
"$helper" lines "$test_file" 2 >"$work/expected-page2.txt"
pdf_lines "$job_file" >"$work/printed-page2.txt"
diff "$work/expected-page2.txt" "$work/printed-page2.txt" || fail "page 2's text"
[ "$(pdf_pages "$job_file")" = 1 ] || fail "page 2 printed $(pdf_pages "$job_file") pages"

# 3. The answer key: one answer line under each question.
file_command k
wait_window "^Print$"
key Return
wait_print_job 3
answer_lines=$(pdf_lines "$job_file" | grep -c "^Answer: ")
[ "$answer_lines" = "$(grep -c '^[0-9]*\. ' "$work/expected-all.txt")" ] ||
  fail "$answer_lines answer lines in the key"
while read -r answer; do
  pdf_lines "$job_file" | grep -qF -- "Answer: $answer" || fail "the key lacks '$answer'"
done <"$work/answers.txt"
pdftoppm -png -r 60 -f 1 -l 1 "$job_file" "$work/key"

# 4. A PDF file: the last printer of the list is Qt's "Print to File (PDF)".
file_command p
wait_window "^Print$"
key alt+n
key End
sleep 0.3
key alt+f                      # the output file's box, open now
key ctrl+a
type_text "$work/folder/sheet.pdf"
shot 4-to-file
key Return
wait_file "$work/folder/sheet.pdf" "no PDF file was written"
pdf_lines "$work/folder/sheet.pdf" | diff "$work/expected-all.txt" - || fail "the PDF file's text"
[ ! -e "$PRINT_JOBS/job-4" ] || fail "the PDF file also went to the printer"
ls -a "$work/folder" | grep -q "^\.quiz-print" && fail "a temporary file was left"

# 5. The queue refuses jobs: the teacher is told why, and nothing is printed.
cupsreject quizprinter
file_command p
wait_window "^Print$"
key Return
wait_window "Print Error"
shot 5-refused
grep -qF "'$test_file' not printed. The printer \"quizprinter\" is not accepting jobs." \
  "$work/quizloom.log" || fail "the refusal's message"
key Return
wait_gone "Print Error"
sleep 1
[ ! -e "$PRINT_JOBS/job-4" ] || fail "a refused job reached the printer"
cupsaccept quizprinter

# 6. Pictures on every question: every question is on the paper, inside the margins.
pictures="$work/folder/pictures.tst"
"$helper" pictures "$pictures" || fail "the pictures test could not be written"
wait_window "sample.tst"
open_test "$pictures"
shown=pictures.tst
file_command p
wait_window "^Print$"
key Return
wait_print_job 4
pdf_lines "$job_file" >"$work/printed-pictures.txt"
for n in $(seq 8); do grep -q "^$n\. " "$work/printed-pictures.txt" || fail "question $n left the paper"; done
[ "$(pdf_pages "$job_file")" = "$("$helper" pages "$pictures")" ] || fail "the pictures' page count"
# No word starts nearer than 10 mm (28.35 points) to the paper's left edge.
left=$(pdftotext -bbox "$job_file" - | sed -n 's/.*<word xMin="\([0-9.]*\)".*/\1/p' | sort -g | head -1)
awk -v x="$left" 'BEGIN { exit !(x >= 28.35) }' || fail "the left margin is ${left} points"
# The first line is "1. y y H2 H2" in cells of 6 points, 300 dpi: 25 pixels a cell. The y
# over a raised letter keeps all the ink of the y over nothing, and the lowered 2 over an X
# keeps all the ink of the lowered 2 over nothing.
read -r ax ay < <(pdftotext -bbox -f 1 -l 1 "$job_file" - |
  sed -n 's/.*<word xMin="\([0-9.]*\)" yMin="\([0-9.]*\)".*>1\.<.*/\1 \2/p' | head -1)
[ -n "$ax" ] || fail "the first line was not found"
pdftoppm -gray -r 300 -singlefile -f 1 -l 1 "$job_file" "$work/ink"
top=$(awk -v t="$ay" 'BEGIN { printf "%d", t * 300 / 72 - 10 }')
crop() { convert "$work/ink.pgm" -crop "25x110+$(awk -v a="$ax" -v c="$1" 'BEGIN { printf "%d", (a + 6 * c) * 300 / 72 }')+$top" +repage "$2"; }
keeps_ink() {  # keeps_ink COVERED BARE WHAT: every dark pixel of column BARE is dark in COVERED
  crop "$1" "$work/covered.png"
  crop "$2" "$work/bare.png"
  lost=$(convert "$work/covered.png" "$work/bare.png" -compose Darken -composite \
    "$work/covered.png" -compose Difference -composite -threshold 50% -format "%[fx:mean*w*h]" info:)
  [ "${lost%.*}" -le 2 ] || fail "$3: $lost pixels of ink lost"
}
keeps_ink 3 5 "the descender over a raised letter"
keeps_ink 11 8 "the foot of a lowered letter over the next line"
# In the cell of the raised 2 of "2. E = mc2", the framed picture's foot and the 2 are apart.
read -r ax ay < <(pdftotext -bbox -f 1 -l 1 "$job_file" - |
  sed -n 's/.*<word xMin="\([0-9.]*\)" yMin="\([0-9.]*\)".*>2\.<.*/\1 \2/p' | head -1)
top=$(awk -v t="$ay" 'BEGIN { printf "%d", (t - 20) * 300 / 72 }')
crop 9 "$work/raised.png"
strokes=$(convert "$work/raised.png" -scale '1x110!' -threshold 97% txt:- |
  awk 'NR > 1 { dark = /gray\(0\)|black/; if (dark && !was) n++; was = dark } END { print n + 0 }')
[ "$strokes" = 2 ] || fail "the raised 2 under the framed picture: $strokes strokes, not 2"

# 7. "2,4" in the Pages box: exactly pages 2 and 4, in order.
file_command p
wait_window "^Print$"
key alt+o
sleep 0.5
key Tab Tab Tab Tab
key Down Down                  # past "Pages from" to "Pages" and its box
key Tab ctrl+a
type_text "2,4"
shot 7-page-list
key Return
wait_print_job 5
[ "$(pdftotext "$job_file" - | tr -cd '\f' | wc -c)" = 2 ] || fail "the page list printed $(pdf_pages "$job_file") pages"
{ "$helper" lines "$pictures" 2; "$helper" lines "$pictures" 4; } >"$work/expected-list.txt"
pdf_lines "$job_file" | diff "$work/expected-list.txt" - || fail "the page list's text"

# 8. With the print server stopped, Print asks first whether a PDF file will do; No writes nothing.
kill "$CUPSD_PID" && wait "$CUPSD_PID" || true
touch "$work/before-no"
file_command p
wait_window "^No Printer$"
grep -qF "No printer can be reached (the print server does not answer). Print to a PDF file instead?" \
  "$work/quizloom.log" || fail "the no-printer question"
key alt+n
wait_gone "^No Printer$"
[ -z "$(find "$work" -newer "$work/before-no" -name '*.pdf')" ] || fail "a PDF was written after No"

wait_window "pictures.tst"
exit_with_alt_x
echo "quizloom printing end to end: passed"
