#!/usr/bin/env bash
# run.sh [quizloom|quizdesk]: sets up, builds and starts one of the programs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-quizloom}
case "$program" in
  quizloom) target=authoring/quizloom ;;
  quizdesk) target=taking/quizdesk ;;
  *) echo "usage: $0 [quizloom|quizdesk]" >&2; exit 2 ;;
esac
"$top/scripts/setup.sh"
"$top/scripts/build.sh" "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd "$top/samples"
exec "$top/build/$target"
