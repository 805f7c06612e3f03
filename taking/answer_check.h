#pragma once
#include <cstdint>

namespace quizdesk {

inline constexpr int kAnswerSize = 51;  // 50 characters and the terminator

// The answer check: the two texts byte for byte (case, blanks and all) and the marks at every
// one of the 51 positions, those past the end of the text included. Texts are read up to
// their terminator and never past kAnswerSize bytes.
bool AnswerIsCorrect(const char* given, const int32_t* givenMarks, const char* expected,
                     const int32_t* expectedMarks);

// Alt+Down or Alt+Up with the caret after the last character marks the position past the end,
// and that mark moves on with the terminator as the student types. Nobody can see it, so an
// answer is judged and stored without marks past its end.
void ClearMarksPastTheEnd(const char* text, int32_t* marks);

}  // namespace quizdesk
