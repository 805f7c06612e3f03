#!/usr/bin/env bash
# import_e2e.sh QUIZLOOM LESSON_TXT WORK_DIR
# A teacher imports a question from the sample text file in the real window under Xvfb,
# driven by xdotool only: Import, the file's path typed into the Open dialog, three lines
# selected with Shift+Down, Select, the answer, Enter, Done, then Save As. The saved file is
# checked byte for byte against the three lines joined and wrapped at 75 columns.
# Then the sample test with its picture is opened from a folder of its own and the text file
# imported from the samples' folder: after Done the picture is still shown.
set -euo pipefail
quizloom=$1 lesson=$2 work=$3
rm -rf "$work"
mkdir -p "$work/folder" "$work/pictures"
test_file="$work/folder/cycle.tst"

source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
source "$(dirname "$0")/window_steps.sh"

cd "$work/folder"
start_program quizloom.log "$quizloom"
wait_window "No file active"   # after the three seconds of the splash and the first paint

key alt+i                      # Import: the test is empty, so the Open dialog comes at once
choose_file Open "$lesson"
wait_window "No file active"   # the caption stays the list's while the test is empty
sleep 0.5
key Down Down                  # past the title and the empty line, to the lesson's first line
key shift+Down shift+Down shift+Down
shot 1-selected
key alt+s                      # Select
wait_window "^Answer$"
type_text "the water cycle"
shot 2-answer
key Return
wait_gone "^Answer$"
wait_window "No file active"
shot 3-passage-taken
key alt+d                      # Done
wait_window "^Untitled$"       # the list shows the test with its new question
shot 4-list
key alt+f
key a                          # Save As
choose_file "Save As" "$test_file"
wait_file "$test_file" "no file was saved"

# One question without picture: the three lines joined by spaces where their line ends
# were, broken again at the last space before column 76, each break a CR LF; mark 0 on
# every letter; then the answer.
question=$'Water on the Earth is always on the move. It is never made new, nor does it\r\n'
question+=$'ever get used up: the same water goes round and round between the oceans,\r\n'
question+='the air and the land. This endless journey of '
answer="the water cycle"
int32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))\\0\\0"; }
letters() {
  local text=$1 i
  int32 "${#text}"
  for ((i = 0; i < ${#text}; i++)); do printf '%s\0\0\0\0' "${text:i:1}"; done
}
expected="$work/expected.tst"
{
  printf 'Quizloom95\0\0\0\0\0'
  int32 1
  head -c 80 /dev/zero
  letters "$question"
  letters "$answer"
} >"$expected"
[ "$(stat -c %s "$expected")" -eq $((15 + 4 + 80 + 4 + 198 * 5 + 4 + 15 * 5)) ] || fail "expectation"
cmp "$expected" "$test_file" || { od -A d -c "$test_file" | head -40 >&2; fail "saved bytes"; }

wait_window "cycle.tst"
[ "$(xdotool getwindowname "$window_id")" = "$test_file" ] || fail "caption after saving"
exit_with_alt_x

# The list's left part, down to the picture of the sample's eighth question; the scroll bar
# is left out, as the imported question makes the list longer.
list_shot() { import -window "$window_id" -crop 600x960+0+0 +repage "$work/$1.png"; }
cp "$(dirname "$lesson")"/sample.tst "$(dirname "$lesson")"/cell.bmp "$work/pictures/"
cd "$work"
start_program pictures.log "$quizloom"
wait_window "No file active"
xdotool windowsize --sync "$window_id" 1000 1000
key F3
choose_file Open "$work/pictures/sample.tst"
wait_window "sample.tst"
list_shot 5-opened
key alt+i
wait_window "^Import File$"
key y                          # Yes: add to the current file
choose_file Open "$lesson"
wait_window "sample.tst"
key alt+d                      # Done, with no question selected
wait_window "sample.tst"
list_shot 6-done
differing=$(compare -metric AE "$work/5-opened.png" "$work/6-done.png" null: 2>&1 || true)
[ "$differing" = 0 ] || fail "the list looks different after the import ($differing pixels): no picture?"
key alt+x
wait_window "^File has changed$"
key n                          # No: leave the sample as it was
echo "import end to end: passed"
