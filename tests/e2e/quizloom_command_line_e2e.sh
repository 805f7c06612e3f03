#!/usr/bin/env bash
# quizloom_command_line_e2e.sh QUIZLOOM SOURCE_DIR WORK_DIR
# `quizloom samples/sample.tst`, as a double-click on a test file runs it: after the splash the
# window's caption is the sample's full path and its folder is the current one. A missing file
# gets Open's message, and the program stays up without a test. The sample exported from the
# keyboard as Moodle XML is the fixture, picture and all, and the folder stays the current one.
set -euo pipefail
quizloom=$1 source=$2 work=$3
rm -rf "$work"
mkdir -p "$work"

source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
source "$(dirname "$0")/window_steps.sh"

# The sample, named relative to the folder the program starts in.
cd "$source"
start_program sample.log "$quizloom" samples/sample.tst
sample=$(cd "$source/samples" && pwd -P)/sample.tst
wait_window "sample.tst"
shot 1-sample
caption=$(xdotool getwindowname "$window_id")
[ "$caption" = "$sample" ] || fail "caption: '$caption'"
[ "$(readlink "/proc/$program_pid/cwd")" = "$(dirname "$sample")" ] || fail "current folder"
key alt+f
key e                          # Export...
wait_window "^Save As$"
key ctrl+a
type_text "$work/sample.xml"
key Return
wait_window "^Export$"
shot 1-exported
key Return
wait_gone "^Export$"
cmp "$work/sample.xml" "$source/tests/authoring/data/sample.xml" || fail "Moodle XML export"
[ "$(readlink "/proc/$program_pid/cwd")" = "$(dirname "$sample")" ] || fail "export moved the folder"
wait_window "sample.tst"
exit_with_alt_x

# A file that is not there: Open's warning over the empty window, which stays.
cd "$work"
start_program absent.log "$quizloom" "$work/absent.tst"
wait_window "^Warning$"
shot 2-warning
key Return
wait_gone "^Warning$"
wait_window "^No file active$"
shot 3-empty
exit_with_alt_x
echo "quizloom command line end to end: passed"
