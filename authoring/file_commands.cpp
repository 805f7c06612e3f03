#include <string>

#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "core/test_file.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/scroller.h"

namespace quizloom {

bool TBlankWindow::AskToSave(QWidget* owner) {
  if (openTest.modified != 1 || openTest.questions.IsEmpty()) return true;
  const int answer = platform::MessageBox(owner, "Do you want to save?", "File has changed",
                                          platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION);
  if (answer == platform::IDYES) return CmSave();
  return answer == platform::IDNO;
}

void TBlankWindow::CmNew() {
  if (!AskToSave(this)) return;
  Scroller()->ScrollTo(Scroller()->XPos(), 0);
  currentNumber = 1;
  openTest.fileName = core::kUntitled;
  mainWindow_.SetCaption(core::kUntitled);
  openTest.untitled = 1;
  currentQuestion = nullptr;
  openTest.questions.Clear();
  mainWindow_.ClearEditor();
  mainWindow_.OpenEditor();
}

void TBlankWindow::CmOpen() {
  if (!AskToSave(this)) return;
  if (!platform::GetOpenFileName(this, openTest.testFileData)) return;
  LoadChosenFile();
}

void TBlankWindow::OpenFile(const std::string& path) {
  if (!AskToSave(this)) return;
  platform::ChooseOpenFileByName(openTest.testFileData, path);
  LoadChosenFile();
}

void TBlankWindow::LoadChosenFile() {
  // Kept whole: a path cut to fit would name another file.
  std::string previous = openTest.fileName;
  openTest.fileName = openTest.testFileData.fileName;
  if (core::Load(openTest, this) == 0) {
    // The questions are still those of the previous file; so are the caption and Save.
    openTest.fileName = std::move(previous);
    return;
  }
  currentQuestion = nullptr;
  Scroller()->ScrollTo(Scroller()->XPos(), 0);
  mainWindow_.SetCaption(platform::PathToText(openTest.fileName));
  mainWindow_.SetMenu("MENU_1");
  Invalidate(true);
}

bool TBlankWindow::CmSave() {
  if (openTest.questions.IsEmpty()) return false;
  // A test without any name is saved as an untitled one is, through the dialog.
  if (openTest.untitled == 1 || openTest.fileName == core::kUntitled || openTest.fileName.empty())
    return CmSaveAs();
  return core::Save(openTest, this, [this](const std::string& caption) {
    mainWindow_.SetCaption(caption);
  });
}

bool TBlankWindow::CmSaveAs() {
  return core::SaveAs(openTest, this, [this](const std::string& caption) {
    mainWindow_.SetCaption(caption);
  });
}

}  // namespace quizloom
