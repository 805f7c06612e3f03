#include <gtest/gtest.h>

#include "core/answer_check.h"
#include "core/results_codec.h"
#include "gradebook/class_data.h"
#include "gradebook/regrading.h"
#include "tests/gradebook/gradebook_fixture.h"

namespace gradebook {
namespace {

class AcceptingTest : public GradebookTest {};

INSTANTIATE_TEST_SUITE_P(Engines, AcceptingTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Server" : "ThisComputer"; });

// Letters written with "_" lowering and "^" raising the letter after it: "H_2O".
core::TLetters Letters(const char* text) {
  core::TLetters letters;
  for (int32_t mark = core::kNormal; *text; ++text) {
    if (*text == '_' || *text == '^') {
      mark = *text == '_' ? core::kSubscript : core::kSuperscript;
      continue;
    }
    letters.emplace_back(static_cast<unsigned char>(*text), mark);
    mark = core::kNormal;
  }
  return letters;
}

// Five students' answers to a test of two questions, "H_2O" and "water", judged as Quizdesk
// judges them.
const char* const kExpected[] = {"H_2O", "water"};
const char* const kGiven[][2] = {
    {"H_2O", "water"}, {"H2O", "Water"}, {"h_2o", "WATER"}, {"H_2O", "Water"}, {"H^2O", "wat"}};

std::unique_ptr<core::TInformation> Student(int student) {
  auto info = std::make_unique<core::TInformation>();
  core::CopyField(info->firstName, sizeof info->firstName, "S" + std::to_string(student));
  core::CopyField(info->lastName, sizeof info->lastName, "Class");
  core::CopyField(info->testFile, sizeof info->testFile, "C:\\TESTS\\WATER.TST");
  info->year = 2026, info->month = 3, info->day = 7;
  info->questionCount = 2;
  for (int n = 0; n < 2; ++n) {
    int32_t questionMarks[500] = {}, givenMarks[51] = {}, expectedMarks[51] = {};
    std::string given, expected;
    for (const core::TLetter& l : Letters(kGiven[student][n]))
      givenMarks[given.size()] = l.mark, given += static_cast<char>(l.ch);
    for (const core::TLetter& l : Letters(kExpected[n]))
      expectedMarks[expected.size()] = l.mark, expected += static_cast<char>(l.ch);
    const bool right = core::AnswerIsCorrect(given.c_str(), givenMarks, expected.c_str(),
                                             expectedMarks);
    info->correctCount += right;
    info->responses.Add(std::make_unique<core::TResponse>(n + 1, given.c_str(), expected.c_str(),
                                                          "Question", right, givenMarks,
                                                          expectedMarks, questionMarks));
  }
  return info;
}

// The class as the gradebook shows it: read and regraded with its acceptances.
TClassData Shown(TStore& store, int64_t test, std::vector<TStore::TAttempt>& attempts) {
  attempts = store.Attempts(test).value();
  std::vector<const core::TInformation*> read;
  for (const TStore::TAttempt& attempt : attempts) read.push_back(attempt.information.get());
  TClassData data = GatherClass(read, 2);
  Regrade(data, store.Acceptances(test).value());
  return data;
}

// Each step accepts or stops accepting for the class of the step before; rows are the
// verdicts by hand ("01": question 1 wrong, 2 right). The regraded counts, mean, KR-20 and
// facility must be those recomputed from the rows, while the stored attempts stay as taken.
TEST_P(AcceptingTest, EveryFigureFollowsWhatIsAccepted) {
  auto store = OpenStore();
  for (int s = 0; s < 5; ++s) ASSERT_EQ(store->Collect(*Student(s), {}), TStore::Outcome::Added);
  const int64_t test = store->Tests().value().at(0).id;
  using enum TAcceptKind;
  const struct {
    int number;
    TAcceptKind kind;
    const char* answer;
    bool accept;
    const char* refusal;
    std::vector<std::string> rows;
  } steps[] = {
      {2, ThisAnswer, "Water", true, "", {"11", "01", "00", "11", "00"}},
      {2, AnyLetterCase, "", true, "", {"11", "01", "01", "11", "00"}},
      {1, WithoutMarks, "", true, "", {"11", "11", "01", "11", "10"}},
      {1, AnyLetterCase, "", true, "", {"11", "11", "11", "11", "10"}},
      // Still right by its letter case.
      {2, ThisAnswer, "Water", false, "", {"11", "11", "11", "11", "10"}},
      {2, AnyLetterCase, "", false, "", {"11", "10", "10", "10", "10"}},
      {2, ThisAnswer, "", true,
       "An empty answer cannot be accepted: the student gave no answer for question 2.",
       {"11", "10", "10", "10", "10"}},
      {1, ThisAnswer, "H_2O", true,
       "'H_2O' is the expected answer of question 1 itself: it is right already.",
       {"11", "10", "10", "10", "10"}},
      {1, WithoutMarks, "", true, "Answers without marks are accepted already for question 1.",
       {"11", "10", "10", "10", "10"}},
      {2, ThisAnswer, "wat", false, "'wat' is not accepted for question 2.",
       {"11", "10", "10", "10", "10"}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(std::to_string(step.number) + " " + step.answer + " " + step.refusal);
    const TAcceptance change{step.number, step.kind, Letters(step.answer)};
    EXPECT_EQ(step.accept ? store->Accept(test, change) : store->StopAccepting(test, change),
              !*step.refusal);
    if (*step.refusal) {
      EXPECT_EQ(store->LastError(), step.refusal);
    }
    std::vector<TStore::TAttempt> attempts;
    const TClassData data = Shown(*store, test, attempts);
    std::vector<TAttemptAnswers> expected;
    for (std::size_t a = 0; a < attempts.size(); ++a) {
      const std::string& row = step.rows[a];
      expected.push_back({int32_t(std::count(row.begin(), row.end(), '1')), 2,
                          {uint8_t(row[0] == '1'), uint8_t(row[1] == '1')}, {}});
      EXPECT_EQ(data.answers[a].right, expected[a].right) << a;
      EXPECT_EQ(data.answers[a].correctCount, expected[a].correctCount) << a;
      EXPECT_EQ(core::EncodeResults(*attempts[a].information),
                core::EncodeResults(*Student(int(a))));
    }
    const TSummary summary = Summarize(data.answers, 2), recomputed = Summarize(expected, 2);
    EXPECT_EQ(FormatFigure(summary.mean, 2), FormatFigure(recomputed.mean, 2));
    EXPECT_EQ(FormatFigure(summary.reliability, 4), FormatFigure(recomputed.reliability, 4));
    const auto figures = FigureQuestions(data.answers, 2), rows = FigureQuestions(expected, 2);
    for (std::size_t q = 0; q < 2; ++q)
      EXPECT_EQ(FormatFigure(figures[q].facility, 1), FormatFigure(rows[q].facility, 1));
  }
  if (!GetParam()) return;
  // A colleague's class of the same test is regraded by the colleague's own acceptances; no
  // one accepts for another's test, a head of department neither.
  auto colleague = OpenStore(kTeachers[1]);
  for (int s = 0; s < 5; ++s) ASSERT_EQ(colleague->Collect(*Student(s), {}), TStore::Outcome::Added);
  const int64_t own = colleague->Tests().value().at(0).id;
  EXPECT_TRUE(colleague->Accept(own, {2, ThisAnswer, Letters("wat")}));
  for (const char* who : {kTeachers[1], kTeachers[2]}) {
    auto other = OpenStore(who);
    EXPECT_FALSE(other->Accept(test, {2, ThisAnswer, Letters("WATER")})) << who;
    EXPECT_EQ(other->LastError(), "Only the teacher who collected a test may accept answers for it.");
  }
  std::vector<TStore::TAttempt> attempts;
  for (const auto& [who, id, counts] : {std::tuple{kTeachers[0], test, "21111"},
                                        {kTeachers[1], own, "20011"},
                                        {kTeachers[2], test, "21111"}}) {
    const TClassData data = Shown(*OpenStore(who), id, attempts);
    std::string seen;
    for (const TAttemptAnswers& answers : data.answers) seen += std::to_string(answers.correctCount);
    EXPECT_EQ(seen, counts) << who;
  }
}

}  // namespace
}  // namespace gradebook
