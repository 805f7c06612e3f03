#!/usr/bin/env bash
# quizloom_print_e2e.sh QUIZLOOM PRINT_LISTENER HELPER SAMPLES_DIR WORK_DIR
# A teacher prints the sample test from the real window under Xvfb, by keys only, through
# Qt's real print dialog to the default printer of a print server of the test's own, whose
# network printer is a listener keeping each job (cups_server.sh). The PDFs that reach it are
# read back with pdftotext: every question's number and text in order, no answer, as many
# pages as the pagination gives; then page 2 only; then the answer key; then a PDF file
# chosen in the same dialog. Page images and screenshots are kept in WORK_DIR.
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
# File, then the command of that mnemonic, from the list window.
file_command() {
  wait_window "sample.tst"
  key alt+f
  sleep 0.3
  key "$1"
}

cd "$work/folder"
start_program quizloom.log "$quizloom"
wait_window "No file active"
key F3
wait_window "^Open$"
key ctrl+a
type_text "$test_file"
key Return
wait_gone "^Open$"
wait_window "sample.tst"
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

wait_window "sample.tst"
exit_with_alt_x
echo "quizloom printing end to end: passed"
