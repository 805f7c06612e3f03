#include "core/answer_check.h"

#include <cstring>
#include <string_view>

namespace core {

namespace {
std::string_view AnswerText(const char* text) {
  return {text, strnlen(text, kAnswerSize)};
}
}  // namespace

bool AnswerIsCorrect(const char* given, const int32_t* givenMarks, const char* expected,
                     const int32_t* expectedMarks) {
  if (AnswerText(given) != AnswerText(expected)) return false;
  for (int k = 0; k < kAnswerSize; ++k)
    if (givenMarks[k] != expectedMarks[k]) return false;
  return true;
}

void ClearMarksPastTheEnd(const char* text, int32_t* marks) {
  for (std::size_t k = AnswerText(text).size(); k < kAnswerSize; ++k) marks[k] = 0;
}

bool VerdictsAreConsistent(const TInformation& information) {
  int32_t right = 0;
  for (const auto& response : information.responses) {
    if (response->correct != 0 && response->correct != 1) return false;
    const bool correct = AnswerIsCorrect(response->given, response->givenMarks,
                                         response->expected, response->expectedMarks);
    if (correct != (response->correct == 1)) return false;
    right += response->correct;
  }
  return right == information.correctCount;
}

}  // namespace core
