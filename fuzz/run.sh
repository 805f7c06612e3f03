#!/usr/bin/env bash
# run.sh BUILD_DIR SECONDS: runs every fuzzer for SECONDS on a corpus seeded by our encoder.
# Any crash, leak, sanitizer report or hang fails.
set -euo pipefail
build=$1/fuzz
seconds=${2:-60}
corpus="$build/corpus"
mkdir -p "$corpus/test_file" "$build/findings"
"$build/make_seeds" "$corpus/test_file"
run() {  # run NAME CORPUS
  local name=$1 dir=$2
  echo "fuzzing $name for $seconds s"
  "$build/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$name-" "$dir" 2>"$build/$name.log" || {
    tail -40 "$build/$name.log"
    echo "fuzzer $name failed" >&2
    return 1
  }
  grep -E "stat::number_of_executed_units|Done" "$build/$name.log" | tail -2
}
run test_file_fuzz "$corpus/test_file"
for extra in "$build"/results_fuzz; do
  [ -x "$extra" ] || continue
  mkdir -p "$corpus/results"
  [ -x "$build/make_results_seeds" ] && "$build/make_results_seeds" "$corpus/results"
  run results_fuzz "$corpus/results"
done
