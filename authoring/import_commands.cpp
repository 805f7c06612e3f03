#include <memory>

#include "authoring/blank_window.h"
#include "authoring/import_window.h"
#include "authoring/test_window.h"
#include "core/test_file.h"
#include "platform/modal.h"
#include "platform/scroller.h"
#include "platform/system.h"

namespace quizloom {

void TTestWindow::CmImport() {
  core::TOpenTest& test = listWindow->openTest;
  const bool hadQuestions = !test.questions.IsEmpty();
  int answer = platform::IDYES;
  if (hadQuestions) {
    answer = platform::MessageBox(this, "Add to current file?", "Import File",
                                  platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
    if (answer == platform::IDCANCEL) return;
    // A save that fails or is cancelled after Yes leaves everything as it was.
    if (!listWindow->AskToSave(this)) return;
  }
  if (answer == platform::IDNO) {
    test.untitled = 1;
    test.fileName = core::kUntitled;
    listWindow->currentQuestion = nullptr;
    test.questions.Clear();
    listWindow->ForgetLayout();
    // The list now shows an empty test, whatever the file dialog brings, from its top where
    // the hint to open or start a file is drawn.
    listWindow->Scroller()->ScrollTo(listWindow->Scroller()->XPos(), 0);
    SetMenu(9);
    listWindow->Invalidate(true);
  } else if (!hadQuestions) {
    test.fileName = core::kUntitled;
  }
  if (!platform::GetOpenFileName(this, importFileData)) return;
  platform::TWaitCursor wait;
  importWindow->openFile(importFileData.fileName);
  listWindow->hide();
  SetClient(importWindow);
  SetMenu("MENU_2");
  importWindow->setFocus();
}

void TTestWindow::CmDone() {
  core::TList<core::TQuestion>& made = importWindow->questions;
  for (const auto& question : made)
    listWindow->openTest.questions.Add(std::make_unique<core::TQuestion>(*question));
  made.Clear();
  importWindow->hide();
  listWindow->Scroller()->ScrollTo(0, 0);
  ReturnToList();
}

}  // namespace quizloom
