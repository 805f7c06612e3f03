#include "gradebook/class_print_layout.h"

#include <cstdio>
#include <sstream>

#include "gradebook/csv_export.h"

namespace gradebook {

namespace {

// The columns a line may fill on A4 or Letter paper in the printer's face.
constexpr std::size_t kPrintWidth = 86;

// Cut or padded to width, so the columns of a table line up in the fixed-pitch face.
std::string Column(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

std::string RightAligned(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

void Append(core::TLetters& line, std::string_view text) {
  for (char c : text) line.emplace_back(static_cast<unsigned char>(c), core::kNormal);
}

TPrintBlock Lines(std::initializer_list<core::TLetters> lines, int tableHeader = -1) {
  return TPrintBlock{std::vector<core::TLetters>(lines), -1, tableHeader};
}

}  // namespace

int BlockLines(const TPrintBlock& block) {
  return block.chart >= 0 ? kChartLines : static_cast<int>(block.lines.size());
}

std::vector<TPrintBlock> LayOutClassPrint(const std::string& testName, const TClassData& data,
                                          const TSummary& summary,
                                          const std::vector<TQuestionFigures>& figures) {
  std::vector<TPrintBlock> blocks;
  const auto percent = [](const std::optional<int32_t>& value) {
    return value ? std::to_string(*value) + " %" : std::string("-");
  };
  blocks.push_back(Lines(
      {PlainLetters("Class Results: " + testName), PlainLetters(""),
       PlainLetters("Attempts: " + std::to_string(summary.attempts) +
                    "   Mean: " + FormatFigure(summary.mean, 1) +
                    "   Median: " + FormatFigure(summary.median, 1) +
                    "   Standard deviation: " + FormatFigure(summary.standardDeviation, 1)),
       PlainLetters("Lowest: " + percent(summary.lowest) + "   Highest: " +
                    percent(summary.highest) +
                    "   Reliability (KR-20): " + FormatFigure(summary.reliability, 2)),
       PlainLetters("")}));

  blocks.push_back(Lines({PlainLetters("Students"),
                          PlainLetters(Column("Last name", 21) + Column("First name", 21) +
                                       Column("Course", 15) + Column("Period", 7) +
                                       Column("Date", 11) + "Correct    %")}));
  const int studentsHeader = static_cast<int>(blocks.size()) - 1;
  for (const core::TInformation* info : data.attempts) {
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", info->year, info->month, info->day);
    const std::optional<int32_t> value = Percent(info->correctCount, info->questionCount);
    blocks.push_back(Lines(
        {PlainLetters(Column(FieldText(info->lastName, sizeof info->lastName), 21) +
                      Column(FieldText(info->firstName, sizeof info->firstName), 21) +
                      Column(FieldText(info->course, sizeof info->course), 15) +
                      Column(FieldText(info->period, sizeof info->period), 7) + Column(date, 11) +
                      RightAligned(std::to_string(info->correctCount) + "/" +
                                       std::to_string(info->questionCount), 7) +
                      RightAligned(value ? std::to_string(*value) : "-", 5))},
        studentsHeader));
  }
  blocks.push_back(Lines({PlainLetters("")}));

  blocks.push_back(Lines({PlainLetters("Questions"),
                          PlainLetters("No.  Facility  Discrimination  Question")}));
  const int questionsHeader = static_cast<int>(blocks.size()) - 1;
  for (const TQuestionFigures& question : figures) {
    const std::size_t q = static_cast<std::size_t>(question.number - 1);
    TPrintBlock block{{}, -1, questionsHeader};
    core::TLetters first = PlainLetters(
        Column(std::to_string(question.number), 5) +
        Column(RightAligned(FormatFigure(question.facility, 1), 7) + " %", 10) +
        Column(RightAligned(FormatFigure(question.discrimination, 2), 8), 16));
    const core::TLetters text = FirstLine(data.questionTexts[q]);
    first.insert(first.end(), text.begin(), text.end());
    block.lines.push_back(first);
    core::TLetters answer = PlainLetters("     Answer: ");
    answer.insert(answer.end(), data.expectedAnswers[q].begin(), data.expectedAnswers[q].end());
    block.lines.push_back(answer);
    if (!question.wrongAnswers.empty()) {
      core::TLetters wrong = PlainLetters("     Wrong answers: ");
      for (std::size_t i = 0; i < question.wrongAnswers.size(); ++i) {
        if (i > 0) Append(wrong, "; ");
        const TWrongAnswer& w = question.wrongAnswers[i];
        if (w.answer.empty())
          Append(wrong, "(empty)");
        else
          wrong.insert(wrong.end(), w.answer.begin(), w.answer.end());
        Append(wrong, " (" + std::to_string(w.count) + ")");
      }
      block.lines.push_back(wrong);
    }
    // Each reason starts with "!" and is wrapped at word ends to stay on the paper.
    std::istringstream reasons(QuestionWarning(question));
    for (std::string reason; std::getline(reasons, reason);) {
      std::istringstream words(reason);
      std::string line = "     !";
      for (std::string word; words >> word;) {
        if (line.size() + 1 + word.size() > kPrintWidth) {
          block.lines.push_back(PlainLetters(line));
          line = "      ";
        }
        line += " " + word;
      }
      block.lines.push_back(PlainLetters(line));
    }
    blocks.push_back(std::move(block));
  }
  blocks.push_back(Lines({PlainLetters("")}));
  blocks.push_back(TPrintBlock{{}, kScoresChart, -1});
  blocks.push_back(TPrintBlock{{}, kFacilityChart, -1});
  return blocks;
}

std::vector<std::vector<int>> PaginateClassPrint(const std::vector<TPrintBlock>& blocks) {
  std::vector<std::vector<int>> pages(1);
  int used = 0;
  for (int b = 0; b < static_cast<int>(blocks.size()); ++b) {
    const int height = BlockLines(blocks[b]);
    if (used > 0 && used + height > kPrintLinesPerPage) {
      pages.emplace_back();
      used = 0;
      // A block that starts its page has nothing to repeat above it when it is the header.
      if (const int header = blocks[b].tableHeader; header >= 0) {
        pages.back().push_back(header);
        used += BlockLines(blocks[header]);
      }
    }
    pages.back().push_back(b);
    used += height;
  }
  return pages;
}

}  // namespace gradebook
