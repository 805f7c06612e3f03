#include "taking/test_window.h"

#include "platform/recording_dc.h"
#include "platform/system.h"
#include "resources/resource_tables.h"
#include "taking_fixture.h"

namespace quizdesk {
namespace {

using testing_support::Prompt;

std::vector<std::string> TextsOf(const platform::TRecordingDC& dc) {
  std::vector<std::string> texts;
  for (const auto& call : dc.TextCalls()) texts.push_back(call.text);
  return texts;
}

TEST_F(TakingTest, StartsIdleWithItsNameMenuAndFields) {
  EXPECT_EQ(app->Name(), "Quizloom");
  EXPECT_EQ(app->MainWindow(), &window());
  EXPECT_EQ(window().Caption(), "Quizloom");
  EXPECT_EQ(window().CurrentMenu(), resources::ResId(11));
  EXPECT_EQ(window().Client(), window().idleView);
  EXPECT_FALSE(editor().isVisibleTo(&window()));
  EXPECT_EQ(window().testTaken, 0);
  EXPECT_EQ(window().helpIndexOpened, 0);
  EXPECT_EQ(window().windowsHelpOpened, 0);
  EXPECT_TRUE(window().questions.IsEmpty());
  EXPECT_EQ(window().testFileDialogData.filter, "Test Files (*.tst)|*.tst|");
  EXPECT_EQ(window().testFileDialogData.defaultExt, "tst");
  EXPECT_EQ(window().testFileDialogData.flags, platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST);
  EXPECT_EQ(window().testFileDialogData.initialDir, "");
  EXPECT_EQ(window().information->year, 1997);
  EXPECT_EQ(window().information->month, 3);
  EXPECT_EQ(window().information->day, 7);
  EXPECT_EQ(window().information->correctCount, 0);
  EXPECT_TRUE(window().information->responses.IsEmpty());
  EXPECT_EQ(window().pos(), QPoint(platform::ScreenWidth() / 10, platform::ScreenHeight() / 10));
  EXPECT_EQ(window().idleView->sizeHint(),
            QSize(platform::ScreenWidth() * 5 / 6, platform::ScreenHeight() * 2 / 3));
  EXPECT_NE(window().idleView->Scroller(), nullptr);
  EXPECT_EQ(editor().Program(), editor::EditorProgram::Quizdesk);
}

TEST_F(TakingTest, CaptionReadsTheProgramNameUntilTheIdleViewFirstPaints) {
  platform::TRecordingDC dc;
  window().idleView->RecordDrawingInto(&dc);
  EXPECT_EQ(window().Caption(), "Quizloom");
  window().idleView->UpdateWindow();
  EXPECT_EQ(window().Caption(), "No test active");
  ASSERT_EQ(dc.Calls().size(), 3u);
  EXPECT_EQ(dc.Calls()[0].kind, platform::DrawCall::Kind::SelectFont);
  EXPECT_EQ(dc.Calls()[0].text, "Courier");
  EXPECT_EQ(dc.Calls()[1].kind, platform::DrawCall::Kind::Text);
  EXPECT_EQ(dc.Calls()[1].x, 5);
  EXPECT_EQ(dc.Calls()[1].y, 5);
  EXPECT_EQ(dc.Calls()[1].text, "To start go to Start on the Test Menu.");
  EXPECT_EQ(dc.Calls()[2].kind, platform::DrawCall::Kind::RestoreFont);
  window().idleView->RecordDrawingInto(nullptr);
}

TEST_F(TakingTest, OnceTakenTheIdleViewPointsToCheckAnswersAndLeavesTheCaption) {
  window().SetCaption("/some/test.tst");
  window().testTaken = 1;
  platform::TRecordingDC dc;
  window().idleView->RecordDrawingInto(&dc);
  window().idleView->Invalidate(true);
  window().idleView->UpdateWindow();
  EXPECT_EQ(TextsOf(dc), std::vector<std::string>{"To check your answers select Check Answers."});
  EXPECT_EQ(window().Caption(), "/some/test.tst");
  window().idleView->RecordDrawingInto(nullptr);
}

TEST_F(TakingTest, HelpCommandsOpenTheirFilesAndExitClosesThem) {
  window().show();
  window().Command(CM_HELP_INDEX);
  window().Command(CM_USING_HELP);
  EXPECT_EQ(window().helpIndexOpened, 1);
  EXPECT_EQ(window().windowsHelpOpened, 1);
  window().Command(CM_EXIT);
  EXPECT_FALSE(window().isVisible());
  const struct {
    const char* file;
    int command;
  } expected[] = {{"quizdesk.hlp", platform::HELP_CONTENTS},
                  {"WINHELP.HLP", platform::HELP_CONTENTS},
                  {"quizdesk.hlp", platform::HELP_QUIT},
                  {"WINHELP.HLP", platform::HELP_QUIT}};
  ASSERT_EQ(user.prompts().size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(user.prompts()[i].kind, Prompt::Kind::Help);
    EXPECT_EQ(user.prompts()[i].text, expected[i].file);
    EXPECT_EQ(user.prompts()[i].helpCommand, expected[i].command);
  }
}

TEST_F(TakingTest, ExitWithoutHelpCallsNoHelpAndNeverRefuses) {
  window().show();
  window().Command(CM_HELP_INDEX);
  user.Forget();
  window().helpIndexOpened = 0;
  EXPECT_TRUE(window().CloseWindow());
  EXPECT_TRUE(user.prompts().empty());
}

TEST_F(TakingTest, ClosingDuringAnAttemptAsksNothing) {
  StartTest(WriteThreeQuestions());
  window().show();
  user.Forget();
  EXPECT_TRUE(window().CloseWindow());
  EXPECT_TRUE(user.prompts().empty());
  EXPECT_FALSE(QFile::exists(folder.path() + "/results.qzr"));
}

TEST_F(TakingTest, AuthoringAcceleratorsAndMisplacedCommandsDoNothing) {
  // F4, F3, F2 send Quizloom's New, Open and Save; OK and Check Answers need their states,
  // Print Results a menu without the editor.
  for (int command : {101, 102, 103, int(CM_OK), int(CM_CHECK_ANSWERS)})
    window().Command(command);
  EXPECT_TRUE(user.prompts().empty());
  EXPECT_EQ(window().Client(), window().idleView);
  EXPECT_EQ(window().CurrentMenu(), resources::ResId(11));

  StartTest(WriteThreeQuestions());
  const std::string question = editor().questionText;
  user.Forget();
  for (int command : {101, 102, 103, int(CM_START), int(CM_CHECK_ANSWERS), int(CM_PRINT_RESULTS)})
    window().Command(command);
  EXPECT_TRUE(user.prompts().empty());
  EXPECT_EQ(window().shownCount, 1);
  EXPECT_EQ(std::string(editor().questionText), question);
  EXPECT_TRUE(window().information->responses.IsEmpty());
}

TEST_F(TakingTest, CheckAnswersIsOnlyOnTheMenuAfterATest) {
  auto commandsOf = [](resources::ResId id) {
    std::vector<int> commands;
    for (const auto& entry : resources::FindMenu(id)->entries)
      if (entry.kind == resources::MenuEntryKind::Item) commands.push_back(entry.command);
    return commands;
  };
  EXPECT_EQ(commandsOf(11), (std::vector<int>{501, 502, 24340, 901, 902}));
  EXPECT_EQ(commandsOf("MENU_5"), (std::vector<int>{607, 608, 609, 610}));
  EXPECT_EQ(commandsOf("MENU_3"), (std::vector<int>{501, 502, 24340, 550, 901, 902}));
}

}  // namespace
}  // namespace quizdesk
