#pragma once
#include "core/records.h"

namespace samples {

// The picture the sample test shows beside its biology question, found by this bare name.
inline constexpr char kPictureName[] = "cell.bmp";

// The sample test: questions of several subjects with raised and lowered characters and one
// picture, each question wrapped as the editor wraps it.
void BuildSampleTest(core::TList<core::TQuestion>& questions);

// A question from a written form where '^' raises and '_' lowers the character after it and
// '|' is a hard break (Enter).
core::TLetters Formatted(const char* written);

}  // namespace samples
