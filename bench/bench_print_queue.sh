#!/usr/bin/env bash
# bench_print_queue.sh BENCH_PRINT PRINT_LISTENER [BENCHMARK ARGS...]
# Runs bench_print with a print server of its own (the printing end-to-end tests' one, whose
# network printer is PRINT_LISTENER), so the test is also printed to a real CUPS queue.
set -euo pipefail
bench=$1 listener=$2
shift 2
work=$(mktemp -d "${TMPDIR:-/tmp}/quizbench.XXXXXX")
source "$(dirname "$0")/../tests/e2e/cups_server.sh"
start_cups_server "$work" "$listener"
# The listener keeps every job; the bench's jobs are many and large.
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$CUPS_STATE" "$work"' EXIT
QUIZ_PRINT_QUEUE=quizprinter "$bench" "$@"
