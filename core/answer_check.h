#pragma once
#include <cstdint>

#include "core/records.h"

namespace core {

inline constexpr int kAnswerSize = 51;  // 50 characters and the terminator

// The answer check: the two texts byte for byte (case, blanks and all) and the marks at every
// one of the 51 positions, those past the end of the text included. Texts are read up to
// their terminator and never past kAnswerSize bytes. Quizdesk judges with it, and the
// gradebook judges a collected attempt again with it.
bool AnswerIsCorrect(const char* given, const int32_t* givenMarks, const char* expected,
                     const int32_t* expectedMarks);

// Alt+Down or Alt+Up with the caret after the last character marks the position past the end,
// and that mark moves on with the terminator as the student types. Nobody can see it, so an
// answer is judged and stored without marks past its end.
void ClearMarksPastTheEnd(const char* text, int32_t* marks);

// Whether an attempt says of itself what Quizdesk would have written: each verdict 1 or 0 and
// equal to its answer judged again, and the correct count the number of right verdicts. A
// results file edited by hand, or written by another program, fails it.
bool VerdictsAreConsistent(const TInformation& information);

}  // namespace core
