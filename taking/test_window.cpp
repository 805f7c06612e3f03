#include "taking/test_window.h"

#include <cstring>
#include <ctime>

#include "editor/input_dialog.h"
#include "platform/printer.h"
#include "platform/system.h"
#include "taking/blank_window.h"
#include "taking/hand_in.h"

namespace quizdesk {

namespace {
constexpr char kHelpFile[] = "quizdesk.hlp";
constexpr char kWindowsHelpFile[] = "WINHELP.HLP";
}  // namespace

TTestWindow::TTestWindow() : TFrameWindow("Quizloom") {
  testFileDialogData.filter = "Test Files (*.tst)|*.tst|";
  testFileDialogData.defaultExt = "tst";
  testFileDialogData.flags = platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST;
  testFileDialogData.initialDir.clear();
  SetMenu(11);
  move(platform::ScreenWidth() / 10, platform::ScreenHeight() / 10);
  idleView = new TBlankWindow(ClientArea(), *this);
  editor = new editor::TInputDialog(ClientArea(), *this, editor::EditorProgram::Quizdesk);
  information = std::make_unique<core::TInformation>();
  printer = std::make_unique<platform::TPrinter>();
  testTaken = 0;
  helpIndexOpened = 0;
  windowsHelpOpened = 0;
  random_.Seed(static_cast<uint32_t>(std::time(nullptr)));
  ClearBuffers();

  Respond(CM_START, [this] { CmStart(); });
  Respond(CM_OK, [this] { CmOk(); });
  Respond(CM_CHECK_ANSWERS, [this] { CmCheckAnswers(); });
  Respond(CM_PRINT_RESULTS, [this] { CmPrintResults(); });
  Respond(CM_HELP_INDEX, [this] { CmHelpIndex(); });
  Respond(CM_USING_HELP, [this] { CmUsingHelp(); });

  SetClient(idleView);
}

TTestWindow::~TTestWindow() = default;

void TTestWindow::CmHelpIndex() {
  platform::WinHelp(this, kHelpFile, platform::HELP_CONTENTS);
  helpIndexOpened = 1;
}

void TTestWindow::CmUsingHelp() {
  platform::WinHelp(this, kWindowsHelpFile, platform::HELP_CONTENTS);
  windowsHelpOpened = 1;
}

bool TTestWindow::CanClose() {
  // The close box still reaches the window while a hand-in waits for the server: not now.
  if (HandingIn()) return false;
  if (helpIndexOpened == 1) platform::WinHelp(this, kHelpFile, platform::HELP_QUIT);
  if (windowsHelpOpened == 1) platform::WinHelp(this, kWindowsHelpFile, platform::HELP_QUIT);
  // Otherwise never refuses: an unfinished pass is simply lost.
  return true;
}

void TTestWindow::Warn(const char* text) {
  platform::MessageBox(this, text, "Warning", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void TTestWindow::ClearBuffers() {
  std::memset(editor->questionMarks, 0, sizeof editor->questionMarks);
  std::memset(editor->answerMarks, 0, sizeof editor->answerMarks);
  std::memset(expectedAnswerMarks, 0, sizeof expectedAnswerMarks);
  std::memset(editor->questionText, 0, sizeof editor->questionText);
  std::memset(editor->answerText, 0, sizeof editor->answerText);
  std::memset(editor->pictureName, 0, sizeof editor->pictureName);
  std::memset(expectedAnswer, 0, sizeof expectedAnswer);
}

bool TTestWindow::Answering() const { return Client() == editor; }

}  // namespace quizdesk
