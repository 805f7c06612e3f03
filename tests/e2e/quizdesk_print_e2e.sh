#!/usr/bin/env bash
# quizdesk_print_e2e.sh QUIZDESK HELPER PRINT_LISTENER WORK_DIR
# A teacher prints results for real: a print server of the test's own with a raw queue whose
# network printer is PRINT_LISTENER. Under Xvfb, with keys only, a student takes a test of two
# questions (one right) and stores it on C:, then reviews it (both right) and stores it on A:.
# Print Results from C: with Course and "Print Question and Answer" gives one job; from A:
# with "Print Answer only", Yes to "Print Again" after the next stick is put in, then No,
# gives two more. With the queue refusing jobs, the error is shown before "Print Again" and
# nothing is printed. The PDFs that reached the printer are read with pdftotext; the first
# page of the first job is kept as WORK_DIR/page.png. A raised letter first on a page keeps
# out of the margin.
set -euo pipefail
quizdesk=$1 helper=$2 listener=$3 work=$4
rm -rf "$work"
mkdir -p "$work/stick"

source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
source "$(dirname "$0")/cups_server.sh"
start_cups_server "$work" "$listener"
# A short folder (removed with the print server's), so that the printed path fits the line.
folder=$CUPS_STATE/desk
mkdir -p "$folder"
test_file=$folder/water.tst
"$helper" write "$test_file" 2
export QUIZDESK_DRIVE_A=$work/stick
unset QUIZDESK_DRIVE_B
source "$(dirname "$0")/quizdesk_steps.sh"

cd "$folder"
start_quizdesk "$quizdesk"
begin_test Ann Lee "$test_file" Biology
answer H2O yes; key Return      # right
answer water no; key Return     # wrong
store_on_c
wait_file "$folder/results.qzr" "no results on C:"

# The review: the second answer corrected, stored on A:.
wait_window "water.tst"
key alt+c
sleep 0.5
key Return
key End BackSpace BackSpace BackSpace BackSpace BackSpace
answer H2O yes; key Return
wait_window "Storage Drive"
key Down
shot 6-drive-a
key Return
wait_gone "Storage Drive"
wait_file "$work/stick/results.qzr" "no results on A:"

# Test, Print Results: the Storage Drive dialog is then open.
open_print_results() {
  wait_window "water.tst"
  key alt+t
  key p
  wait_window "Storage Drive"
}
choose_options() {  # the keys that tick the boxes, then OK
  wait_window "Print Options"
  [ $# -gt 0 ] && key "$@"
  shot options
  key Return
  wait_gone "Print Options"
}
print_in_dialog() {  # the real print dialog, on the default printer
  wait_window "^Print$"
  shot print-dialog
  key Return
  wait_gone "^Print$"
}
# expect_text JOB TEXT...: every text is in the job's pdftotext output.
expect_text() {
  local job=$1 text
  shift
  pdftotext -layout "$PRINT_JOBS/job-$job" "$work/job-$job.txt" || fail "job $job is not a PDF"
  for text in "$@"; do
    grep -qF -- "$text" "$work/job-$job.txt" || { cat "$work/job-$job.txt" >&2; fail "job $job lacks '$text'"; }
  done
}
today=$(date +%-m/%-d/%Y)

# From C:, once, with the course and the questions.
open_print_results
key Return
choose_options alt+c alt+q
print_in_dialog
wait_print_job 1 || fail "job 1"
sleep 1
xdotool search --onlyvisible --name "Print Again" >/dev/null 2>&1 && fail "asked to print again after C:"
expect_text 1 "Test results for Ann Lee" "Test taken: $test_file Date: $today" "Course: Biology" \
  "1. Question 1: what is water?" "2. Question 2: what is water?" "Student Answer: H2O" \
  "Student Answer: water" "Correct Answer: H2O" "Student was correct." "Student was incorrect." \
  "Questions correct: 1 out of 2" "Percent correct: 50 %"
pdftoppm -png -r 60 -f 1 -l 1 "$PRINT_JOBS/job-1" "$work/page"
mv "$work"/page-*1.png "$work/page.png"

# From A:, the answers only; Yes once with the next stick in (the first pass's results), No.
open_print_results
key Down
key Return
choose_options alt+a
print_in_dialog
wait_print_job 2 || fail "job 2"
expect_text 2 "Test results for Ann Lee" "1. Student Answer: H2O" "2. Student Answer: H2O" \
  "Questions correct: 2 out of 2" "Percent correct: 100 %"
grep -qF "Question 1: what" "$work/job-2.txt" && fail "job 2 printed the questions"
wait_window "Print Again"
shot 7-print-again
cp "$folder/results.qzr" "$work/stick/results.qzr"
key alt+y
print_in_dialog
wait_print_job 3 || fail "job 3"
expect_text 3 "Student Answer: water" "Questions correct: 1 out of 2" "Percent correct: 50 %"
wait_window "Print Again"
key alt+n
wait_gone "Print Again"
sleep 1
[ -e "$PRINT_JOBS/job-4" ] && fail "a fourth job"

# Page 2 begins with a raised 2: all ink keeps 10 mm (118 pixels at 300 dpi) from the edges.
"$helper" results "$folder/results.qzr"
open_print_results
key Return
choose_options alt+q
print_in_dialog
wait_print_job 4 || fail "job 4"
[ "$(pdftotext -f 2 -l 2 "$PRINT_JOBS/job-4" - | head -1)" = "8. E = mc2" ] || fail "page 2's first line"
pdftoppm -gray -r 300 -f 2 -l 2 -singlefile "$PRINT_JOBS/job-4" "$work/page2"
convert "$work/page2.pgm" -threshold 50% -format "%h %@\n" info: | awk -F'[ x+]' '$5 < 119 ||
  $5 + $3 > $1 - 119 { exit 1 }' || fail "ink in the margin of page 2"

# The queue refuses jobs: the error comes first, then "Print Again", and nothing is printed.
cupsreject quizprinter
open_print_results
key Down Return
choose_options alt+a
print_in_dialog
wait_window "Print Error"
grep -qF "'Results of Ann Lee (A:)' not printed. The printer \"quizprinter\" is not accepting jobs." \
  "$work/quizdesk.log" || fail "the refusal's message"
key Return
wait_window "Print Again"
key alt+n
wait_gone "Print Again"
[ -e "$PRINT_JOBS/job-5" ] && fail "a refused job reached the printer"

wait_window "water.tst"
exit_with_alt_x
echo "quizdesk printing end to end: passed"
