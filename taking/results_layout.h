#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"

namespace quizdesk {

// The print options, in the order of the Print Options dialog's check boxes.
enum PrintOption : int {
  kPrintCourse,
  kPrintPeriod,
  kPrintInstructor,
  kPrintQuestionAndAnswer,
  kPrintAnswerOnly,
  kPrintOptionCount
};
using TPrintOptions = std::array<int32_t, kPrintOptionCount>;

// The page counter's limit: a page holds one line less.
inline constexpr int kLinesPerPage = 50;

// Appends the printed lines of the results: who took which test and when, the options line,
// a block per response as the options ask, and the two score lines. Text of our own has mark
// 0; letters of questions and answers keep theirs. Lines are never wrapped; when columns is
// set (the printed line's room), a test path too long for its line is shortened in its middle
// with "...", so that the date stays on the paper.
void LayOutResults(const core::TInformation& information, const TPrintOptions& options,
                   core::TThePrintout& document, int columns = 0);

// text shortened to width characters by putting "..." for its middle; as it is when it fits.
std::string ShortenInMiddle(const std::string& text, int width);

// "Percent correct: 80 %", truncated; for counts no file of ours holds (no questions, a
// negative count, more correct than asked) a line that says the counts are damaged.
std::string PercentLine(int32_t correctCount, int32_t questionCount);

// What the printer's messages call the printout of these results from the drive path
// ("results.qzr" is C:), so a teacher printing stick after stick knows whose failed:
// "Results of Ada Lovelace (A:)".
std::string ResultsName(const core::TInformation& information, const std::string& drivePath);

// The pages of lineCount lines, linesPerPage - 1 lines on each but the last, first and last
// index inclusive. No lines still make one empty page (last = first - 1).
std::vector<core::TStart> PaginateLines(int lineCount, int linesPerPage = kLinesPerPage);

}  // namespace quizdesk
