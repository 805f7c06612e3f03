#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/test_file_codec.h"

namespace {

bool SameQuestions(const core::TList<core::TQuestion>& a, const core::TList<core::TQuestion>& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 0; i < a.Count(); ++i)
    if (a[i].text != b[i].text || a[i].answer != b[i].answer || std::strcmp(a[i].picture, b[i].picture) != 0)
      return false;
  return true;
}

}  // namespace

// Any bytes: the decoder either refuses them or gives questions that encode to a file which
// decodes to the same questions; pulled through the window in small pieces it agrees.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  core::TList<core::TQuestion> questions;
  const core::DecodeResult whole = core::DecodeTestFile({data, size}, questions);

  const std::size_t step = size > 0 ? data[size - 1] % 13 + 1 : 1;
  std::size_t position = 0;
  const core::ByteSource trickle = [&](uint8_t* destination, std::size_t wanted) {
    const std::size_t n = std::min({wanted, step, size - position});
    if (n > 0) std::memcpy(destination, data + position, n);
    position += n;
    return n;
  };
  core::TList<core::TQuestion> pulled;
  if (core::DecodeTestFile(trickle, size, pulled) != whole) __builtin_trap();
  if (whole != core::DecodeResult::Ok) return 0;
  if (!SameQuestions(questions, pulled)) __builtin_trap();

  const std::vector<uint8_t> again = core::EncodeTestFile(questions);
  core::TList<core::TQuestion> second;
  if (core::DecodeTestFile(again, second) != core::DecodeResult::Ok) __builtin_trap();
  if (!SameQuestions(questions, second)) __builtin_trap();
  return 0;
}
