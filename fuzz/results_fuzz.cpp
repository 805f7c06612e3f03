#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/answer_check.h"
#include "core/results_codec.h"
#include "taking/results_layout.h"

// Any bytes: the decoder either refuses them or gives an attempt whose stored form has the
// size it counts and decodes to the very same stored form; its printed lines are laid out
// with every option and paginated without reading past a field.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto information = core::DecodeResults({data, size});
  if (!information) return 0;
  const std::size_t expected = core::kResultsHeaderSize +
                               static_cast<std::size_t>(information->responses.Count()) *
                                   core::kResponseRecordSize;
  if (size != expected) __builtin_trap();
  const std::vector<uint8_t> again = core::EncodeResults(*information);
  if (again.size() != size) __builtin_trap();
  auto second = core::DecodeResults(again);
  if (!second || core::EncodeResults(*second) != again) __builtin_trap();
  core::VerdictsAreConsistent(*information);
  for (int32_t answerOnly : {0, 1}) {
    core::TThePrintout document;
    quizdesk::LayOutResults(*information, {1, 1, 1, 1 - answerOnly, answerOnly}, document);
    const int lines = static_cast<int>(document.lines.size());
    if (quizdesk::PaginateLines(lines).back().last != lines - 1) __builtin_trap();
  }
  return 0;
}
