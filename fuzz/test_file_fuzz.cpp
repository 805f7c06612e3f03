#include <cstddef>
#include <cstdint>

#include "core/test_file_codec.h"

// Any bytes: the decoder either refuses them or gives questions that encode to a file which
// decodes to the same questions.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  core::TList<core::TQuestion> questions;
  if (core::DecodeTestFile({data, size}, questions) != core::DecodeResult::Ok) return 0;
  const std::vector<uint8_t> again = core::EncodeTestFile(questions);
  core::TList<core::TQuestion> second;
  if (core::DecodeTestFile(again, second) != core::DecodeResult::Ok) __builtin_trap();
  if (second.Count() != questions.Count()) __builtin_trap();
  for (int i = 0; i < questions.Count(); ++i)
    if (second[i].text != questions[i].text || second[i].answer != questions[i].answer) __builtin_trap();
  return 0;
}
