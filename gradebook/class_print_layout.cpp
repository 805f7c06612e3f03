#include "gradebook/class_print_layout.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "gradebook/csv_export.h"

namespace gradebook {

namespace {

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

bool HasMark(const core::TLetters& line, int32_t mark) {
  for (const core::TLetter& letter : line)
    if (letter.mark == mark) return true;
  return false;
}

// The value most of the attempts give a field; of values given equally often, the first met.
template <typename Field>
std::string MostCommon(const TClassData& data, Field field) {
  std::vector<std::pair<std::string, int>> counts;
  for (const core::TInformation* info : data.attempts) {
    const std::string value = field(*info);
    auto found = std::find_if(counts.begin(), counts.end(),
                              [&](const auto& count) { return count.first == value; });
    if (found == counts.end())
      counts.emplace_back(value, 1);
    else
      ++found->second;
  }
  const auto most = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
  return most == counts.end() ? std::string() : most->first;
}

// A line of letters that may run past the paper's width, broken after a blank where it can
// be; each further line starts under the text after the line's label ("Also accepted: ").
void AppendWrapped(std::vector<core::TLetters>& lines, core::TLetters line) {
  std::size_t indent = 0;
  while (indent < line.size() && line[indent].ch == ' ') ++indent;
  while (indent < line.size() && line[indent].ch != ':') ++indent;
  indent = std::min(indent + 2, kPrintWidth / 2);
  while (line.size() > kPrintWidth) {
    std::size_t cut = kPrintWidth;
    while (cut > indent && line[cut - 1].ch != ' ') --cut;
    if (cut == indent) cut = kPrintWidth;
    lines.emplace_back(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(cut));
    core::TLetters rest = PlainLetters(std::string(indent, ' '));
    rest.insert(rest.end(), line.begin() + static_cast<std::ptrdiff_t>(cut), line.end());
    line = std::move(rest);
  }
  lines.push_back(std::move(line));
}

std::string Date(int year, int month, int day) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

}  // namespace

int ChartCount(int questionCount) {
  return 1 + (std::max(questionCount, 0) + kQuestionsPerChart - 1) / kQuestionsPerChart;
}

int LineUnits(const core::TLetters& line) {
  return kUnitsPerCell + (HasMark(line, core::kSuperscript) ? kMarkShiftUnits + 1 : 0) +
         (HasMark(line, core::kSubscript) ? kMarkShiftUnits + 1 : 0);
}

int BaselineUnits(const core::TLetters& line) {
  return HasMark(line, core::kSuperscript) ? kMarkShiftUnits + 1 : 0;
}

int BlockUnits(const TPrintBlock& block) {
  if (block.chart >= 0) return kChartUnits;
  int units = 0;
  for (const core::TLetters& line : block.lines) units += LineUnits(line);
  return units;
}

std::vector<core::TLetters> PageHeader(const std::string& testName, const TClassData& data,
                                       const core::TLocalDate& printed) {
  const std::string title = "Class Results: " + testName;
  const std::string date = "Printed: " + Date(printed.year, printed.month, printed.day);
  const std::string gap(title.size() + date.size() < kPrintWidth
                            ? kPrintWidth - title.size() - date.size()
                            : 3,
                        ' ');
  const std::string course = MostCommon(
      data, [](const core::TInformation& i) { return FieldText(i.course, sizeof i.course); });
  const std::string period = MostCommon(
      data, [](const core::TInformation& i) { return FieldText(i.period, sizeof i.period); });
  const std::string instructor = MostCommon(data, [](const core::TInformation& i) {
    return FieldText(i.instructor, sizeof i.instructor);
  });
  return {PlainLetters(title + gap + date),
          PlainLetters("Course: " + course + "   Period: " + period +
                       "   Instructor: " + instructor),
          PlainLetters("")};
}

int HeaderUnits() { return 3 * kUnitsPerCell; }

std::vector<core::TLetters> PageFooter(int page, int pageCount) {
  const std::string text = "Page " + std::to_string(page) + " of " + std::to_string(pageCount);
  return {PlainLetters(""), PlainLetters(std::string((kPrintWidth - text.size()) / 2, ' ') + text)};
}

int FooterUnits() { return 2 * kUnitsPerCell; }

std::vector<TPrintBlock> LayOutClassPrint(const TClassData& data,
                                          const std::vector<std::size_t>& order,
                                          const TSummary& summary,
                                          const std::vector<TQuestionFigures>& figures) {
  std::vector<TPrintBlock> blocks;
  blocks.push_back(Lines(
      {PlainLetters("Attempts: " + std::to_string(summary.attempts) +
                    "   Mean: " + FormatPercent(summary.mean, 1) +
                    "   Median: " + FormatPercent(summary.median, 1) +
                    "   Standard deviation: " + FormatPercent(summary.standardDeviation, 1)),
       PlainLetters("Lowest: " + FormatPercent(summary.lowest, 0) +
                    "   Highest: " + FormatPercent(summary.highest, 0) +
                    "   Reliability (KR-20): " + FormatFigure(summary.reliability, 2)),
       PlainLetters("")}));

  blocks.push_back(Lines({PlainLetters("Students"),
                          PlainLetters(Column("Last name", 21) + Column("First name", 21) +
                                       Column("Course", 15) + Column("Period", 7) +
                                       Column("Date", 11) + "Correct  Percent")}));
  const int studentsHeader = static_cast<int>(blocks.size()) - 1;
  for (std::size_t a : order) {
    const core::TInformation* info = data.attempts[a];
    const TAttemptAnswers& score = data.answers[a];
    const std::optional<int32_t> value = Percent(score.correctCount, score.questionCount);
    blocks.push_back(Lines(
        {PlainLetters(Column(FieldText(info->lastName, sizeof info->lastName), 21) +
                      Column(FieldText(info->firstName, sizeof info->firstName), 21) +
                      Column(FieldText(info->course, sizeof info->course), 15) +
                      Column(FieldText(info->period, sizeof info->period), 7) +
                      Column(Date(info->year, info->month, info->day), 11) +
                      RightAligned(std::to_string(score.correctCount) + "/" +
                                       std::to_string(score.questionCount), 7) +
                      RightAligned(value ? std::to_string(*value) + " %" : "-", 7))},
        studentsHeader));
    if (data.Regraded(a))
      blocks.back().lines.push_back(PlainLetters("     regraded: " +
                                                 std::to_string(data.correctAsTaken[a]) + " to " +
                                                 std::to_string(score.correctCount)));
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
    if (const core::TLetters accepted = AcceptedLetters(data.accepted[q]); !accepted.empty()) {
      core::TLetters also = PlainLetters("     Also accepted: ");
      also.insert(also.end(), accepted.begin(), accepted.end());
      AppendWrapped(block.lines, also);
    }
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
      AppendWrapped(block.lines, wrong);
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
  for (int chart = 0; chart < ChartCount(data.questionCount); ++chart)
    blocks.push_back(TPrintBlock{{}, chart, -1});
  return blocks;
}

std::vector<std::vector<int>> PaginateClassPrint(const std::vector<TPrintBlock>& blocks) {
  const int room = kPageUnits - HeaderUnits() - FooterUnits();
  std::vector<std::vector<int>> pages(1);
  int used = 0;
  for (int b = 0; b < static_cast<int>(blocks.size()); ++b) {
    const int height = BlockUnits(blocks[b]);
    if (used > 0 && used + height > room) {
      pages.emplace_back();
      used = 0;
      // A block that starts its page has nothing to repeat above it when it is the header.
      if (const int header = blocks[b].tableHeader; header >= 0) {
        pages.back().push_back(header);
        used += BlockUnits(blocks[header]);
      }
    }
    pages.back().push_back(b);
    used += height;
  }
  return pages;
}

}  // namespace gradebook
