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
if [ -x "$build/text_decoding_fuzz" ]; then
  # Seeds: line ends of every kind, UTF-8 with and without a mark and with a stray byte,
  # Windows-1252, UTF-16 both ways, the lesson.
  text="$corpus/text"
  mkdir -p "$text"
  printf 'one\r\ntwo\rthree\nfour\r\n' >"$text/line_ends.txt"
  printf '\xef\xbb\xbfcaf\xc3\xa9 \xce\xb1\xe2\x82\xac\r\n' >"$text/utf8_mark.txt"
  printf 'caf\xc3\xa9 \xf0\x9f\x8c\x8d \xe2\x88\x9a\n' >"$text/utf8.txt"
  printf 'na\xefve \xff \x80 \x81\x00 caf\xe9\r\n' >"$text/cp1252.txt"
  printf 'Caf\xc3\xa9 \xc3\xbcber it\x92s\r\n' >"$text/utf8_stray.txt"
  printf '\xff\xfeH\0\xe9\0\r\0\n\0<\xd8\x0d\xdf\x00\xdc' >"$text/utf16le.txt"
  printf '\xfe\xff\0H\x20\xac\xd8<\xdf\x0d\0' >"$text/utf16be.txt"
  cp "$(dirname "$0")/../samples/lesson.txt" "$text/" 2>/dev/null || true
  run text_decoding_fuzz "$text"
fi
if [ -x "$build/exchange_fuzz" ]; then
  # Seeds: the sample test's exports and a few hand-written platform files.
  exchange="$corpus/exchange"
  mkdir -p "$exchange"
  cp "$(dirname "$0")"/../tests/authoring/data/sample.* "$exchange/" 2>/dev/null || true
  printf '// c\n$CATEGORY: a\n\n::T:: [html]<b>x</b><sub>2</sub> \\{ {=a\\*b#f =%%50%%c}\n\nQ {~a =b}\n' >"$exchange/mixed.gift"
  printf '<quiz><question type="shortanswer"><questiontext format="plain_text"><text>a</text></questiontext><answer fraction="100"><text>b</text></answer></question></quiz>' >"$exchange/short.xml"
  # Platform files as teachers have them, and the fault a long run found: an answer
  # weighted 494%, read as full marks (the fuzzer's input, base64).
  echo PJQBAFx7IHs9JVwqYCNmID0lNDk0JSUxMzIlY31Gczw+L3UqcYhv6QoK//// | base64 -d >"$exchange/weight_494.gift"
  printf '[html]Caf&eacute; &euro;5 &notit; &#150;<ul><li>a</li></ul><table><tr><td>b</td><td>c</td></tr></table><script>x</script><!-- c --> {=%%100%%%%1%%x =y}\n\nQ {One}\n\n{=W} is wet.\n\nM {a->b}\n\n[plain]a\\nb\nc {=%%494%%z}\n' >"$exchange/platform.gift"
  printf 'Stra\xdfe {=Stra\xdfe}\r\n\r\nLine\rtwo {=x}' >"$exchange/cp1252.gift"
  printf '\xff\xfe<\0q\0u\0i\0z\0>\0<\0/\0q\0u\0i\0z\0>\0' >"$exchange/utf16.xml"
  printf '<quiz><question type="shortanswer"><questiontext format="moodle_auto_format"><text><![CDATA[a\n<img src="@@PLUGINFILE@@/p/s.png">]]></text><file name="s.png" path="/p/">iVBORw0KGgo=</file></questiontext><usecase>0</usecase><image>o.png</image><image_base64>AA==</image_base64><answer fraction="100"><text>b</text></answer><answer fraction="100" format="html"><text>&lt;b&gt;c&amp;amp;&lt;/b&gt;</text></answer></question></quiz>' >"$exchange/pictures.xml"
  # Qt is built without frame pointers, so AddressSanitizer's fast unwinder records a new,
  # partly random stack for most of its allocations and keeps each one: that store grew by
  # 300 MB in half an hour. The allocating frame alone is exact and finds the same faults.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}malloc_context_size=1" run exchange_fuzz "$exchange"
fi
