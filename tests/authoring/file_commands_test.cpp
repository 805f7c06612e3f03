#include <QDir>

#include "authoring_fixture.h"
#include "platform/keys.h"
#include "platform/scroller.h"

namespace quizloom {
namespace {

using testing_support::Prompt;

constexpr char kHeaderOfOne[] =
    "Question Number 1. Press Page Down to edit answer. Type in your question here:";

// The worked example of the file: one question "H" and a lowered "2", answer "X".
std::vector<uint8_t> WorkedExampleBytes() {
  std::vector<uint8_t> bytes = {'Q', 'u', 'i', 'z', 'l', 'o', 'o', 'm', '9', '5', 0, 0, 0, 0, 0};
  bytes.insert(bytes.end(), {1, 0, 0, 0});
  bytes.insert(bytes.end(), 80, 0);
  bytes.insert(bytes.end(), {2, 0, 0, 0, 'H', 0, 0, 0, 0, '2', 2, 0, 0, 0});
  bytes.insert(bytes.end(), {1, 0, 0, 0, 'X', 0, 0, 0, 0});
  return bytes;
}

void ExpectPrompt(const Prompt& p, const std::string& text, const std::string& caption,
                  unsigned style, const QWidget* owner) {
  EXPECT_EQ(p.kind, Prompt::Kind::Message);
  EXPECT_EQ(p.text, text);
  EXPECT_EQ(p.caption, caption);
  EXPECT_EQ(p.style, style);
  EXPECT_EQ(p.owner, owner);
}

TEST_F(AuthoringTest, NewOnAnUnmodifiedTestEmptiesItAndOpensTheEditorOnQuestionOne) {
  GiveQuestions(30);
  PaintList();
  list().Scroller()->ScrollTo(0, 40);
  window().Command(CM_NEW);
  EXPECT_TRUE(user.prompts().empty());
  EXPECT_TRUE(questions().IsEmpty());
  EXPECT_EQ(list().Scroller()->YPos(), 0);
  EXPECT_EQ(list().currentNumber, 1);
  EXPECT_EQ(list().currentQuestion, nullptr);
  EXPECT_EQ(test().fileName, "Untitled");
  EXPECT_EQ(window().Caption(), "Untitled");
  EXPECT_EQ(test().untitled, 1);
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(window().Client(), &editor());
  EXPECT_FALSE(list().isVisibleTo(&window()));
  EXPECT_EQ(Menu(), "6");
  EXPECT_STREQ(editor().headerText, kHeaderOfOne);
  EXPECT_EQ(editor().questionMode, 1);
  EXPECT_EQ(editor().questionText[0], '\0');
}

TEST_F(AuthoringTest, NewLeavesModifiedAsItWasWhenTheUserSaysNo) {
  GiveQuestions(2);
  test().modified = 1;
  user.AnswerMessage(platform::IDNO);
  window().Command(CM_NEW);
  ASSERT_EQ(user.Messages().size(), 1u);
  ExpectPrompt(user.Messages()[0], "Do you want to save?", "File has changed", 0x23, &list());
  EXPECT_TRUE(questions().IsEmpty());
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(window().Client(), &editor());
}

TEST_F(AuthoringTest, NewWithCancelAtThePromptChangesNothing) {
  GiveQuestions(2);
  PaintList();
  test().modified = 1;
  user.AnswerMessage(platform::IDCANCEL);
  window().Command(CM_NEW);
  EXPECT_EQ(questions().Count(), 2);
  EXPECT_EQ(test().fileName, "/tests/five.tst");
  EXPECT_EQ(window().Caption(), "/tests/five.tst");
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(test().untitled, 0);
  EXPECT_EQ(Menu(), "MENU_1");
  EXPECT_EQ(window().Client(), window().listWindow);
}

TEST_F(AuthoringTest, NewWithYesAndTheSaveAsDialogCancelledKeepsTheTest) {
  GiveQuestions(2, core::kUntitled);
  test().untitled = 1;
  test().modified = 1;
  user.AnswerMessage(platform::IDYES).CancelFile();
  window().Command(CM_NEW);
  EXPECT_EQ(questions().Count(), 2);
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(window().Client(), window().listWindow);
}

TEST_F(AuthoringTest, NewWithYesSavesFirstAndThenStartsTheNewTest) {
  GiveQuestions(2, Path("old.tst"));
  test().modified = 1;
  user.AnswerMessage(platform::IDYES);
  window().Command(CM_NEW);
  core::TList<core::TQuestion> expected;
  expected.Add(MakeQuestion("Question 1", "A1"));
  expected.Add(MakeQuestion("Question 2", "A2"));
  EXPECT_EQ(ReadBytes(Path("old.tst")), core::EncodeTestFile(expected));
  EXPECT_TRUE(questions().IsEmpty());
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(window().Caption(), "Untitled");
}

TEST_F(AuthoringTest, OpenShowsTheFileFromTheTopUnderMenuOne) {
  core::TList<core::TQuestion> onFile;
  onFile.Add(MakeQuestion("H2O is water", "yes", {{1, 2}}));
  onFile.Add(MakeQuestion("x2 is x squared", "yes", {{1, 1}}));
  const std::string path = WriteTest("opened.tst", onFile);
  GiveQuestions(30);
  PaintList();
  list().Scroller()->ScrollTo(0, 40);
  user.ChooseFile(path);
  window().Command(CM_OPEN);
  ASSERT_EQ(user.prompts().size(), 1u);
  const Prompt& dialog = user.prompts()[0];
  EXPECT_EQ(dialog.kind, Prompt::Kind::File);
  EXPECT_EQ(dialog.fileKind, platform::FileDialogKind::Open);
  EXPECT_EQ(dialog.owner, &list());
  EXPECT_EQ(dialog.fileData.filter, "Test Files (*.tst)|*.tst|");
  EXPECT_EQ(dialog.fileData.defaultExt, "tst");
  EXPECT_EQ(dialog.fileData.flags, 0x1800u);

  ASSERT_EQ(questions().Count(), 2);
  EXPECT_EQ(TextOf(questions()[0].text), "H2O is water");
  EXPECT_EQ(questions()[0].text[1].mark, 2);
  EXPECT_EQ(questions()[1].text[1].mark, 1);
  EXPECT_EQ(test().fileName, path);
  EXPECT_EQ(window().Caption(), path);
  EXPECT_EQ(Menu(), "MENU_1");
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(test().untitled, 0);
  EXPECT_EQ(list().Scroller()->YPos(), 0);
  EXPECT_TRUE(list().NeedsPaint());
  // Pictures are looked for in the folder of the test just opened.
  EXPECT_EQ(QDir::current(), QDir(folder.path()));
}

TEST_F(AuthoringTest, OpenOfAFileWithoutQuestionsLeavesMenuOneOverTheEmptyView) {
  core::TList<core::TQuestion> none;
  const std::string path = WriteTest("empty.tst", none);
  user.ChooseFile(path);
  window().Command(CM_OPEN);
  EXPECT_TRUE(questions().IsEmpty());
  EXPECT_EQ(Menu(), "MENU_1");
  EXPECT_EQ(test().modified, 0);
  PaintList();
  EXPECT_EQ(window().Caption(), "No file active");
}

TEST_F(AuthoringTest, OpenWithCancelAtThePromptOrTheDialogChangesNothing) {
  GiveQuestions(2);
  test().modified = 1;
  user.AnswerMessage(platform::IDCANCEL);
  window().Command(CM_OPEN);
  ASSERT_EQ(user.prompts().size(), 1u);
  ExpectPrompt(user.Messages()[0], "Do you want to save?", "File has changed", 0x23, &list());

  user.Forget();
  user.AnswerMessage(platform::IDNO).CancelFile();
  window().Command(CM_OPEN);
  EXPECT_EQ(user.prompts().size(), 2u);
  EXPECT_EQ(questions().Count(), 2);
  EXPECT_EQ(test().fileName, "/tests/five.tst");
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(Menu(), "MENU_1");
}

TEST_F(AuthoringTest, OpenWithYesAndAFailedSaveNeverReachesTheOpenDialog) {
  GiveQuestions(2, Path("missing/two.tst"));
  test().modified = 1;
  user.AnswerMessage(platform::IDYES).AnswerMessage();  // the save's "File cannot be found!"
  window().Command(CM_OPEN);
  ASSERT_EQ(user.prompts().size(), 2u);
  EXPECT_EQ(user.prompts()[1].text, "File cannot be found!");
  EXPECT_EQ(questions().Count(), 2);
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(test().fileName, Path("missing/two.tst"));
}

TEST_F(AuthoringTest, OpenWithYesSavesTheOldTestAndOpensTheChosenOne) {
  core::TList<core::TQuestion> onFile;
  onFile.Add(MakeQuestion("H2", "X", {{1, 2}}));
  const std::string path = WriteTest("next.tst", onFile);
  GiveQuestions(2, Path("old.tst"));
  test().modified = 1;
  user.AnswerMessage(platform::IDYES).ChooseFile(path);
  window().Command(CM_OPEN);
  EXPECT_FALSE(ReadBytes(Path("old.tst")).empty());
  ASSERT_EQ(questions().Count(), 1);
  EXPECT_EQ(test().fileName, path);
  EXPECT_EQ(test().modified, 0);
}

// Each file that cannot be read keeps the previous test on screen with its own name.
TEST_F(AuthoringTest, FailedOpenRestoresTheFileNameAndKeepsTheQuestions) {
  QFile wrong(QString::fromStdString(Path("wrong.tst")));
  ASSERT_TRUE(wrong.open(QIODevice::WriteOnly));
  wrong.write("Quizloom96\0\0\0\0\0\0\0\0\0", 19);
  wrong.close();
  struct Case {
    std::string path;
    const char* message;
  } cases[] = {{Path("wrong.tst"), "Incorrect File Format!"},
               {Path("gone.tst"), "File cannot be found!"}};
  GiveQuestions(3);
  PaintList();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    user.Forget();
    user.ChooseFile(c.path).AnswerMessage();
    window().Command(CM_OPEN);
    ASSERT_EQ(user.Messages().size(), 1u);
    ExpectPrompt(user.Messages()[0], c.message, "Warning", kWarningStyle, &list());
    EXPECT_EQ(questions().Count(), 3);
    EXPECT_EQ(test().fileName, "/tests/five.tst");
    EXPECT_EQ(window().Caption(), "/tests/five.tst");
    EXPECT_EQ(Menu(), "MENU_1");
    PaintList();
    EXPECT_EQ(window().Caption(), "/tests/five.tst");
  }
}

TEST_F(AuthoringTest, SaveWritesTheNamedFileByteForByteAndClearsModified) {
  questions().Add(MakeQuestion("H2", "X", {{1, 2}}));
  test().fileName = Path("example.tst");
  test().modified = 1;
  window().Command(CM_SAVE);
  EXPECT_TRUE(user.prompts().empty());
  EXPECT_EQ(ReadBytes(Path("example.tst")), WorkedExampleBytes());
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(window().Caption(), Path("example.tst"));
}

TEST_F(AuthoringTest, SaveOfAnUntitledTestAsksForANameThroughSaveAs) {
  questions().Add(MakeQuestion("H2", "X", {{1, 2}}));
  test().fileName = core::kUntitled;
  test().untitled = 1;
  test().modified = 1;
  user.ChooseFile(Path("chosen"));  // the default extension is added
  window().Command(CM_SAVE);
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].fileKind, platform::FileDialogKind::Save);
  EXPECT_EQ(user.prompts()[0].owner, &list());
  EXPECT_EQ(ReadBytes(Path("chosen.tst")), WorkedExampleBytes());
  EXPECT_EQ(test().fileName, Path("chosen.tst"));
  EXPECT_EQ(test().untitled, 0);
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(window().Caption(), Path("chosen.tst"));
}

TEST_F(AuthoringTest, SaveAfterAnImportIntoAnEmptyTestOpensSaveAs) {
  // What an import into an empty test leaves: named "Untitled" but not flagged untitled.
  questions().Add(MakeQuestion("Imported?", "yes"));
  test().fileName = core::kUntitled;
  test().untitled = 0;
  test().modified = 1;
  user.CancelFile();
  window().Command(CM_SAVE);
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].kind, Prompt::Kind::File);
  EXPECT_EQ(user.prompts()[0].fileKind, platform::FileDialogKind::Save);
  EXPECT_EQ(test().modified, 1);
}

TEST_F(AuthoringTest, SaveIntoAMissingFolderWarnsAndKeepsModified) {
  GiveQuestions(1, Path("missing/x.tst"));
  test().modified = 1;
  user.AnswerMessage();
  window().Command(CM_SAVE);
  ASSERT_EQ(user.Messages().size(), 1u);
  ExpectPrompt(user.Messages()[0], "File cannot be found!", "Warning", kWarningStyle, &list());
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(window().Caption(), "Quizloom");
}

TEST_F(AuthoringTest, SaveAsProposesTheLastChosenNameAndWritesTheNewFile) {
  core::TList<core::TQuestion> onFile;
  onFile.Add(MakeQuestion("H2", "X", {{1, 2}}));
  const std::string path = WriteTest("first.tst", onFile);
  user.ChooseFile(path);
  window().Command(CM_OPEN);
  user.Forget();
  user.ChooseFile(Path("second.tst"));
  window().Command(CM_SAVE_AS);
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].fileData.fileName, path);
  EXPECT_EQ(ReadBytes(Path("second.tst")), WorkedExampleBytes());
  EXPECT_EQ(test().fileName, Path("second.tst"));
  EXPECT_EQ(window().Caption(), Path("second.tst"));
}

TEST_F(AuthoringTest, TestTypedInTheEditorIsSavedAndOpensAgainAsItWas) {
  window().Command(CM_NEW);
  Type("H2O");
  editor().EvKeyDown(platform::VK_LEFT);
  editor().EvKeyDown(platform::VK_LEFT);
  window().Command(607);  // Alt+Down lowers the 2
  PageDown();
  Type("water");
  Enter();
  editor().EvChar(27);  // Escape on question 2 is Cancel
  ASSERT_EQ(window().Client(), window().listWindow);
  ASSERT_EQ(Menu(), "MENU_1");
  user.ChooseFile(Path("typed.tst"));
  window().Command(CM_SAVE);

  std::vector<uint8_t> expected = {'Q', 'u', 'i', 'z', 'l', 'o', 'o', 'm', '9', '5', 0, 0, 0, 0, 0,
                                   1, 0, 0, 0};
  expected.insert(expected.end(), 80, 0);
  expected.insert(expected.end(), {3, 0, 0, 0, 'H', 0, 0, 0, 0, '2', 2, 0, 0, 0, 'O', 0, 0, 0, 0});
  expected.insert(expected.end(), {5, 0, 0, 0});
  for (char c : std::string("water")) expected.insert(expected.end(), {uint8_t(c), 0, 0, 0, 0});
  EXPECT_EQ(ReadBytes(Path("typed.tst")), expected);

  questions().Clear();
  user.ChooseFile(Path("typed.tst"));
  window().Command(CM_OPEN);
  ASSERT_EQ(questions().Count(), 1);
  EXPECT_EQ(questions()[0].text, (core::TLetters{{'H', 0}, {'2', 2}, {'O', 0}}));
  EXPECT_EQ(TextOf(questions()[0].answer), "water");
  EXPECT_EQ(window().Caption(), Path("typed.tst"));
}

}  // namespace
}  // namespace quizloom
