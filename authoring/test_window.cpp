#include "authoring/test_window.h"

#include <cstdio>
#include <cstring>

#include "authoring/blank_window.h"
#include "authoring/import_window.h"
#include "editor/input_dialog.h"
#include "gradebook/class_results_window.h"
#include "gradebook/hand_in_listener.h"
#include "gradebook/hand_in_window.h"
#include "gradebook/store.h"
#include "gradebook/location_dialog.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace quizloom {

namespace {
constexpr char kHelpFile[] = "quizloom.hlp";
constexpr char kUsingHelpFile[] = "WINHELP.HLP";
}  // namespace

TTestWindow::TTestWindow() : TFrameWindow("Quizloom") {
  importFileData.filter = "Text Files (*.txt)|*.txt|";
  importFileData.defaultExt = "txt";
  importFileData.flags =
      platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST | platform::OFN_NOCHANGEDIR;
  importFileData.initialDir.clear();
  // Neither moves the current folder, where pictures are looked up.
  exportFileData.filter = "GIFT Files (*.gift)|*.gift|Moodle XML Files (*.xml)|*.xml|";
  exportFileData.defaultExt = "gift";
  exportFileData.flags = platform::OFN_PATHMUSTEXIST | platform::OFN_NOCHANGEDIR;
  platformFileData.filter =
      "Platform Files (*.gift;*.xml)|*.gift;*.xml|GIFT Files (*.gift)|*.gift|"
      "Moodle XML Files (*.xml)|*.xml|All Files (*.*)|*.*|";
  platformFileData.flags =
      platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST | platform::OFN_NOCHANGEDIR;
  // Results files are read where they were copied; pictures stay looked up where they were.
  resultsFileData.filter = "Results Files (*.qzr)|*.qzr|";
  resultsFileData.defaultExt = "qzr";
  resultsFileData.flags = platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST |
                          platform::OFN_NOCHANGEDIR | platform::OFN_ALLOWMULTISELECT;
  SetMenu(9);
  printer = std::make_unique<platform::TPrinter>();
  move(platform::ScreenWidth() / 10, platform::ScreenHeight() / 10);
  listWindow = new TBlankWindow(ClientArea(), *this);
  editorWindow = new editor::TInputDialog(ClientArea(), *this, editor::EditorProgram::Quizloom);
  importWindow = new TImportWindow(ClientArea());
  listWindow->openTest.modified = 0;
  listWindow->openTest.untitled = 0;
  helpIndexOpened = 0;
  usingHelpOpened = 0;
  ClearEditor();

  Respond(CM_ADD, [this] { CmAdd(); });
  Respond(CM_DELETE, [this] { CmDelete(); });
  Respond(CM_CHANGE, [this] { CmChange(); });
  Respond(CM_INSERT, [this] { CmInsert(); });
  Respond(CM_OK, [this] { CmOk(); });
  Respond(CM_CANCEL, [this] { CmCancel(); });
  Respond(CM_IMPORT, [this] { CmImport(); });
  Respond(CM_DONE, [this] { CmDone(); });
  Respond(CM_HELP_INDEX, [this] { CmHelpIndex(); });
  Respond(CM_USING_HELP, [this] { CmUsingHelp(); });
  Respond(CM_PRINT, [this] { CmPrint(); });
  Respond(CM_PRINT_PREVIEW, [this] { CmPrintPreview(); });
  Respond(CM_PRINT_ANSWER_KEY, [this] { CmPrintAnswerKey(); });
  Respond(CM_EXPORT, [this] { CmExport(); });
  Respond(CM_IMPORT_FROM_PLATFORM, [this] { CmImportFromPlatform(); });
  Respond(CM_COLLECT_RESULTS, [this] { CmCollectResults(); });
  Respond(CM_ADD_RESULTS_FILES, [this] { CmAddResultsFiles(); });
  Respond(CM_CLASS_RESULTS, [this] { CmClassResults(); });
  Respond(CM_PRINT_CLASS_RESULTS, [this] { CmPrintClassResults(); });
  Respond(CM_GRADEBOOK_LOCATION, [this] { CmGradebookLocation(); });
  Respond(CM_OPEN_HAND_IN, [this] { CmOpenHandIn(); });

  SetClient(listWindow);
}

TTestWindow::~TTestWindow() = default;

void TTestWindow::ClearEditor() {
  std::memset(editorWindow->questionText, 0, sizeof editorWindow->questionText);
  std::memset(editorWindow->answerText, 0, sizeof editorWindow->answerText);
  std::memset(editorWindow->questionMarks, 0, sizeof editorWindow->questionMarks);
  std::memset(editorWindow->answerMarks, 0, sizeof editorWindow->answerMarks);
  std::memset(editorWindow->pictureName, 0, sizeof editorWindow->pictureName);
}

void TTestWindow::OpenEditor() {
  std::snprintf(editorWindow->headerText, sizeof editorWindow->headerText,
                "Question Number %d. Press Page Down to edit answer. Type in your question here:",
                static_cast<int>(listWindow->currentNumber));
  editorWindow->questionMode = 1;
  if (Client() == listWindow) listWindow->hide();
  SetClient(editorWindow);
  SetMenu(6);
  editorWindow->BeginEditing();
}

void TTestWindow::ReturnToList() {
  editorWindow->hide();
  if (!listWindow->openTest.questions.IsEmpty()) {
    SetMenu("MENU_1");
    listWindow->openTest.modified = 1;
  } else {
    SetMenu(9);
  }
  SetClient(listWindow);
  // A window shown again was repainted whole by the old system; our list keeps its last
  // image, which would still show the test as it was before the edit.
  listWindow->Invalidate(true);
  listWindow->setFocus();
}

void TTestWindow::CmHelpIndex() {
  platform::WinHelp(this, kHelpFile, platform::HELP_CONTENTS);
  helpIndexOpened = 1;
}

void TTestWindow::CmUsingHelp() {
  platform::WinHelp(this, kUsingHelpFile, platform::HELP_CONTENTS);
  usingHelpOpened = 1;
}

void TTestWindow::QuitHelp() {
  if (helpIndexOpened == 1) platform::WinHelp(this, kHelpFile, platform::HELP_QUIT);
  if (usingHelpOpened == 1) platform::WinHelp(this, kUsingHelpFile, platform::HELP_QUIT);
}

bool TTestWindow::CanClose() {
  // Questions cut out of a text file go to the test first, so the prompt covers them too.
  if (Client() == importWindow && !importWindow->questions.IsEmpty()) CmDone();
  if (!listWindow->AskToSave(this)) return false;
  // Quit the help on every way out: an open help window would keep the program running
  // after its main window has gone.
  QuitHelp();
  return true;
}

void TTestWindow::Warn(const char* text) {
  platform::MessageBox(this, text, "Warning", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void TTestWindow::CmGradebookLocation() {
  if (!gradebookThread) gradebookThread = std::make_unique<gradebook::TGradebookThread>();
  gradebook::TLocationDialog dialog(this, *gradebookThread);
  if (platform::Modal().RunQtDialog(this, dialog) != QDialog::Accepted) return;
  gradebook::SaveLocation(dialog.Location());
  ForgetGradebook();
}

}  // namespace quizloom
