#!/usr/bin/env bash
# quizdesk_hand_in_e2e.sh QUIZDESK HELPER HELP_PAGE SQL_DIR WORK_DIR
# Handing in at school for real: a PostgreSQL of the test's own, set up with the help's
# administrator commands, a session opened for a teacher, and Quizdesk under Xvfb with a
# quizdesk.conf naming the server. A code nobody opened falls back to the drive (C:); after
# Check Answers, School with the session's code typed in small letters and with a space hands
# in the very bytes of that file; a second review hands in again without asking for the code.
set -euo pipefail
quizdesk=$1 helper=$2 help=$3 sql=$4 work=$5
rm -rf "$work" && mkdir -p "$work/folder"
test_file="$work/folder/water.tst"
results="$work/folder/results.qzr"
"$helper" write "$test_file" 2

source "$(dirname "$0")/postgres_server.sh"
start_postgres_server "$work"
set_up_gradebook "$help" "$sql" classroom ateacher
source "$(dirname "$0")/x_server.sh"
start_x_server "$work"
# Both servers end with the script, also when it fails.
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true
      stop_postgres_server; rm -rf "$PG_STATE"' EXIT
source "$(dirname "$0")/quizdesk_steps.sh"

as_postgres() { runuser -u postgres -- psql -qAt -v ON_ERROR_STOP=1 -d quizloom -c "$1"; }
code=$(as_postgres "INSERT INTO hand_in_sessions (collector, fingerprint, question_count, closes)
  VALUES ('ateacher', 'e2e', 2, now() + interval '1 hour') RETURNING code")
cat >"$work/quizdesk.conf" <<CONF
[HandIn]
host=$PGHOST
database=quizloom
user=quizdesk
password=classroom
CONF
chmod 644 "$work/quizdesk.conf"
export QUIZDESK_HAND_IN_SETTINGS=$work/quizdesk.conf
unset QUIZDESK_DRIVE_A QUIZDESK_DRIVE_B
# wait_hand_ins N FILE: waits until the server holds N hand-ins; the last one's bytes to FILE.
wait_hand_ins() {
  for _ in $(seq 100); do
    [ "$(as_postgres "SELECT count(*) FROM hand_ins")" = "$1" ] && break
    sleep 0.1
  done
  as_postgres "SELECT encode(results, 'base64') FROM hand_ins ORDER BY id DESC LIMIT 1" |
    base64 -d >"$2"
}
# choose_school: School, the fourth choice of the Storage Drive dialog.
choose_school() { wait_window "Storage Drive"; key Down Down Down; shot "$1"; key Return; }
handed_in() { wait_window "^Information\$"; shot "$1"; key Return; wait_gone "^Information\$"; }

cd "$work/folder"
start_quizdesk "$quizdesk"
begin_test Ann Lee "$test_file"
answer H2O yes; key Return
answer water no; key Return
choose_school 5-school
wait_window "^Hand In\$"; type_text zzzzzz; shot 6-code; key Return
wait_window "^Warning\$"; shot 7-fallback; key Return
store_on_c
wait_file "$results" "no results.qzr after the fallback"
[ "$(as_postgres "SELECT count(*) FROM hand_ins")" = 0 ] || fail "a refused code was kept"

# An unchanged review, handed in with the right code: the server gets the drive's bytes.
wait_window "water.tst"
key alt+c; key Return; key Return
choose_school 8-school-again
wait_window "^Hand In\$"
type_text "$(tr A-Z a-z <<<"${code:0:3} ${code:3}")"; key Return
handed_in 9-handed-in
wait_hand_ins 1 "$work/first.qzr"
cmp "$work/first.qzr" "$results" || fail "the bytes handed in are not the drive's"

# A review that corrects the second answer: School is chosen already, the code is not asked.
wait_window "water.tst"
key alt+c; key Return
key End BackSpace BackSpace BackSpace BackSpace BackSpace
answer H2O yes; key Return
wait_window "Storage Drive"; shot 10-school-chosen; key Return
handed_in 11-handed-in-again
wait_hand_ins 2 "$work/second.qzr"
"$helper" check "$work/second.qzr" "$test_file" Ann Lee H2O:2:1 H2O:2:1 ||
  fail "the second hand-in"

wait_window "water.tst"
exit_with_alt_x
echo "quizdesk hand-in end to end: passed"
