#!/usr/bin/env bash
# quizloom_e2e.sh QUIZLOOM WORK_DIR
# A teacher writes a test of one question in the real window under Xvfb, driven by xdotool
# only: F4, a question with its 2 lowered by Alt+Down, Page Down, the answer, Enter, Escape,
# F2 and a path typed into the save dialog. The saved file is checked byte for byte; then F3
# opens it again and the caption must be its path. Screenshots are kept in WORK_DIR.
set -euo pipefail
quizloom=$1 work=$2
rm -rf "$work"
mkdir -p "$work/folder"
test_file="$work/folder/water.tst"

source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
source "$(dirname "$0")/window_steps.sh"

cd "$work/folder"
start_program quizloom.log "$quizloom"
wait_window "No file active"   # after the three seconds of the splash and the first paint
shot 1-start

key F4
wait_window "^Untitled$"
type_text "Water is H2O"
key Left Left
key alt+Down                   # lowers the 2, the character right of the caret
key Next                       # Page Down: to the answer
type_text "H2O"
key Left Left
key alt+Down
shot 2-editor
key Return                     # OK: the question is taken, the editor asks for number 2
sleep 0.3
key Escape                     # Cancel: back to the list
sleep 0.5
shot 3-list

key F2                         # an untitled test is saved through the Save As dialog
wait_window "^Save As$"
key ctrl+a
type_text "$test_file"
shot 4-save-as
key Return
wait_file "$test_file" "no file was saved"

# The magic field, one question without picture, its 12 letters with the 2 of H2O lowered,
# and the answer H2O with its 2 lowered too.
expected="$work/expected.tst"
{
  printf 'Quizloom95\0\0\0\0\0'
  printf '\x01\0\0\0'
  head -c 80 /dev/zero
  printf '\x0c\0\0\0'
  for c in W a t e r ' ' i s ' ' H; do printf '%s\0\0\0\0' "$c"; done
  printf '2\x02\0\0\0'
  printf 'O\0\0\0\0'
  printf '\x03\0\0\0'
  printf 'H\0\0\0\0'
  printf '2\x02\0\0\0'
  printf 'O\0\0\0\0'
} >"$expected"
cmp "$expected" "$test_file" || { od -A d -t x1 "$test_file" >&2; fail "saved bytes"; }

wait_window "water.tst"
[ "$(xdotool getwindowname "$window_id")" = "$test_file" ] || fail "caption after saving"
key F3                         # nothing is unsaved: the Open dialog comes at once
wait_window "^Open$"
key ctrl+a
type_text "$test_file"
key Return
wait_gone "^Open$"
wait_window "water.tst"
shot 5-reopened
caption=$(xdotool getwindowname "$window_id")
[ "$caption" = "$test_file" ] || fail "caption after opening: '$caption'"

exit_with_alt_x
echo "quizloom end to end: passed"
