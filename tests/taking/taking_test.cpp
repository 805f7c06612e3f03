#include <cstring>
#include <set>

#include "platform/recording_dc.h"
#include "taking_fixture.h"

namespace quizdesk {
namespace {

using testing_support::Prompt;

constexpr unsigned kWarningStyle = platform::MB_OK | platform::MB_ICONEXCLAMATION;

TEST_F(TakingTest, StartAfterTheTestShowsOnlyTheWarning) {
  StartTest(WriteThreeQuestions());
  user.AnswerDialog(1);  // the storage drive, C:
  for (int i = 0; i < 3; ++i) Enter();
  user.Forget();
  user.AnswerMessage();
  window().Command(CM_START);
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].kind, Prompt::Kind::Message);
  EXPECT_EQ(user.prompts()[0].text, "You have already taken the test!!");
  EXPECT_EQ(user.prompts()[0].caption, "Warning");
  EXPECT_EQ(user.prompts()[0].style, kWarningStyle);
  EXPECT_EQ(user.prompts()[0].owner, &window());
  EXPECT_EQ(window().Client(), window().idleView);
  EXPECT_EQ(window().CurrentMenu(), resources::ResId("MENU_3"));
}

TEST_F(TakingTest, OnlyAFirstNameShowsTheNameMessageAndTheDialogAgainStillFilled) {
  std::string shownAgain = "?";
  user.AnswerDialog(1, [](platform::TDialog& d) { d.SetControlText(101, "Ann"); });
  user.AnswerMessage();
  user.AnswerDialog(2, [&](platform::TDialog& d) { shownAgain = d.ControlText(101); });
  window().Command(CM_START);
  ASSERT_EQ(user.prompts().size(), 3u);
  EXPECT_EQ(user.prompts()[0].text, "INFODIALOG");
  EXPECT_EQ(user.prompts()[1].text,
            "You must enter at least a first name and a last name. Use the tab key or mouse to "
            "move around the message box.");
  EXPECT_EQ(user.prompts()[1].caption, "Warning");
  EXPECT_EQ(user.prompts()[1].style, kWarningStyle);
  EXPECT_EQ(user.prompts()[2].text, "INFODIALOG");
  EXPECT_EQ(shownAgain, "Ann");
  EXPECT_EQ(window().Client(), window().idleView);
  EXPECT_STREQ(window().information->firstName, "");
}

TEST_F(TakingTest, NamesOfBlanksAreNamesAndTheFiveFieldsAreKept) {
  const std::string path = WriteThreeQuestions();
  user.AnswerDialog(1, [](platform::TDialog& d) {
    d.SetControlText(101, " ");
    d.SetControlText(102, " ");
    d.SetControlText(103, "Biology");
    d.SetControlText(104, "3");
    d.SetControlText(105, "Smith");
  });
  user.ChooseFile(path);
  window().Command(CM_START);
  EXPECT_STREQ(window().information->firstName, " ");
  EXPECT_STREQ(window().information->lastName, " ");
  EXPECT_STREQ(window().information->course, "Biology");
  EXPECT_STREQ(window().information->period, "3");
  EXPECT_STREQ(window().information->instructor, "Smith");
  EXPECT_EQ(window().Client(), window().editor);
}

TEST_F(TakingTest, CancelInEitherDialogStartsNoAttempt) {
  user.AnswerDialog(2);
  window().Command(CM_START);
  EXPECT_EQ(window().Client(), window().idleView);

  GiveNames("Ann", "Lee");
  user.CancelFile();
  window().Command(CM_START);
  EXPECT_EQ(window().Client(), window().idleView);
  EXPECT_EQ(window().CurrentMenu(), resources::ResId(11));
  EXPECT_STREQ(window().information->firstName, "Ann");
  ASSERT_EQ(user.prompts().back().kind, Prompt::Kind::File);
  EXPECT_EQ(user.prompts().back().fileData.filter, "Test Files (*.tst)|*.tst|");

  // The dialog opens empty the next time.
  std::string firstName = "?";
  user.AnswerDialog(2, [&](platform::TDialog& d) { firstName = d.ControlText(101); });
  window().Command(CM_START);
  EXPECT_EQ(firstName, "");
}

TEST_F(TakingTest, ThreeQuestionsShownOnceEachWithHeadersOneTwoThree) {
  const std::string path = WriteThreeQuestions();
  StartTest(path);
  EXPECT_EQ(window().Caption(), path);
  EXPECT_EQ(window().testPath, path);
  EXPECT_EQ(window().testSize, 3);
  EXPECT_EQ(window().information->questionCount, 3);
  EXPECT_STREQ(window().information->testFile, path.c_str());
  // Seed 1 draws indices 2, 1, 0.
  const char* order[] = {"Two and two?", "Water?", "Capital of France?"};
  user.AnswerDialog(1);
  for (int shown = 1; shown <= 3; ++shown) {
    SCOPED_TRACE(shown);
    EXPECT_EQ(window().Client(), window().editor);
    EXPECT_EQ(window().CurrentMenu(), resources::ResId("MENU_5"));
    EXPECT_EQ(std::string(editor().headerText), "Question Number " + std::to_string(shown));
    EXPECT_STREQ(editor().questionText, order[shown - 1]);
    EXPECT_STREQ(editor().answerText, "");
    EXPECT_EQ(editor().questionMode, 0);
    EXPECT_EQ(editor().answerOnly, 1);
    EXPECT_EQ(window().shownCount, shown);
    EXPECT_EQ(window().position, shown);
    Type("x");
    Enter();
  }
  ASSERT_EQ(window().information->responses.Count(), 3);
  const int numbers[] = {3, 2, 1};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(window().information->responses[i].number, numbers[i]);
    EXPECT_STREQ(window().information->responses[i].questionText, order[i]);
    EXPECT_STREQ(window().information->responses[i].given, "x");
  }
}

TEST_F(TakingTest, ResponseNumbersAreThePositionsInTheFileWhateverTheOrder) {
  core::TList<core::TQuestion> questions;
  for (int i = 1; i <= 7; ++i) questions.Add(MakeQuestion("Question " + std::to_string(i), "A"));
  const std::string path = WriteTest("seven.tst", questions);
  for (uint32_t seed : {2u, 99u, 4711u}) {
    SCOPED_TRACE(seed);
    app = std::make_unique<TMyApp>(false);
    window().SeedQuestionOrder(seed);
    StartTest(path);
    user.AnswerDialog(1);
    for (int i = 0; i < 7; ++i) Enter();
    std::set<int> numbers;
    for (const auto& response : window().information->responses) {
      numbers.insert(response->number);
      EXPECT_EQ(std::string(response->questionText), "Question " + std::to_string(response->number));
    }
    EXPECT_EQ(numbers, (std::set<int>{1, 2, 3, 4, 5, 6, 7}));
  }
}

TEST_F(TakingTest, TheStorageDialogOpensRightAfterTheLastOkAndTheIdleTextChanges) {
  const std::string path = WriteThreeQuestions();
  StartTest(path);
  Enter();
  Enter();
  user.Forget();
  user.AnswerDialog(1);
  platform::TRecordingDC dc;
  window().idleView->RecordDrawingInto(&dc);
  Enter();
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].kind, Prompt::Kind::Dialog);
  EXPECT_EQ(user.prompts()[0].text, "DRIVEDLG");
  EXPECT_EQ(user.prompts()[0].caption, "Storage Drive");
  EXPECT_EQ(window().testTaken, 1);
  EXPECT_EQ(window().Client(), window().idleView);
  EXPECT_EQ(window().CurrentMenu(), resources::ResId("MENU_3"));
  window().idleView->UpdateWindow();
  ASSERT_EQ(dc.TextCalls().size(), 1u);
  EXPECT_EQ(dc.TextCalls()[0].text, "To check your answers select Check Answers.");
  EXPECT_EQ(window().Caption(), path);
  EXPECT_TRUE(QFile::exists(folder.path() + "/results.qzr"));
  window().idleView->RecordDrawingInto(nullptr);
}

TEST_F(TakingTest, ParisIsRightOnlyAsWritten) {
  core::TList<core::TQuestion> questions;
  for (int i = 0; i < 5; ++i) questions.Add(MakeQuestion("Capital of France?", "Paris"));
  StartTest(WriteTest("paris.tst", questions));
  user.AnswerDialog(1);
  const char* answers[] = {"Paris", "paris", "PARIS", "Paris ", " Paris"};
  for (const char* answer : answers) {
    Type(answer);
    Enter();
  }
  ASSERT_EQ(window().information->responses.Count(), 5);
  const int verdicts[] = {1, 0, 0, 0, 0};
  for (int i = 0; i < 5; ++i) {
    EXPECT_STREQ(window().information->responses[i].given, answers[i]);
    EXPECT_EQ(window().information->responses[i].correct, verdicts[i]) << answers[i];
    EXPECT_STREQ(window().information->responses[i].expected, "Paris");
  }
  EXPECT_EQ(window().information->correctCount, 1);
}

TEST_F(TakingTest, H2OCountsOnlyWithTheTwoLowered) {
  core::TList<core::TQuestion> questions;
  for (int i = 0; i < 3; ++i) questions.Add(MakeQuestion("Water?", "H2O", {{1, 2}}));
  StartTest(WriteTest("water.tst", questions));
  user.AnswerDialog(1);
  // Subscript (Alt+Down), nothing, superscript (Alt+Up) on the 2.
  const int markCommands[] = {607, 0, 608};
  for (int command : markCommands) {
    Type("H2O");
    editor().EvKeyDown(platform::VK_LEFT);
    editor().EvKeyDown(platform::VK_LEFT);
    if (command) window().Command(command);
    Enter();
  }
  const auto& responses = window().information->responses;
  ASSERT_EQ(responses.Count(), 3);
  const int marksOfTwo[] = {2, 0, 1};
  const int verdicts[] = {1, 0, 0};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(responses[i].givenMarks[1], marksOfTwo[i]);
    EXPECT_EQ(responses[i].givenMarks[0], 0);
    EXPECT_EQ(responses[i].expectedMarks[1], 2);
    EXPECT_EQ(responses[i].correct, verdicts[i]);
  }
  EXPECT_EQ(window().information->correctCount, 1);
}

TEST_F(TakingTest, AnEmptyAnswerIsAcceptedAndWrong) {
  core::TList<core::TQuestion> questions;
  questions.Add(MakeQuestion("Capital of France?", "Paris"));
  StartTest(WriteTest("one.tst", questions));
  user.AnswerDialog(1);
  window().Command(CM_OK);
  ASSERT_EQ(window().information->responses.Count(), 1);
  EXPECT_STREQ(window().information->responses[0].given, "");
  EXPECT_EQ(window().information->responses[0].correct, 0);
  EXPECT_EQ(window().testTaken, 1);
}

TEST_F(TakingTest, TheQuestionComesWithItsMarksAndPicture) {
  core::TList<core::TQuestion> questions;
  auto question = MakeQuestion("H2O is?\r\nwater", "water");
  question->text[1].mark = 2;
  std::strcpy(question->picture, "CELL.BMP");
  questions.Add(std::move(question));
  StartTest(WriteTest("marks.tst", questions));
  EXPECT_STREQ(editor().questionText, "H2O is?\r\nwater");
  EXPECT_EQ(editor().questionMarks[1], 2);
  EXPECT_EQ(editor().questionMarks[0], 0);
  EXPECT_STREQ(editor().pictureName, "CELL.BMP");
  EXPECT_STREQ(window().expectedAnswer, "water");
  user.AnswerDialog(1);
  Type("water");
  Enter();
  EXPECT_EQ(window().information->responses[0].questionMarks[1], 2);
  EXPECT_EQ(window().information->responses[0].correct, 1);
}

TEST_F(TakingTest, ATestFileWithoutQuestionsIsRefused) {
  core::TList<core::TQuestion> none;
  GiveNames("Ann", "Lee");
  user.ChooseFile(WriteTest("empty.tst", none));
  user.AnswerMessage();
  window().Command(CM_START);
  const auto messages = user.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "This test has no questions.");
  EXPECT_EQ(messages[0].caption, "Warning");
  EXPECT_EQ(messages[0].style, kWarningStyle);
  EXPECT_EQ(window().Client(), window().idleView);
  EXPECT_EQ(window().CurrentMenu(), resources::ResId(11));
  EXPECT_EQ(window().Caption(), "Quizloom");
  // Another test can still be started.
  StartTest(WriteThreeQuestions());
  EXPECT_EQ(window().Client(), window().editor);
}

TEST_F(TakingTest, AFileThatIsNotATestLeavesTheWindowIdle) {
  QFile file(folder.path() + "/bad.tst");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("Quizloom96\0\0\0\0\0\1\0\0\0", 19);
  file.close();
  GiveNames("Ann", "Lee");
  user.ChooseFile(Path("bad.tst"));
  user.AnswerMessage();
  window().Command(CM_START);
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text, "Incorrect File Format!");
  EXPECT_EQ(window().Client(), window().idleView);
  EXPECT_EQ(window().CurrentMenu(), resources::ResId(11));
}

// A question whose answer is empty or starts with a zero byte could never be chosen when the
// first answer letter marked it as asked, and the first pass drew forever.
TEST_F(TakingTest, QuestionsWithEmptyOrZeroAnswersAreAskedAndTheTestEnds) {
  core::TList<core::TQuestion> questions;
  questions.Add(MakeQuestion("No answer", ""));
  auto zero = MakeQuestion("Zero answer", "");
  zero->answer.emplace_back(0, 0);
  zero->answer.emplace_back('A', 0);
  questions.Add(std::move(zero));
  questions.Add(MakeQuestion("Plain", "B"));
  StartTest(WriteTest("odd.tst", questions));
  user.AnswerDialog(1);
  for (int i = 0; i < 3; ++i) Enter();
  EXPECT_EQ(window().testTaken, 1);
  std::set<int> numbers;
  for (const auto& response : window().information->responses) numbers.insert(response->number);
  EXPECT_EQ(numbers, (std::set<int>{1, 2, 3}));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(window().Asked(i));
}

TEST_F(TakingTest, AQuestionTooLongForTheBuffersIsCutNotOverrun) {
  core::TList<core::TQuestion> questions;
  questions.Add(MakeQuestion(std::string(700, 'q'), std::string(80, 'a')));
  StartTest(WriteTest("long.tst", questions));
  EXPECT_EQ(std::string(editor().questionText), std::string(499, 'q'));
  EXPECT_EQ(std::string(window().expectedAnswer), std::string(50, 'a'));
  user.AnswerDialog(1);
  Type(std::string(49, 'a'));
  Enter();
  const core::TResponse& response = window().information->responses[0];
  EXPECT_EQ(std::string(response.expected), std::string(50, 'a'));
  EXPECT_EQ(std::string(response.questionText), std::string(499, 'q'));
  EXPECT_EQ(response.correct, 0);
}

TEST_F(TakingTest, ALongTestPathIsStoredWithItsFileName) {
  QString deep = folder.path();
  for (int i = 0; i < 6; ++i) deep += "/folder-with-a-long-name-" + QString::number(i);
  ASSERT_TRUE(QDir().mkpath(deep));
  const std::string path = (deep + "/chemistry.tst").toStdString();
  ASSERT_GT(path.size(), 79u);
  core::TList<core::TQuestion> questions;
  questions.Add(MakeQuestion("Water?", "H2O"));
  std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  file.close();
  StartTest(path);
  EXPECT_EQ(window().testPath, path);
  EXPECT_EQ(window().Caption(), path);
  const std::string stored = window().information->testFile;
  EXPECT_LE(stored.size(), 79u);
  EXPECT_EQ(stored, ".../folder-with-a-long-name-4/folder-with-a-long-name-5/chemistry.tst");
}

}  // namespace
}  // namespace quizdesk
