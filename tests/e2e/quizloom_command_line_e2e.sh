#!/usr/bin/env bash
# quizloom_command_line_e2e.sh QUIZLOOM SOURCE_DIR WORK_DIR
# `quizloom samples/sample.tst`, as a double-click on a test file runs it: after the splash the
# window's caption is the sample's full path, its folder is the current one and the list shows
# its questions. A missing file gets Open's message, and the program stays up without a test.
set -euo pipefail
quizloom=$1 source=$2 work=$3
rm -rf "$work"
mkdir -p "$work"

source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
quizloom_pid=""

wait_window() { wait_for_window "$1" "$quizloom_pid"; }
wait_end() {
  for _ in $(seq 50); do kill -0 "$quizloom_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$quizloom_pid" 2>/dev/null && fail "Alt+X did not end the program"
  quizloom_pid=""
}

# The sample, named relative to the folder the program starts in.
cd "$source"
"$quizloom" samples/sample.tst >"$work/sample.log" 2>&1 &
quizloom_pid=$!
sample=$(cd "$source/samples" && pwd -P)/sample.tst
wait_window "sample.tst"
shot 1-sample
[ "$(xdotool getwindowname "$window_id")" = "$sample" ] || fail "caption: '$(xdotool getwindowname "$window_id")'"
[ "$(readlink "/proc/$quizloom_pid/cwd")" = "$(dirname "$sample")" ] || fail "current folder"
xdotool key alt+x
wait_end

# A file that is not there: Open's warning over the empty window, which stays.
cd "$work"
"$quizloom" "$work/absent.tst" >"$work/absent.log" 2>&1 &
quizloom_pid=$!
wait_window "^Warning$"
shot 2-warning
xdotool key Return
wait_window "^No file active$"
shot 3-empty
xdotool key alt+x
wait_end
echo "quizloom command line end to end: passed"
