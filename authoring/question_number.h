#pragma once
#include <cstdint>
#include <string_view>

namespace quizloom {

// The question number typed into a number prompt, read as a decimal integer: leading white
// space and a sign are accepted, reading stops at the first character that is not a digit,
// and a text without leading digits is 0. "3x" is 3. A number too large for any test is
// held at a value no test reaches instead of overflowing.
int64_t ParseQuestionNumber(std::string_view text);

}  // namespace quizloom
