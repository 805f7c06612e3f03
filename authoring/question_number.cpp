#include "authoring/question_number.h"

namespace quizloom {

namespace {
constexpr int64_t kLargest = int64_t(1) << 40;

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

int64_t ParseQuestionNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (value < kLargest) value = value * 10 + (text[i] - '0');
  if (value > kLargest) value = kLargest;
  return negative ? -value : value;
}

}  // namespace quizloom
