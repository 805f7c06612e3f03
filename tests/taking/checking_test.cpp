#include <cstring>

#include "core/results_codec.h"
#include "taking_fixture.h"

namespace quizdesk {
namespace {

using testing_support::Prompt;

// Three questions answered in the order 3, 2, 1 (seed 1): "4" right, "H2O" without the
// subscript wrong, "paris" wrong.
class CheckingTest : public TakingTest {
 protected:
  void TakeTheTest() {
    StartTest(WriteThreeQuestions());
    user.AnswerDialog(1);
    Type("4");
    Enter();
    Type("H2O");
    Enter();
    Type("paris");
    Enter();
    ASSERT_EQ(window().testTaken, 1);
    user.Forget();
  }
  std::vector<int> Verdicts() const {
    std::vector<int> verdicts;
    for (const auto& response : app->Window().information->responses) verdicts.push_back(response->correct);
    return verdicts;
  }
  // The caret starts at the beginning of the earlier answer: End, then Backspace.
  void ClearAnswer() {
    editor().EvKeyDown(platform::VK_END);
    for (int i = 0; i < 60; ++i) editor().EvChar(8);
  }
};

TEST_F(CheckingTest, AReviewWithOnlyOkGivesTheSameVerdicts) {
  TakeTheTest();
  EXPECT_EQ(Verdicts(), (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(window().information->correctCount, 1);
  window().Command(CM_CHECK_ANSWERS);
  EXPECT_EQ(window().reviewing, 1);
  EXPECT_EQ(window().information->correctCount, 0);
  const char* questions[] = {"Two and two?", "Water?", "Capital of France?"};
  const char* given[] = {"4", "H2O", "paris"};
  user.AnswerDialog(1);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(window().Client(), window().editor);
    EXPECT_EQ(window().CurrentMenu(), resources::ResId("MENU_5"));
    EXPECT_EQ(std::string(editor().headerText), "Question Number " + std::to_string(i + 1));
    EXPECT_STREQ(editor().questionText, questions[i]);
    EXPECT_STREQ(editor().answerText, given[i]);
    EXPECT_EQ(window().currentResponse, &window().information->responses[i]);
    Enter();
  }
  EXPECT_EQ(Verdicts(), (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(window().information->correctCount, 1);
  EXPECT_EQ(window().Client(), window().idleView);
  EXPECT_EQ(window().CurrentMenu(), resources::ResId("MENU_3"));
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].text, "DRIVEDLG");
}

// Alt+Down or Alt+Up after the last character marked the invisible position past the end; the
// mark moved on with the terminator and failed answers that looked exactly right, until a
// review with only OK made them right. OK clears such marks before judging and storing.
TEST_F(CheckingTest, AnInvisibleMarkPastTheEndFailedARightAnswer) {
  StartTest(WriteThreeQuestions());
  user.AnswerDialog(1);
  Type("4");
  window().Command(607);  // Alt+Down at the end
  Enter();
  Type("H2");
  editor().EvKeyDown(platform::VK_LEFT);
  window().Command(607);
  editor().EvKeyDown(platform::VK_END);
  window().Command(608);  // Alt+Up at the end, then the O pushes the mark along
  Type("O");
  EXPECT_EQ(editor().answerMarks[3], 1);
  Enter();
  Type("Pa");
  window().Command(607);
  Type("ris");
  Enter();
  EXPECT_EQ(Verdicts(), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(window().information->correctCount, 3);
  const int lengths[] = {1, 3, 5};
  for (int i = 0; i < 3; ++i)
    for (int k = lengths[i]; k < 51; ++k)
      EXPECT_EQ(window().information->responses[i].givenMarks[k], 0) << i << " " << k;
  EXPECT_EQ(window().information->responses[1].givenMarks[1], 2);
  EXPECT_EQ(ReadBytes(QString::fromStdString(Path("results.qzr"))).size(), 199u + 3 * 3018u);

  user.Forget();
  user.AnswerDialog(1);
  window().Command(CM_CHECK_ANSWERS);
  for (int i = 0; i < 3; ++i) Enter();
  EXPECT_EQ(Verdicts(), (std::vector<int>{1, 1, 1}));
  EXPECT_EQ(window().information->correctCount, 3);
}

TEST_F(CheckingTest, TheEarlierAnswerComesBackWithItsMarks) {
  StartTest(WriteThreeQuestions());
  user.AnswerDialog(1);
  Enter();
  Type("H2O");
  editor().EvKeyDown(platform::VK_LEFT);
  editor().EvKeyDown(platform::VK_LEFT);
  window().Command(607);
  Enter();
  Enter();
  window().Command(CM_CHECK_ANSWERS);
  Enter();
  EXPECT_STREQ(editor().answerText, "H2O");
  const int32_t marks[51] = {0, 2};
  EXPECT_EQ(0, std::memcmp(editor().answerMarks, marks, sizeof marks));
  EXPECT_EQ(window().expectedAnswerMarks[1], 2);
  user.AnswerDialog(2);
  Enter();
  Enter();
}

TEST_F(CheckingTest, CorrectingOneAnswerRaisesTheCountAndIsStored) {
  TakeTheTest();
  window().Command(CM_CHECK_ANSWERS);
  Enter();  // "4" stays
  Enter();  // "H2O" stays wrong
  ClearAnswer();
  Type("Paris");
  user.AnswerDialog(1);
  Enter();
  EXPECT_EQ(Verdicts(), (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(window().information->correctCount, 2);
  EXPECT_STREQ(window().information->responses[2].given, "Paris");
  const auto bytes = ReadBytes(folder.path() + "/results.qzr");
  ASSERT_EQ(bytes.size(), 199u + 3u * 3018u);
  EXPECT_EQ(IntAt(bytes, 187), 2);
  const std::size_t third = 199 + 2 * 3018;
  EXPECT_EQ(IntAt(bytes, third), 1);
  EXPECT_EQ(IntAt(bytes, third + 4), 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[third + 8])), "Paris");
}

TEST_F(CheckingTest, SpoilingAnAnswerLowersTheCountAndEachReviewStartsFromTheLast) {
  TakeTheTest();
  window().Command(CM_CHECK_ANSWERS);
  ClearAnswer();
  Type("5");
  user.AnswerDialog(1);
  Enter();
  Enter();
  Enter();
  EXPECT_EQ(Verdicts(), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(window().information->correctCount, 0);

  window().Command(CM_CHECK_ANSWERS);
  EXPECT_STREQ(editor().answerText, "5");
  ClearAnswer();
  Type("4");
  Enter();
  Enter();
  user.AnswerDialog(1);
  Enter();
  EXPECT_EQ(Verdicts(), (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(window().information->correctCount, 1);
  EXPECT_EQ(window().shownCount, 3);
}

TEST_F(CheckingTest, CheckAnswersBeforeTheTestDoesNothing) {
  window().Command(CM_CHECK_ANSWERS);
  EXPECT_EQ(window().reviewing, 0);
  EXPECT_EQ(window().Client(), window().idleView);
  StartTest(WriteThreeQuestions());
  window().Command(CM_CHECK_ANSWERS);
  EXPECT_EQ(window().reviewing, 0);
  EXPECT_EQ(window().shownCount, 1);
  EXPECT_EQ(user.prompts().size(), 2u);  // the class information and the file dialog
}

}  // namespace
}  // namespace quizdesk
