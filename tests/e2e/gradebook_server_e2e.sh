#!/usr/bin/env bash
# The gradebook test against a PostgreSQL server of its own, set up with the help's own
# administrator commands: two teachers and a head of department.
# Usage: gradebook_server_e2e.sh GRADEBOOK_TEST HELP_PAGE SQL_DIR WORK_DIR
set -euo pipefail
test_program=$1 help=$2 sql=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
. "$(dirname "$0")/postgres_server.sh"
start_postgres_server "$work"
set_up_gradebook "$help" "$sql" classroom ateacher bteacher hhead
"$test_program" --gtest_filter='*/Server'
