#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"
#include "gradebook/attempt_key.h"
#include "gradebook/regrading.h"
#include "gradebook/statistics.h"

namespace gradebook {

// One test's attempts laid out for the figures, the tables, the export and the printout.
// Question number n is at index n - 1; its text and expected answer come from the first
// attempt that answered it (attempts of one test share them). Each attempt's score is counted
// from its verdicts, regraded with the teacher's accepted answers, so every figure, table and
// chart rests on the same count.
struct TClassData {
  int32_t questionCount = 0;
  std::vector<const core::TInformation*> attempts;
  std::vector<TAttemptAnswers> answers;  // one per attempt, same order, regraded
  // Each attempt's verdicts and count as the student's program gave them, same order.
  std::vector<std::vector<uint8_t>> rightAsTaken;
  std::vector<int32_t> correctAsTaken;
  // What each question accepts besides its expected answer, question n at index n - 1.
  std::vector<TAcceptedAnswers> accepted;
  std::vector<core::TLetters> questionTexts;
  std::vector<core::TLetters> expectedAnswers;
  // Who collected each attempt, same order, when a head of department reads other teachers'
  // attempts; empty when they are all the reader's own.
  std::vector<std::string> collectors;

  bool Regraded(std::size_t attempt) const {
    return answers[attempt].correctCount != correctAsTaken[attempt];
  }
};

// The letters of a fixed field with its marks, up to the end byte.
core::TLetters FieldLetters(const char* text, std::size_t size, const int32_t* marks);

// Letters of plain text, all unmarked.
core::TLetters PlainLetters(std::string_view text);
// The letters before the first line break.
core::TLetters FirstLine(const core::TLetters& text);

// Responses numbered outside 1 to questionCount are left out. Nothing is accepted yet: the
// class stands as taken until Regrade.
TClassData GatherClass(const std::vector<const core::TInformation*>& attempts,
                       int32_t questionCount);

}  // namespace gradebook
