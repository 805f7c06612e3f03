#include <QMenuBar>

#include <functional>
#include <set>

#include "authoring/import_window.h"
#include "authoring_fixture.h"
#include "platform/keys.h"
#include "platform/scroller.h"
#include "platform/system.h"

namespace quizloom {
namespace {

using testing_support::Prompt;

// The command ids on the window's menu bar as it is now.
std::set<int> MenuCommands(TTestWindow& window) {
  std::set<int> ids;
  std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
    for (QAction* action : actions) {
      if (action->menu())
        walk(action->menu()->actions());
      else if (!action->isSeparator())
        ids.insert(action->data().toInt());
    }
  };
  walk(window.menuBar()->actions());
  return ids;
}

TEST_F(AuthoringTest, StartsWithTheEmptyListMenuNineAndItsFields) {
  EXPECT_EQ(app->Name(), "Quizloom");
  EXPECT_EQ(app->MainWindow(), &window());
  EXPECT_EQ(window().Caption(), "Quizloom");
  EXPECT_EQ(Menu(), "9");
  EXPECT_EQ(MenuCommands(window()),
            (std::set<int>{101, 102, 109, 24340, 301, 401, 402, 403, 404, 405, 406, 901, 902}));
  EXPECT_EQ(window().Client(), window().listWindow);
  EXPECT_FALSE(editor().isVisibleTo(&window()));
  EXPECT_EQ(editor().Program(), editor::EditorProgram::Quizloom);
  ASSERT_NE(window().importWindow, nullptr);
  EXPECT_FALSE(window().importWindow->isVisibleTo(&window()));
  EXPECT_TRUE(window().importWindow->questions.IsEmpty());
  EXPECT_EQ(window().helpIndexOpened, 0);
  EXPECT_EQ(window().usingHelpOpened, 0);
  EXPECT_EQ(window().importFileData.filter, "Text Files (*.txt)|*.txt|");
  EXPECT_EQ(window().importFileData.defaultExt, "txt");
  EXPECT_EQ(window().importFileData.flags, 0x1808u);
  EXPECT_EQ(window().importFileData.initialDir, "");

  EXPECT_TRUE(questions().IsEmpty());
  EXPECT_EQ(test().fileName, "");
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(test().untitled, 0);
  EXPECT_EQ(test().testFileData.filter, "Test Files (*.tst)|*.tst|");
  EXPECT_EQ(test().testFileData.defaultExt, "tst");
  EXPECT_EQ(test().testFileData.flags, 0x1800u);
  EXPECT_EQ(test().testFileData.initialDir, "");
  EXPECT_EQ(list().currentQuestion, nullptr);
  EXPECT_EQ(list().currentNumber, 0);
  EXPECT_EQ(list().searchPosition, 0);
  EXPECT_EQ(list().searchText, "");
  EXPECT_EQ(list().caseSensitive, 0);
  EXPECT_EQ(list().screenFont, (platform::TFont{"Courier", 10, 400}));

  EXPECT_EQ(window().pos(), QPoint(platform::ScreenWidth() / 10, platform::ScreenHeight() / 10));
  EXPECT_EQ(list().sizeHint(),
            QSize(platform::ScreenWidth() * 5 / 6, platform::ScreenHeight() * 2 / 3));
  const platform::TScroller& scroller = *list().Scroller();
  EXPECT_EQ(scroller.XUnit(), 8);
  EXPECT_EQ(scroller.YUnit(), 15);
  EXPECT_EQ(scroller.XRange(), 80);
  EXPECT_EQ(scroller.YRange(), 200);
  EXPECT_EQ(scroller.YPage(), (platform::ScreenHeight() * 2 / 3 + 1) / 15 - 1);
  EXPECT_EQ(editor().questionText[0], '\0');
  EXPECT_EQ(editor().answerText[0], '\0');
}

TEST_F(AuthoringTest, EmptyListPaintsTheTwoHintsAndNoFileActive) {
  const auto texts = PaintList();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "To retrieve a file press F3");
  EXPECT_EQ(texts[0].x, 5);
  EXPECT_EQ(texts[0].y, 5);
  EXPECT_EQ(texts[1].text, "To start a new file press F4");
  EXPECT_EQ(texts[1].x, 5);
  EXPECT_EQ(texts[1].y, 20);
  EXPECT_EQ(window().Caption(), "No file active");
  ASSERT_FALSE(recorder.Calls().empty());
  EXPECT_EQ(recorder.Calls().front().kind, platform::DrawCall::Kind::SelectFont);
  EXPECT_EQ(recorder.Calls().front().text, "Courier");
  EXPECT_EQ(recorder.Calls().back().kind, platform::DrawCall::Kind::RestoreFont);
  // The unit follows the font; the range is left alone while the list is empty.
  EXPECT_EQ(list().Scroller()->YUnit(), 16);
  EXPECT_EQ(list().Scroller()->YRange(), 200);
}

TEST_F(AuthoringTest, SaveKeyAndSaveAsOnTheEmptyStartDoNothing) {
  window().Command(CM_SAVE);  // F2
  window().Command(CM_SAVE_AS);
  EXPECT_TRUE(user.prompts().empty());
  EXPECT_EQ(Menu(), "9");
  EXPECT_EQ(window().Client(), window().listWindow);
}

TEST_F(AuthoringTest, PaintDrawsEveryQuestionAndSetsTheRangeFromTheListHeight) {
  GiveQuestions(3);
  const auto texts = PaintList();
  EXPECT_EQ(window().Caption(), "/tests/five.tst");
  // Each one-line question without picture takes 64 pixels: number and text, a blank line
  // where no picture is, the answer and two lines below it.
  for (int i = 0; i < 3; ++i) {
    const int top = 5 + 64 * i;
    auto at = [&](const std::string& text, int x, int y) {
      for (const auto& call : texts)
        if (call.text == text && call.x == x && call.y == y) return true;
      return false;
    };
    EXPECT_TRUE(at(std::to_string(i + 1) + ". ", 5, top)) << i;
    EXPECT_TRUE(at("Q", 5 + 3 * 8, top)) << i;
    EXPECT_TRUE(at("Answer:  ", 5, top + 32)) << i;
    EXPECT_TRUE(at("A", 5 + 9 * 8, top + 32)) << i;
  }
  EXPECT_EQ(list().Scroller()->YUnit(), 16);
  EXPECT_EQ(list().Scroller()->XRange(), 0);
  EXPECT_EQ(list().Scroller()->YRange(), (5 + 64 * 3) / 16);
}

TEST_F(AuthoringTest, CaptionOfANewTestIsUntitledAndOfAnEmptiedOneNoFileActive) {
  GiveQuestions(1, core::kUntitled);
  PaintList();
  EXPECT_EQ(window().Caption(), "Untitled");
  questions().Clear();
  PaintList();
  EXPECT_EQ(window().Caption(), "No file active");
}

TEST_F(AuthoringTest, KeyboardScrollingFollowsItsTableAndStopsAtBothEnds) {
  GiveQuestions(30);  // range (5 + 64 * 30) / 16 = 120 lines of 16 pixels
  PaintList();
  platform::TScroller& scroller = *list().Scroller();
  ASSERT_EQ(scroller.YRange(), 120);
  ASSERT_EQ(scroller.YUnit(), 16);
  const int page = scroller.YPage();
  ASSERT_GT(page, 16);
  struct Case {
    int from;
    unsigned key;
    int to;
  } cases[] = {
      {0, platform::VK_PRIOR, 0},
      {0, platform::VK_UP, 0},
      {10, platform::VK_PRIOR, 0},  // P - S below 0 stops at 0
      {50, platform::VK_PRIOR, 50 - page},
      {5, platform::VK_UP, 0},
      {16, platform::VK_UP, 0},     // not above U: to the top
      {17, platform::VK_UP, 1},     // one press moves U lines, not one
      {0, platform::VK_DOWN, 16},
      {0, platform::VK_NEXT, page},
      {119, platform::VK_DOWN, 120},
      {110, platform::VK_NEXT, 120},
      {120, platform::VK_NEXT, 120},
      {120, platform::VK_DOWN, 120},
      {40, platform::VK_HOME, 40},  // other keys do nothing here
      {40, platform::VK_END, 40},
  };
  for (const Case& c : cases) {
    scroller.ScrollTo(0, c.from);
    list().EvKeyDown(c.key);
    EXPECT_EQ(scroller.YPos(), c.to) << "from " << c.from << " key " << c.key;
    EXPECT_EQ(scroller.XPos(), 0);
  }
}

TEST_F(AuthoringTest, ListShortenedUnderTheViewPaintsAgainFromTheClampedPosition) {
  GiveQuestions(30);
  PaintList();
  list().Scroller()->ScrollTo(0, 120);
  PaintList();
  while (questions().Count() > 2) questions().Destroy(questions().Count() - 1);
  PaintList();
  EXPECT_EQ(list().Scroller()->YRange(), (5 + 64 * 2) / 16);
  EXPECT_EQ(list().Scroller()->YPos(), 8);
  EXPECT_TRUE(list().NeedsPaint());
}

TEST_F(AuthoringTest, HelpCommandsOpenTheirFilesOverTheMainWindow) {
  window().Command(CM_HELP_INDEX);
  window().Command(CM_USING_HELP);
  ASSERT_EQ(user.prompts().size(), 2u);
  EXPECT_EQ(user.prompts()[0].kind, Prompt::Kind::Help);
  EXPECT_EQ(user.prompts()[0].text, "quizloom.hlp");
  EXPECT_EQ(user.prompts()[0].helpCommand, platform::HELP_CONTENTS);
  EXPECT_EQ(user.prompts()[0].owner, &window());
  EXPECT_EQ(user.prompts()[1].text, "WINHELP.HLP");
  EXPECT_EQ(user.prompts()[1].helpCommand, platform::HELP_CONTENTS);
  EXPECT_EQ(window().helpIndexOpened, 1);
  EXPECT_EQ(window().usingHelpOpened, 1);
}

// Exit with the help opened, in each state of the test and each answer at the prompt.
TEST_F(AuthoringTest, ExitAsksOnlyForUnsavedQuestionsAndQuitsTheHelpWhenItCloses) {
  struct Case {
    const char* name;
    int questionCount;
    int modified;
    int answer;  // 0: no prompt expected
    bool closes;
  } cases[] = {
      {"unmodified", 2, 0, 0, true},
      {"modified but empty", 0, 1, 0, true},
      {"Cancel", 2, 1, platform::IDCANCEL, false},
      {"No", 2, 1, platform::IDNO, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app = std::make_unique<TMyApp>(false);
    GiveQuestions(c.questionCount);
    test().modified = c.modified;
    window().show();
    window().Command(CM_HELP_INDEX);
    window().Command(CM_USING_HELP);
    user.Forget();
    if (c.answer) user.AnswerMessage(c.answer);
    window().Command(CM_EXIT);
    EXPECT_EQ(window().isVisible(), !c.closes);
    std::vector<std::string> seen;
    for (const Prompt& p : user.prompts()) {
      if (p.kind == Prompt::Kind::Message) {
        seen.push_back(p.text + "|" + p.caption + "|" + std::to_string(p.style));
        EXPECT_EQ(p.owner, &window());
      } else if (p.kind == Prompt::Kind::Help) {
        EXPECT_EQ(p.helpCommand, platform::HELP_QUIT);
        seen.push_back("quit " + p.text);
      }
    }
    std::vector<std::string> expected;
    if (c.answer) expected.push_back("Do you want to save?|File has changed|35");
    if (c.closes) expected.insert(expected.end(), {"quit quizloom.hlp", "quit WINHELP.HLP"});
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(questions().Count(), c.questionCount);
    EXPECT_EQ(test().modified, c.modified);
  }
}

TEST_F(AuthoringTest, ExitWithYesSavesANamedTestAndCloses) {
  GiveQuestions(2, Path("two.tst"));
  test().modified = 1;
  window().show();
  user.AnswerMessage(platform::IDYES);
  window().Command(CM_EXIT);
  EXPECT_FALSE(window().isVisible());
  EXPECT_EQ(ReadBytes(Path("two.tst")), core::EncodeTestFile(questions()));
  EXPECT_EQ(test().modified, 0);
}

TEST_F(AuthoringTest, ExitWithYesAndTheSaveAsDialogCancelledKeepsTheProgramRunning) {
  GiveQuestions(2, core::kUntitled);
  test().untitled = 1;
  test().modified = 1;
  window().show();
  user.AnswerMessage(platform::IDYES).CancelFile();
  window().Command(CM_EXIT);
  EXPECT_TRUE(window().isVisible());
  EXPECT_EQ(questions().Count(), 2);
  EXPECT_EQ(test().modified, 1);
  ASSERT_EQ(user.prompts().size(), 2u);
  EXPECT_EQ(user.prompts()[1].kind, Prompt::Kind::File);
  EXPECT_EQ(user.prompts()[1].fileKind, platform::FileDialogKind::Save);
}

TEST_F(AuthoringTest, ExitWithYesAndAFailedSaveKeepsTheProgramRunning) {
  GiveQuestions(2, Path("missing/two.tst"));
  test().modified = 1;
  window().show();
  user.AnswerMessage(platform::IDYES).AnswerMessage();
  window().Command(CM_EXIT);
  EXPECT_TRUE(window().isVisible());
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_EQ(user.Messages()[1].text, "File cannot be found!");
  EXPECT_EQ(user.Messages()[1].caption, "Warning");
  EXPECT_EQ(user.Messages()[1].style, kWarningStyle);
  EXPECT_EQ(test().modified, 1);
}

TEST_F(AuthoringTest, ExitWhileAddingAfterOkStillAsksToSaveTheTakenQuestions) {
  window().Command(CM_NEW);
  TypeQuestion("First?", "1");  // taken; the editor is open on question 2
  ASSERT_EQ(questions().Count(), 1);
  ASSERT_EQ(window().Client(), &editor());
  window().show();
  user.AnswerMessage(platform::IDCANCEL);
  window().Command(CM_EXIT);
  EXPECT_TRUE(window().isVisible());
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text, "Do you want to save?");
}

TEST_F(AuthoringTest, FileKeysDoNothingWhileTheEditorIsTheClient) {
  GiveQuestions(2);
  test().modified = 1;
  window().Command(CM_ADD);
  for (int command : {CM_NEW, CM_OPEN, CM_SAVE})  // F4, F3, F2
    window().Command(command);
  EXPECT_TRUE(user.prompts().empty());
  EXPECT_EQ(window().Client(), &editor());
  EXPECT_EQ(questions().Count(), 2);
}

}  // namespace
}  // namespace quizloom
