#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "authoring/text_decoding.h"

namespace {

bool Check(const quizloom::DecodedText& r, std::size_t limit) {
  if (r.text.size() > limit || (r.cut && r.text.size() != limit)) return false;
  const auto question = static_cast<int32_t>(std::count(r.text.begin(), r.text.end(), '?'));
  if (r.replaced < 0 || r.replaced > question) return false;
  // Nothing the window cannot hold: no CR, no NUL, none of the five empty code page bytes.
  for (char c : r.text) {
    const auto b = static_cast<uint8_t>(c);
    if (b == '\r' || b == 0 || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
      return false;
  }
  return true;
}

}  // namespace

// Any bytes: the text keeps within its limit and holds only what the window can; the bytes
// past the read limit never change it; a smaller limit gives the start of the same text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const quizloom::DecodedText whole = quizloom::DecodeTextFile(bytes);
  if (!Check(whole, quizloom::kImportLimit)) __builtin_trap();

  const int limit = size > 0 ? data[size - 1] % 40 + 1 : 1;
  const quizloom::DecodedText small = quizloom::DecodeTextFile(bytes, limit);
  if (!Check(small, static_cast<std::size_t>(limit))) __builtin_trap();
  const std::size_t read = std::min(size, quizloom::ReadLimitFor(limit));
  if (quizloom::DecodeTextFile(bytes.first(read), limit) != small) __builtin_trap();
  if (small.encoding == whole.encoding && whole.text.compare(0, small.text.size(), small.text) != 0)
    __builtin_trap();
  return 0;
}
