#include "taking/answer_check.h"

#include <cstring>
#include <string_view>

namespace quizdesk {

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

}  // namespace quizdesk
