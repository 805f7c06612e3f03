#!/usr/bin/env bash
# Starts a PostgreSQL server of its own, set up as the help tells an administrator, and runs
# bench_gradebook_server, then bench_hand_in, against it. Usage: gradebook_server_bench.sh
# BUILD_DIR [BENCHMARK OPTIONS]
set -euo pipefail
build=$(cd "$1" && pwd) source=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
. "$source/tests/e2e/postgres_server.sh"
start_postgres_server "$work"
trap 'stop_postgres_server; rm -rf "$PG_STATE" "$work"' EXIT
set_up_gradebook "$source/resources/help/quizloom.html" "$source/gradebook/sql" classroom ateacher
"$build/bench/bench_gradebook_server" "${@:2}"
"$build/bench/bench_hand_in" "${@:2}"
