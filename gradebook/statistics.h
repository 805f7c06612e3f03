#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/records.h"

namespace gradebook {

// The class figures of one test, computed from plain vectors. A figure that cannot be
// computed (too few attempts, no spread, fewer than two questions) is empty, never a flag.

// One attempt as the figures see it: its stored score and, for question number n at index
// n - 1, whether it was right and the answer given (letters with their marks).
struct TAttemptAnswers {
  int32_t correctCount = 0;
  int32_t questionCount = 0;
  std::vector<uint8_t> right;
  std::vector<core::TLetters> given;
};

// The summary's figures are percents computed from each attempt's exact fraction of right
// answers, rounded only when shown.
struct TSummary {
  int32_t attempts = 0;
  std::optional<double> mean;
  std::optional<double> median;
  std::optional<double> standardDeviation;
  std::optional<double> lowest;
  std::optional<double> highest;
  std::optional<double> reliability;  // KR-20
};

struct TWrongAnswer {
  core::TLetters answer;  // empty: the question was left unanswered
  int32_t count = 0;
};

struct TQuestionFigures {
  int32_t number = 0;
  std::optional<double> facility;        // percent right, to one decimal
  std::optional<double> discrimination;  // against the rest of each attempt's score
  std::vector<TWrongAnswer> wrongAnswers;  // the three most common, most common first
};

inline constexpr int kWrongAnswersShown = 3;
inline constexpr int kPercentBands = 10;

// correct x 100 / questions rounded half up (7 of 15 is 47), as a statistics report shows it;
// Quizdesk's own printout truncates. 0 questions: empty.
std::optional<int32_t> Percent(int32_t correctCount, int32_t questionCount);
// The same percent exact, for figures computed from it.
std::optional<double> ExactPercent(int32_t correctCount, int32_t questionCount);

std::optional<double> Mean(const std::vector<double>& values);
// An even count gives the mean of the middle two.
std::optional<double> Median(std::vector<double> values);
// The population's; empty below two values.
std::optional<double> Variance(const std::vector<double>& values);
std::optional<double> StandardDeviation(const std::vector<double>& values);
// Pearson's correlation; empty below two pairs or when either side has no spread.
std::optional<double> Correlation(const std::vector<double>& x, const std::vector<double>& y);
// k/(k-1) x (1 - sum of p x q / variance of the totals), over rows of 0/1 per question.
std::optional<double> KuderRichardson20(const std::vector<std::vector<uint8_t>>& right,
                                        int32_t questionCount);

TSummary Summarize(const std::vector<TAttemptAnswers>& attempts, int32_t questionCount);
std::vector<TQuestionFigures> FigureQuestions(const std::vector<TAttemptAnswers>& attempts,
                                              int32_t questionCount);
// Attempts counted in the bands 0-9, 10-19, ..., 90-100 % by their exact fraction, so 9.9 %
// lies in the first and 100 % in the last; attempts without questions are left out.
std::array<int32_t, kPercentBands> PercentBands(const std::vector<TAttemptAnswers>& attempts);

// Why a question deserves a look: too hard, too easy, or not telling the strong from the
// weak. Empty when it is fine.
std::string QuestionWarning(const TQuestionFigures& figures);

// A figure as shown and exported, rounded half up (away from zero below zero): "-" when it
// cannot be computed.
std::string FormatFigure(const std::optional<double>& value, int decimals);
// The same with " %" after a number.
std::string FormatPercent(const std::optional<double>& value, int decimals);

}  // namespace gradebook
