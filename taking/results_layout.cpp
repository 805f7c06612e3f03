#include "taking/results_layout.h"

#include <algorithm>
#include <cstring>


namespace quizdesk {

namespace {

// Builds the document line by line.
class Lines {
 public:
  explicit Lines(core::TThePrintout& document) : document_(document) {}

  Lines& Text(std::string_view text) {
    for (char c : text) current_.letters.emplace_back(static_cast<unsigned char>(c), core::kNormal);
    return *this;
  }
  Lines& Number(int32_t number) { return Text(std::to_string(number)); }
  // A stored field with a mark per character; only the characters before its first zero byte.
  Lines& Marked(const char* field, std::size_t size, const int32_t* marks) {
    const std::size_t length = strnlen(field, size);
    for (std::size_t i = 0; i < length; ++i)
      current_.letters.emplace_back(static_cast<unsigned char>(field[i]), marks[i]);
    return *this;
  }
  void End() {
    document_.lines.push_back(std::move(current_));
    current_ = {};
  }
  void Empty() { End(); }

 private:
  core::TThePrintout& document_;
  core::TLine current_;
};

std::string OptionsText(const core::TInformation& information, const TPrintOptions& options) {
  std::string text;
  if (options[kPrintCourse] == 1) text += std::string("Course: ") + information.course + "   ";
  if (options[kPrintPeriod] == 1) text += std::string("Period: ") + information.period + "   ";
  if (options[kPrintInstructor] == 1) text += std::string("Instructor: ") + information.instructor;
  // The three fields together fit the 99 characters the line was made for.
  return text.substr(0, 99);
}

const char* Verdict(const core::TResponse& response) {
  return response.correct != 0 ? "Student was correct." : "Student was incorrect.";
}

void AnswerLines(Lines& lines, const core::TResponse& response) {
  lines.Text("Student Answer: ")
      .Marked(response.given, sizeof response.given, response.givenMarks)
      .End();
  lines.Text("Correct Answer: ")
      .Marked(response.expected, sizeof response.expected, response.expectedMarks)
      .End();
  lines.Text(Verdict(response)).End();
  lines.Empty();
}

void QuestionAndAnswerBlock(Lines& lines, const core::TResponse& response) {
  lines.Number(response.number).Text(". ");
  const std::size_t length = strnlen(response.questionText, sizeof response.questionText);
  for (std::size_t i = 0; i < length; ++i) {
    const char c = response.questionText[i];
    if (c == '\r')
      lines.End();
    else if (c != '\n')
      lines.Marked(&response.questionText[i], 1, &response.questionMarks[i]);
  }
  lines.End();
  lines.Empty();
  AnswerLines(lines, response);
}

void AnswerOnlyBlock(Lines& lines, const core::TResponse& response) {
  lines.Number(response.number).Text(". ");
  AnswerLines(lines, response);
}

}  // namespace

std::string PercentLine(int32_t correctCount, int32_t questionCount) {
  if (questionCount <= 0 || correctCount < 0 || correctCount > questionCount)
    return "Percent correct: cannot be computed, the counts in the results file are damaged";
  // 64 bits: a hundred times a count near the int32 limit does not fit in 32.
  const int64_t percent = int64_t{correctCount} * 100 / questionCount;
  return "Percent correct: " + std::to_string(percent) + " %";
}

std::string ShortenInMiddle(const std::string& text, int width) {
  const std::string dots = "...";
  if (static_cast<int>(text.size()) <= width) return text;
  const std::size_t keep = static_cast<std::size_t>(std::max(width - static_cast<int>(dots.size()), 2));
  const std::size_t head = (keep + 1) / 2;
  return text.substr(0, head) + dots + text.substr(text.size() - (keep - head));
}

void LayOutResults(const core::TInformation& information, const TPrintOptions& options,
                   core::TThePrintout& document, int columns) {
  Lines lines(document);
  lines.Text("Test results for ").Text(information.firstName).Text(" ").Text(information.lastName).End();
  const std::string date = " Date: " + std::to_string(information.month) + "/" +
                           std::to_string(information.day) + "/" + std::to_string(information.year);
  const std::string taken = "Test taken: ";
  std::string path(information.testFile, strnlen(information.testFile, sizeof information.testFile));
  if (columns > 0)
    path = ShortenInMiddle(path, columns - static_cast<int>(taken.size() + date.size()));
  lines.Text(taken).Text(path).Text(date).End();
  lines.Text(OptionsText(information, options)).End();
  if (options[kPrintQuestionAndAnswer] == 1) {
    for (const auto& response : information.responses) QuestionAndAnswerBlock(lines, *response);
  } else if (options[kPrintAnswerOnly] == 1) {
    for (const auto& response : information.responses) AnswerOnlyBlock(lines, *response);
  }
  lines.Text("Questions correct: ").Number(information.correctCount).Text(" out of ");
  lines.Number(information.questionCount).End();
  lines.Text(PercentLine(information.correctCount, information.questionCount)).End();
}

std::string ResultsName(const core::TInformation& information, const std::string& drivePath) {
  const auto field = [](const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); };
  const std::string drive = drivePath.size() > 1 && drivePath[1] == ':' ? drivePath.substr(0, 2) : "C:";
  return "Results of " + field(information.firstName, sizeof information.firstName) + " " +
         field(information.lastName, sizeof information.lastName) + " (" + drive + ")";
}

std::vector<core::TStart> PaginateLines(int lineCount, int linesPerPage) {
  const int perPage = std::max(1, linesPerPage - 1);
  std::vector<core::TStart> pages;
  pages.reserve(static_cast<std::size_t>(lineCount / perPage + 1));
  int first = 0;
  for (; lineCount - first > perPage; first += perPage) pages.emplace_back(first, first + perPage - 1);
  pages.emplace_back(first, lineCount - 1);
  return pages;
}

}  // namespace quizdesk
