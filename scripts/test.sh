#!/usr/bin/env bash
# test.sh: sets up, builds and runs every test: the suite, the suite again under AddressSanitizer
# and UndefinedBehaviorSanitizer, and the file-reader fuzzers.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"

echo "== build and test"
"$top/scripts/build.sh" "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd "$top/build" && ctest --output-on-failure -j2)

echo "== build and test with the sanitizers"
"$top/scripts/build.sh" "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUIZ_SANITIZE=ON -DQUIZ_BENCH=OFF
(cd "$top/build-sanitize" && ctest --output-on-failure -j2)

if [ -x "$top/fuzz/run.sh" ]; then
  echo "== fuzz the file readers"
  "$top/scripts/build.sh" "$top/build-fuzz" -DQUIZ_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
  "$top/fuzz/run.sh" "$top/build-fuzz" "${QUIZ_FUZZ_SECONDS:-60}"
fi
echo "== all tests passed"
