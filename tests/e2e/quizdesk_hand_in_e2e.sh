#!/usr/bin/env bash
# quizdesk_hand_in_e2e.sh QUIZDESK HELPER HELP_PAGE SQL_DIR WORK_DIR: a code nobody opened
# falls back to C:; a review hands in that file's very bytes with the session's code typed in
# small letters; a second review hands in again without asking for the code.
set -euo pipefail
quizdesk=$1 helper=$2 help=$3 sql=$4 work=$5
rm -rf "$work" && mkdir -p "$work/folder"
test_file="$work/folder/water.tst" results="$work/folder/results.qzr"
"$helper" write "$test_file" 2
source "$(dirname "$0")/postgres_server.sh"
start_postgres_server "$work"
set_up_gradebook "$help" "$sql" classroom ateacher
source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true
      stop_postgres_server; rm -rf "$PG_STATE"' EXIT  # both servers, also on failure
source "$(dirname "$0")/quizdesk_steps.sh"
on_server() { runuser -u postgres -- psql -qAt -v ON_ERROR_STOP=1 -d quizloom -c "$1"; }
code=$(on_server "INSERT INTO hand_in_sessions (collector, fingerprint, question_count, closes)
  VALUES ('ateacher', 'e2e', 2, now() + interval '1 hour') RETURNING code")
printf '[HandIn]\nhost=%s\ndatabase=quizloom\nuser=quizdesk\npassword=classroom\n' "$PGHOST" \
  >"$work/quizdesk.conf" && chmod 644 "$work/quizdesk.conf"
export QUIZDESK_HAND_IN_SETTINGS=$work/quizdesk.conf && unset QUIZDESK_DRIVE_A QUIZDESK_DRIVE_B
# hand_ins N FILE: waits until the server holds N hand-ins, and puts the last one in FILE.
hand_ins() {
  local n; for _ in $(seq 100); do
    n=$(on_server "SELECT count(*) FROM hand_ins"); [ "$n" = "$1" ] && break; sleep 0.1; done
  [ "$n" = "$1" ] || fail "$n hand-ins on the server instead of $1"
  on_server "SELECT encode(results, 'base64') FROM hand_ins ORDER BY id DESC LIMIT 1" | base64 -d >"$2"
}
school() { wait_window "Storage Drive"; key Down Down Down; shot "$1"; key Return; }
code_prompt() { wait_window "^Hand In\$"; type_text "$1"; shot "$2"; key Return; }
handed_in() { wait_window "^Information\$"; shot "$1"; key Return; wait_gone "^Information\$"; }
cd "$work/folder"
start_quizdesk "$quizdesk"; begin_test Ann Lee "$test_file"
answer H2O yes; key Return
answer water no; key Return
school 5-school
code_prompt zzzzzz 6-code
wait_window "^Warning\$"; shot 7-fallback; key Return
store_on_c
wait_file "$results" "no results.qzr after the fallback"
wait_window "water.tst"; key alt+c; key Return; key Return
school 8-school-again
code_prompt "$(tr A-Z a-z <<<"${code:0:3} ${code:3}")" 9-code
handed_in 10-handed-in
hand_ins 1 "$work/first.qzr"
cmp "$work/first.qzr" "$results" || fail "the bytes handed in are not the drive's"
# The second answer corrected; School is chosen already and the code is not asked again.
wait_window "water.tst"; key alt+c; key Return
key End BackSpace BackSpace BackSpace BackSpace BackSpace
answer H2O yes; key Return
wait_window "Storage Drive"; shot 11-school-chosen; key Return
handed_in 12-handed-in-again
hand_ins 2 "$work/second.qzr"
"$helper" check "$work/second.qzr" "$test_file" Ann Lee H2O:2:1 H2O:2:1 || fail "second hand-in"
wait_window "water.tst"; exit_with_alt_x
echo "quizdesk hand-in end to end: passed"
