#include "taking/results_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/recording_dc.h"
#include "taking/text_print.h"
#include "class_information.h"

namespace quizdesk {
namespace {

std::string Text(const core::TLine& line) {
  std::string text;
  for (const core::TLetter& letter : line.letters) text += static_cast<char>(letter.ch);
  return text;
}

std::vector<std::string> Texts(const core::TThePrintout& document) {
  std::vector<std::string> texts;
  for (const core::TLine& line : document.lines) texts.push_back(Text(line));
  return texts;
}

// Ann Lee, 8 of 10, on 7 March 1997; question 4 of two lines whose answer is H2O with the 2
// lowered, answered "H2O" with a plain 2, and question 9 answered right.
core::TInformation Example() {
  core::TInformation information;
  FillAnnLee(information, "C:\\TESTS\\WATER.TST");
  int32_t plain[51] = {}, lowered[51] = {}, questionMarks[500] = {}, plainQuestion[500] = {};
  lowered[1] = core::kSubscript;
  questionMarks[25] = core::kSuperscript;  // the 2 of "x2" on the second line
  information.responses.Add(std::make_unique<core::TResponse>(
      4, "H2O", "H2O", "What is water?\r\nWhat is x2?", 0, plain, lowered, questionMarks));
  information.responses.Add(
      std::make_unique<core::TResponse>(9, "Paris", "Paris", "Capital?", 1, plain, plain, plainQuestion));
  return information;
}

core::TThePrintout LayOut(const core::TInformation& information, TPrintOptions options) {
  core::TThePrintout document;
  LayOutResults(information, options, document);
  return document;
}

// The whole document: the two header lines, the options' line, the blocks and the scores.
std::vector<std::string> Document(const std::string& options, std::vector<std::string> blocks = {}) {
  std::vector<std::string> lines = {"Test results for Ann Lee",
                                    "Test taken: C:\\TESTS\\WATER.TST Date: 3/7/1997", options};
  lines.insert(lines.end(), blocks.begin(), blocks.end());
  lines.insert(lines.end(), {"Questions correct: 8 out of 10", "Percent correct: 80 %"});
  return lines;
}

TEST(ResultsLayoutTest, LinesOfEachChoiceOfOptions) {
  const std::vector<std::string> questionAndAnswer = {
      "4. What is water?", "What is x2?", "", "Student Answer: H2O", "Correct Answer: H2O",
      "Student was incorrect.", "", "9. Capital?", "", "Student Answer: Paris",
      "Correct Answer: Paris", "Student was correct.", ""};
  const std::vector<std::string> answerOnly = {
      "4. Student Answer: H2O", "Correct Answer: H2O", "Student was incorrect.", "",
      "9. Student Answer: Paris", "Correct Answer: Paris", "Student was correct.", ""};
  const struct {
    TPrintOptions options;
    std::vector<std::string> lines;
  } cases[] = {
      {{0, 0, 0, 0, 0}, Document("")},
      {{1, 1, 1, 0, 0}, Document("Course: Biology   Period: 3   Instructor: Smith")},
      {{1, 0, 0, 0, 0}, Document("Course: Biology   ")},
      {{0, 1, 1, 0, 0}, Document("Period: 3   Instructor: Smith")},
      {{0, 0, 1, 0, 0}, Document("Instructor: Smith")},
      {{0, 0, 0, 1, 0}, Document("", questionAndAnswer)},
      {{0, 0, 0, 1, 1}, Document("", questionAndAnswer)},  // both ticked: the questions win
      {{0, 0, 0, 0, 1}, Document("", answerOnly)},
  };
  for (const auto& c : cases) EXPECT_EQ(Texts(LayOut(Example(), c.options)), c.lines);
}

TEST(ResultsLayoutTest, LettersOfQuestionsAndAnswersKeepTheirMarks) {
  // "4. What is water?", "What is x2?" with its 2 raised, the answer given plain, H2O expected.
  const core::TThePrintout document = LayOut(Example(), {0, 0, 0, 1, 0});
  std::vector<std::string> marks;
  for (std::size_t line : {3u, 4u, 6u, 7u}) {
    marks.emplace_back();
    for (const core::TLetter& letter : document.lines[line].letters)
      marks.back() += std::to_string(letter.mark);
  }
  EXPECT_EQ(marks, std::vector<std::string>({std::string(17, '0'), "00000000010",
                                             std::string(19, '0'), std::string(17, '0') + "20"}));
}

TEST(ResultsLayoutTest, PercentLineOfSoundAndDamagedCounts) {
  const std::string damaged =
      "Percent correct: cannot be computed, the counts in the results file are damaged";
  const struct {
    int32_t correct, count;
    std::string line;
  } cases[] = {
      {8, 10, "Percent correct: 80 %"},
      {2, 3, "Percent correct: 66 %"},
      {0, 1, "Percent correct: 0 %"},
      {INT32_MAX, INT32_MAX, "Percent correct: 100 %"},
      {INT32_MAX - 1, INT32_MAX, "Percent correct: 99 %"},
      {0, 0, damaged},
      {3, 0, damaged},
      {1, -4, damaged},
      {INT32_MIN, -1, damaged},
      {-1, 10, damaged},
      {11, 10, damaged},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PercentLine(c.correct, c.count), c.line) << c.correct << " of " << c.count;
}

TEST(ResultsLayoutTest, DamagedCountsStillPrintTheirLines) {
  core::TInformation information = Example();
  information.correctCount = 0;
  information.questionCount = 0;
  const auto texts = Texts(LayOut(information, {0, 0, 0, 0, 0}));
  EXPECT_EQ(std::vector<std::string>(texts.begin() + 3, texts.end()),
            std::vector<std::string>(
                {"Questions correct: 0 out of 0",
                 "Percent correct: cannot be computed, the counts in the results file are damaged"}));
}

TEST(ResultsLayoutTest, FortyNineLinesOnEveryPageButTheLast) {
  const struct {
    int lines;
    std::vector<std::pair<int, int>> pages;
  } cases[] = {
      {0, {{0, -1}}},
      {1, {{0, 0}}},
      {49, {{0, 48}}},
      {50, {{0, 48}, {49, 49}}},
      {60, {{0, 48}, {49, 59}}},
      {98, {{0, 48}, {49, 97}}},
      {99, {{0, 48}, {49, 97}, {98, 98}}},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<int, int>> pages;
    for (const core::TStart& page : PaginateLines(c.lines)) pages.emplace_back(page.first, page.last);
    EXPECT_EQ(pages, c.pages) << c.lines << " lines";
  }
}

core::TLine Line(const std::string& text, std::vector<int32_t> marks = {}) {
  core::TLine line;
  for (std::size_t i = 0; i < text.size(); ++i)
    line.letters.emplace_back(static_cast<unsigned char>(text[i]), i < marks.size() ? marks[i] : 0);
  return line;
}

TEST(ResultsLayoutTest, DrawsLettersAQuarterLineUpOrDown) {
  // The recording DC's "X" is 8 by 13: lineHeight 16, a quarter 4.
  core::TThePrintout document;
  document.lines = {Line("skipped"), Line("H2O", {0, 2, 0}), Line("x2", {0, 1}), Line("a#b", {0, 7, 0}),
                    Line("")};
  platform::TRecordingDC dc;
  EXPECT_EQ(DrawLines(dc, document, {1, 4}), 16);
  std::vector<std::string> drawn;
  for (const platform::DrawCall& call : dc.TextCalls())
    drawn.push_back(std::to_string(call.x) + "," + std::to_string(call.y) + " " + call.text);
  EXPECT_EQ(drawn, std::vector<std::string>({"5,9 H", "13,13 2", "21,9 O",  // lowered 2
                                             "5,25 x", "13,21 2",          // raised 2
                                             "5,41 a", "21,41 b"}));       // a mark of 7 is not drawn
}

TEST(ResultsLayoutTest, LongLinesAreNeitherCutNorWrapped) {
  core::TInformation information = Example();
  const std::string path(79, 'p');
  core::CopyField(information.testFile, 80, path);
  core::CopyField(information.firstName, 21, std::string(20, 'f'));
  const core::TThePrintout document = LayOut(information, {0, 0, 0, 0, 0});
  EXPECT_EQ(Text(document.lines[0]), "Test results for " + std::string(20, 'f') + " Lee");
  EXPECT_EQ(Text(document.lines[1]), "Test taken: " + path + " Date: 3/7/1997");
  // 106 letters of 8 dots run past the 640 dots of the page, each drawn where it falls.
  platform::TRecordingDC dc;
  DrawLines(dc, document, {1, 1});
  const auto calls = dc.TextCalls();
  ASSERT_EQ(calls.size(), 106u);
  EXPECT_EQ(calls.back().x, 5 + 105 * 8);
  EXPECT_EQ(calls.back().text, "7");
}

// On paper the date outlives a long test path: the path loses its middle to "...".
TEST(ResultsLayoutTest, LongTestPathIsShortenedInItsMiddleOnTheLinesRoom) {
  struct Case { std::string text; int width; std::string shortened; };
  for (const Case& c : std::vector<Case>{{"abcdefghij", 10, "abcdefghij"},
                                         {"abcdefghij", 9, "abc...hij"},
                                         {"abcdefghij", 8, "abc...ij"},
                                         {"abcdefghij", 1, "a...j"}})
    EXPECT_EQ(ShortenInMiddle(c.text, c.width), c.shortened) << c.width;
  core::TInformation information = Example();
  const std::string path = "C:\\" + std::string(68, 'p') + "\\END.TST";
  core::CopyField(information.testFile, 80, path);
  core::TThePrintout document;
  LayOutResults(information, {0, 0, 0, 0, 0}, document, 89);
  EXPECT_EQ(Text(document.lines[1]),
            "Test taken: C:\\" + std::string(27, 'p') + "..." + std::string(21, 'p') + "\\END.TST Date: 3/7/1997");
  EXPECT_EQ(Text(document.lines[1]).size(), 89u);
  // Without a line's room, as for the file, the path is whole.
  EXPECT_EQ(Texts(LayOut(information, {0, 0, 0, 0, 0}))[1], "Test taken: " + path + " Date: 3/7/1997");
}

}  // namespace
}  // namespace quizdesk
