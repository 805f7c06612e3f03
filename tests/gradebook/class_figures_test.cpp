#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/mark_forms.h"
#include "gradebook/class_data.h"
#include "gradebook/csv_export.h"
#include "gradebook/statistics.h"
#include "tests/gradebook/class_fixture.h"

namespace gradebook {
namespace {

// Each row of a class is one attempt's verdicts, question 1 first: "110" is right, right,
// wrong. Scores are the rows' own counts, so the percents are those a results file gives.
std::vector<TAttemptAnswers> Class(const std::vector<std::string>& rows) {
  std::vector<TAttemptAnswers> attempts;
  for (const std::string& row : rows) {
    TAttemptAnswers attempt;
    attempt.questionCount = static_cast<int32_t>(row.size());
    for (char c : row) {
      attempt.right.push_back(c == '1');
      attempt.correctCount += c == '1';
      attempt.given.push_back(c == '1' ? core::TLetters{} : core::TLetters{{'x', 0}});
    }
    attempts.push_back(attempt);
  }
  return attempts;
}

std::string Joined(const std::vector<TQuestionFigures>& figures, bool discrimination) {
  std::string text;
  for (const TQuestionFigures& f : figures)
    text += (text.empty() ? "" : " ") +
            (discrimination ? FormatFigure(f.discrimination, 4) : FormatFigure(f.facility, 1));
  return text;
}

// Worked by hand: 4 attempts of 3 questions give totals 3, 2, 1, 0 (variance 1.25) and
// p = .75, .5, .25 (sum of pq .625), so KR-20 = 3/2 x (1 - .625 / 1.25) = .75; question 2's
// 0/1 (1,1,0,0) against the rest (2,1,1,0) correlates at 1/sqrt(2).
TEST(ClassFigures, HandComputedClasses) {
  struct Case {
    const char* name;
    int32_t questions;
    std::vector<std::string> rows;
    const char *mean, *median, *deviation, *lowest, *highest, *reliability, *facility,
        *discrimination;
  } cases[] = {
      {"four attempts, even median", 3, {"111", "110", "100", "000"}, "50.00", "50.00", "37.27",
       "0", "100", "0.7500", "75.0 50.0 25.0", "0.5222 0.7071 0.5222"},
      {"7, 13, 15 and 2 of 15: exact fractions, rounded when shown", 15,
       {"111111100000000", "111111111111100", "111111111111111", "110000000000000"}, "61.67",
       "66.67", "34.12", "13", "100", "0.9564",
       "100.0 100.0 75.0 75.0 75.0 75.0 75.0 50.0 50.0 50.0 50.0 50.0 50.0 25.0 25.0",
       "- - 0.7868 0.7868 0.7868 0.7868 0.7868 0.9126 0.9126 0.9126 0.9126 0.9126 0.9126 "
       "0.5955 0.5955"},
      {"odd median, items without spread", 2, {"11", "10", "10"}, "66.67", "50.00", "23.57",
       "50", "100", "0.0000", "100.0 33.3", "- -"},
      {"totals without spread", 2, {"10", "01"}, "50.00", "50.00", "0.00", "50", "50", "-",
       "50.0 50.0", "-1.0000 -1.0000"},
      {"one attempt", 3, {"101"}, "66.67", "66.67", "-", "67", "67", "-", "100.0 0.0 100.0",
       "- - -"},
      {"no attempts", 3, {}, "-", "-", "-", "-", "-", "-", "- - -", "- - -"},
      {"one question", 1, {"1", "0", "1"}, "66.67", "100.00", "47.14", "0", "100", "-", "66.7",
       "-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<TAttemptAnswers> attempts = Class(c.rows);
    const TSummary summary = Summarize(attempts, c.questions);
    EXPECT_EQ(summary.attempts, static_cast<int32_t>(c.rows.size()));
    EXPECT_EQ(FormatFigure(summary.mean, 2), c.mean);
    EXPECT_EQ(FormatFigure(summary.median, 2), c.median);
    EXPECT_EQ(FormatFigure(summary.standardDeviation, 2), c.deviation);
    EXPECT_EQ(FormatFigure(summary.lowest, 0), c.lowest);
    EXPECT_EQ(FormatFigure(summary.highest, 0), c.highest);
    EXPECT_EQ(FormatFigure(summary.reliability, 4), c.reliability);
    const std::vector<TQuestionFigures> figures = FigureQuestions(attempts, c.questions);
    EXPECT_EQ(Joined(figures, false), c.facility);
    EXPECT_EQ(Joined(figures, true), c.discrimination);
  }
}

// Wrong answers differing only in marks are two answers; an empty one is its own answer;
// ties keep the order first given; only three are kept. Percents 100 and 99 share a band.
TEST(ClassFigures, WrongAnswersWarningsAndBands) {
  const core::TLetters h2o = {{'H', 0}, {'2', 2}, {'O', 0}};
  const core::TLetters h2oRaised = {{'H', 0}, {'2', 1}, {'O', 0}};
  const core::TLetters other = {{'C', 0}}, last = {{'Z', 0}};
  std::vector<TAttemptAnswers> attempts;
  for (const core::TLetters& given : {h2o, h2oRaised, h2oRaised, core::TLetters{}, core::TLetters{},
                                      other, last, h2o})
    attempts.push_back({0, 1, {0}, {given}});
  const std::vector<TQuestionFigures> figures = FigureQuestions(attempts, 1);
  ASSERT_EQ(figures[0].wrongAnswers.size(), 3u);
  EXPECT_EQ(figures[0].wrongAnswers[0].answer, h2o);
  EXPECT_EQ(figures[0].wrongAnswers[1].answer, h2oRaised);
  EXPECT_EQ(figures[0].wrongAnswers[2].answer, core::TLetters{});
  EXPECT_EQ(AnswerToUtf8(figures[0].wrongAnswers[2].answer), "(empty)");
  for (const TWrongAnswer& wrong : figures[0].wrongAnswers) EXPECT_EQ(wrong.count, 2);
  EXPECT_NE(QuestionWarning(figures[0]).find("Fewer than 20%"), std::string::npos);
  EXPECT_EQ(QuestionWarning({1, 50.0, 0.2, {}}), "");
  EXPECT_NE(QuestionWarning({1, 95.1, 0.19, {}}).find("\n"), std::string::npos);
  EXPECT_EQ(QuestionWarning({1, 95.0, std::nullopt, {}}), "");
  // 2 of 21 is 9.5 %, shown as 10, yet in the first band; 49 of 50 and 50 of 50 share the last.
  const std::array<int32_t, kPercentBands> bands =
      PercentBands({{0, 10, {}, {}}, {2, 21, {}, {}}, {1, 10, {}, {}}, {11, 20, {}, {}},
                    {49, 50, {}, {}}, {50, 50, {}, {}}, {0, 0, {}, {}}});
  EXPECT_EQ(bands, (std::array<int32_t, kPercentBands>{2, 1, 0, 0, 0, 1, 0, 0, 0, 2}));
  // Rounded half up from the exact fraction, where Quizdesk's printout truncates.
  EXPECT_EQ(Percent(2, 3), 67);
  EXPECT_EQ(Percent(7, 15), 47);
  EXPECT_EQ(Percent(1, 8), 13);
  EXPECT_EQ(Percent(1, 0), std::nullopt);
  EXPECT_EQ(FormatFigure(6.25, 1) + " " + FormatFigure(29.0 / 200, 2) + " " +
                FormatFigure(-0.125, 2),
            "6.3 0.15 -0.13");
  EXPECT_EQ(FormatPercent(100.0 * 13 / 15, 1), "86.7 %");
}

// The export's bytes: a byte-order mark, RFC 4180 quoting, CR LF records, UTF-8, Unicode's sub-
// and superscripts where they exist and ^x/_x where they do not, wrap breaks as spaces, hard
// breaks kept; students in the order given; texts a spreadsheet would run as formulas quoted.
TEST(ClassFigures, ExportedBytes) {
  auto ada = Attempt("Lovelace", "Ada", 2, {"H2O", "4"});
  auto bea = Attempt("M\xFCller", "Bea", 0, {"", "5"});
  auto formula = Attempt("=1+1", "-5", 1, {"H2O", "-2+3"});
  auto name = Attempt("-Dee", "+A1", 0, {"", "@SUM(1)"});
  const TClassData data = GatherClass({ada.get(), bea.get(), formula.get(), name.get()}, 2);
  EXPECT_EQ(StudentsCsv(data, {3, 1, 2, 0}),
            "\xEF\xBB\xBFLast name,First name,Course,Period,Instructor,Date,Correct as taken,"
            "Correct,Questions,Percent,Q1,Q2\r\n"
            "-Dee,'+A1,\"Chemistry, \"\"B\"\"\",3,Smith,2026-03-07,0,0,2,0,0,0\r\n"
            "M\xC3\xBCller,Bea,\"Chemistry, \"\"B\"\"\",3,Smith,2026-03-07,0,0,2,0,0,0\r\n"
            "'=1+1,-5,\"Chemistry, \"\"B\"\"\",3,Smith,2026-03-07,1,1,2,50,1,0\r\n"
            "Lovelace,Ada,\"Chemistry, \"\"B\"\"\",3,Smith,2026-03-07,2,2,2,100,1,1\r\n");
  EXPECT_EQ(QuestionsCsv(data, FigureQuestions(data.answers, 2)),
            "\xEF\xBB\xBFNumber,Question,Answer,Also accepted,Facility,Discrimination,"
            "Wrong answer 1,Count 1,Wrong answer 2,Count 2,Wrong answer 3,Count 3\r\n"
            "1,\"Water is H\xE2\x82\x82O and\nice\",H\xE2\x82\x82O,,50.0,0.58,(empty),2,,,,\r\n"
            "2,x\xC2\xB2,4,,25.0,0.58,5,1,'-2+3,1,'@SUM(1),1\r\n");
  EXPECT_EQ(core::LettersToUtf8({{'q', 1}, {'q', 2}, {0x80, 0}, {0x81, 0}}),
            "^q_q\xE2\x82\xAC\xEF\xBF\xBD");
}

}  // namespace
}  // namespace gradebook
