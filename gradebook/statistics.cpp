#include "gradebook/statistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace gradebook {

namespace {

constexpr double kHardBelow = 20.0;
constexpr double kEasyAbove = 95.0;
constexpr double kWeakDiscrimination = 0.2;

bool Right(const TAttemptAnswers& attempt, int32_t index) {
  return index < static_cast<int32_t>(attempt.right.size()) && attempt.right[index] != 0;
}

// The answer an attempt gave to a question; nothing given reads as the empty answer.
const core::TLetters& Given(const TAttemptAnswers& attempt, int32_t index) {
  static const core::TLetters kEmpty;
  return index < static_cast<int32_t>(attempt.given.size()) ? attempt.given[index] : kEmpty;
}

int32_t NumberRight(const TAttemptAnswers& attempt, int32_t questionCount) {
  int32_t total = 0;
  for (int32_t i = 0; i < questionCount; ++i) total += Right(attempt, i) ? 1 : 0;
  return total;
}

}  // namespace

std::optional<int32_t> Percent(int32_t correctCount, int32_t questionCount) {
  if (questionCount <= 0) return std::nullopt;
  // Half up in whole numbers: floor((200 c + q) / 2q), floored below zero as well.
  const int64_t numerator = static_cast<int64_t>(correctCount) * 200 + questionCount;
  const int64_t denominator = static_cast<int64_t>(questionCount) * 2;
  const int64_t quotient = numerator / denominator;
  return static_cast<int32_t>(numerator % denominator < 0 ? quotient - 1 : quotient);
}

std::optional<double> ExactPercent(int32_t correctCount, int32_t questionCount) {
  if (questionCount <= 0) return std::nullopt;
  return static_cast<double>(correctCount) * 100.0 / static_cast<double>(questionCount);
}

std::optional<double> Mean(const std::vector<double>& values) {
  if (values.empty()) return std::nullopt;
  return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

std::optional<double> Median(std::vector<double> values) {
  if (values.empty()) return std::nullopt;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2.0;
}

std::optional<double> Variance(const std::vector<double>& values) {
  if (values.size() < 2) return std::nullopt;
  const double mean = *Mean(values);
  double sum = 0.0;
  for (double v : values) sum += (v - mean) * (v - mean);
  return sum / static_cast<double>(values.size());
}

std::optional<double> StandardDeviation(const std::vector<double>& values) {
  const std::optional<double> variance = Variance(values);
  if (!variance) return std::nullopt;
  return std::sqrt(*variance);
}

std::optional<double> Correlation(const std::vector<double>& x, const std::vector<double>& y) {
  if (x.size() != y.size() || x.size() < 2) return std::nullopt;
  const double meanX = *Mean(x), meanY = *Mean(y);
  double xy = 0.0, xx = 0.0, yy = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    xy += (x[i] - meanX) * (y[i] - meanY);
    xx += (x[i] - meanX) * (x[i] - meanX);
    yy += (y[i] - meanY) * (y[i] - meanY);
  }
  // Sums of squares of 0/1 columns are whole numbers or exact zeros, so no tolerance is needed.
  if (xx <= 0.0 || yy <= 0.0) return std::nullopt;
  return xy / std::sqrt(xx * yy);
}

std::optional<double> KuderRichardson20(const std::vector<std::vector<uint8_t>>& right,
                                        int32_t questionCount) {
  if (questionCount < 2 || right.size() < 2) return std::nullopt;
  const double n = static_cast<double>(right.size());
  std::vector<double> totals(right.size(), 0.0);
  double sumPQ = 0.0;
  for (int32_t q = 0; q < questionCount; ++q) {
    double rightCount = 0.0;
    for (std::size_t a = 0; a < right.size(); ++a) {
      const bool isRight = q < static_cast<int32_t>(right[a].size()) && right[a][q] != 0;
      rightCount += isRight ? 1.0 : 0.0;
      totals[a] += isRight ? 1.0 : 0.0;
    }
    const double p = rightCount / n;
    sumPQ += p * (1.0 - p);
  }
  const std::optional<double> variance = Variance(totals);
  if (!variance || *variance <= 0.0) return std::nullopt;
  const double k = questionCount;
  return k / (k - 1.0) * (1.0 - sumPQ / *variance);
}

TSummary Summarize(const std::vector<TAttemptAnswers>& attempts, int32_t questionCount) {
  TSummary summary;
  summary.attempts = static_cast<int32_t>(attempts.size());
  std::vector<double> percents;
  std::vector<std::vector<uint8_t>> right;
  for (const TAttemptAnswers& attempt : attempts) {
    if (std::optional<double> percent = ExactPercent(attempt.correctCount, attempt.questionCount)) {
      percents.push_back(*percent);
      summary.lowest = std::min(summary.lowest.value_or(*percent), *percent);
      summary.highest = std::max(summary.highest.value_or(*percent), *percent);
    }
    right.push_back(attempt.right);
  }
  summary.mean = Mean(percents);
  summary.median = Median(percents);
  summary.standardDeviation = StandardDeviation(percents);
  summary.reliability = KuderRichardson20(right, questionCount);
  return summary;
}

std::vector<TQuestionFigures> FigureQuestions(const std::vector<TAttemptAnswers>& attempts,
                                              int32_t questionCount) {
  std::vector<TQuestionFigures> figures(static_cast<std::size_t>(std::max(questionCount, 0)));
  std::vector<double> totals;
  for (const TAttemptAnswers& attempt : attempts)
    totals.push_back(NumberRight(attempt, questionCount));
  const double n = static_cast<double>(attempts.size());
  for (int32_t q = 0; q < questionCount; ++q) {
    TQuestionFigures& question = figures[q];
    question.number = q + 1;
    std::vector<double> item, rest;
    std::vector<TWrongAnswer> wrong;  // in the order first given
    for (std::size_t a = 0; a < attempts.size(); ++a) {
      const bool isRight = Right(attempts[a], q);
      item.push_back(isRight ? 1.0 : 0.0);
      rest.push_back(totals[a] - (isRight ? 1.0 : 0.0));
      if (isRight) continue;
      const core::TLetters& given = Given(attempts[a], q);
      auto same = std::find_if(wrong.begin(), wrong.end(),
                               [&](const TWrongAnswer& w) { return w.answer == given; });
      if (same == wrong.end())
        wrong.push_back({given, 1});
      else
        ++same->count;
    }
    if (!attempts.empty()) {
      const double rightCount = std::accumulate(item.begin(), item.end(), 0.0);
      question.facility = std::round(rightCount * 1000.0 / n) / 10.0;
    }
    if (questionCount >= 2) question.discrimination = Correlation(item, rest);
    std::stable_sort(wrong.begin(), wrong.end(), [](const TWrongAnswer& a, const TWrongAnswer& b) {
      return a.count > b.count;
    });
    if (wrong.size() > kWrongAnswersShown) wrong.resize(kWrongAnswersShown);
    question.wrongAnswers = std::move(wrong);
  }
  return figures;
}

std::array<int32_t, kPercentBands> PercentBands(const std::vector<TAttemptAnswers>& attempts) {
  std::array<int32_t, kPercentBands> bands{};
  for (const TAttemptAnswers& attempt : attempts) {
    if (attempt.questionCount <= 0) continue;
    const int64_t tenths = static_cast<int64_t>(attempt.correctCount) * kPercentBands /
                           attempt.questionCount;
    ++bands[static_cast<std::size_t>(std::clamp<int64_t>(tenths, 0, kPercentBands - 1))];
  }
  return bands;
}

std::string QuestionWarning(const TQuestionFigures& figures) {
  std::vector<std::string> reasons;
  if (figures.facility && *figures.facility < kHardBelow)
    reasons.push_back("Fewer than 20% of the class answered it right: it may be too hard or "
                      "its expected answer may be wrong.");
  if (figures.facility && *figures.facility > kEasyAbove)
    reasons.push_back("More than 95% of the class answered it right: it tells little about who "
                      "knows the subject.");
  if (figures.discrimination && *figures.discrimination < kWeakDiscrimination)
    reasons.push_back("Its discrimination is under 0.2: strong and weak students did about "
                      "equally well on it, or the weak ones better.");
  std::string text;
  for (const std::string& reason : reasons) text += (text.empty() ? "" : "\n") + reason;
  return text;
}

std::string FormatFigure(const std::optional<double>& value, int decimals) {
  if (!value || !std::isfinite(*value)) return "-";
  int64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  // The figures are fractions of small whole numbers. One that is exactly a half may be
  // stored a hair below it; a tolerance far finer than any two such fractions differ finds it.
  const double scaled = std::fabs(*value) * static_cast<double>(scale);
  const auto rounded =
      static_cast<int64_t>(std::floor(scaled + 0.5 + 1e-9 * std::max(1.0, scaled)));
  std::string text = (*value < 0 && rounded != 0 ? "-" : "") + std::to_string(rounded / scale);
  if (decimals > 0) {
    const std::string fraction = std::to_string(rounded % scale);
    text += "." + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') +
            fraction;
  }
  return text;
}

std::string FormatPercent(const std::optional<double>& value, int decimals) {
  return value ? FormatFigure(value, decimals) + " %" : "-";
}

}  // namespace gradebook
