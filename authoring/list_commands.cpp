#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "authoring/blank_window.h"
#include "authoring/question_number.h"
#include "authoring/test_window.h"
#include "core/dialogs.h"
#include "core/search.h"
#include "editor/input_dialog.h"
#include "platform/modal.h"

namespace quizloom {

namespace {
constexpr char kNotFound[] = "The word or phrase could not be found.";
constexpr char kFoundIn[] = "The word or phrase is contained in question number ";
}  // namespace

bool TTestWindow::ReadQuestionNumber(NumberPrompt prompt, int& number) {
  core::TNumberRecord record;
  std::memset(&record, 0, sizeof record);
  const int count = listWindow->openTest.questions.Count();
  for (;;) {
    // A new dialog on the same record each time, so the user sees what was typed before.
    std::unique_ptr<platform::TDialog> dialog;
    if (prompt == NumberPrompt::Delete)
      dialog = std::make_unique<core::TDeleteDialog>(this, &record);
    else if (prompt == NumberPrompt::Change)
      dialog = std::make_unique<core::TChangeDialog>(this, &record);
    else
      dialog = std::make_unique<core::TInsertDialog>(this, &record);
    if (dialog->Execute() != platform::IDOK) return false;
    const int64_t value =
        ParseQuestionNumber({record.number, strnlen(record.number, sizeof record.number)});
    if (value >= 1 && value <= count) {
      number = static_cast<int>(value);
      return true;
    }
    Warn("This is an unacceptable value.  Try again.");
  }
}

void TTestWindow::CmAdd() {
  listWindow->currentNumber = listWindow->openTest.questions.Count() + 1;
  listWindow->currentQuestion = nullptr;
  ClearEditor();
  OpenEditor();
}

void TTestWindow::CmInsert() {
  int number = 0;
  if (!ReadQuestionNumber(NumberPrompt::Insert, number)) return;
  listWindow->currentNumber = number + 1;
  listWindow->currentQuestion = nullptr;
  ClearEditor();
  OpenEditor();
}

void TTestWindow::CmChange() {
  int number = 0;
  if (!ReadQuestionNumber(NumberPrompt::Change, number)) return;
  core::TQuestion& question = listWindow->openTest.questions[number - 1];
  listWindow->currentQuestion = &question;
  ClearEditor();
  // Cut to what the editor's buffers hold: a question from a foreign file may be longer.
  editorWindow->LoadContent(question);
  listWindow->currentNumber = number;
  OpenEditor();
  listWindow->Invalidate(true);
  listWindow->openTest.modified = 1;
}

void TTestWindow::CmOk() {
  editorWindow->hide();
  if (editorWindow->questionText[0] == '\0' || editorWindow->answerText[0] == '\0') {
    Warn("You must enter a question and an answer !!");
    OpenEditor();
    return;
  }
  core::TOpenTest& test = listWindow->openTest;
  const int count = test.questions.Count();
  if (listWindow->currentNumber <= count && listWindow->currentQuestion) {
    editorWindow->StoreContent(*listWindow->currentQuestion);
    listWindow->ForgetLayout();
    ReturnToList();
    return;
  }
  auto question = std::make_unique<core::TQuestion>();
  editorWindow->StoreContent(*question);
  const int index = std::clamp(listWindow->currentNumber - 1, 0, count);
  test.questions.Insert(index, std::move(question));
  // Marked at once: the editor stays open for the next question, and leaving the program
  // from there must still ask to save the questions already taken.
  test.modified = 1;
  if (listWindow->currentNumber == test.questions.Count()) {
    ++listWindow->currentNumber;
    ClearEditor();
    OpenEditor();
  } else {
    ReturnToList();
  }
}

void TTestWindow::CmCancel() { ReturnToList(); }

void TTestWindow::CmDelete() {
  int number = 0;
  if (!ReadQuestionNumber(NumberPrompt::Delete, number)) return;
  if (platform::MessageBox(this, "Are you sure?", "Delete the question.",
                           platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
    return;
  core::TOpenTest& test = listWindow->openTest;
  if (listWindow->currentQuestion == &test.questions[number - 1])
    listWindow->currentQuestion = nullptr;
  test.questions.Destroy(number - 1);
  listWindow->ForgetLayout();
  if (!test.questions.IsEmpty()) {
    test.modified = 1;
  } else {
    test.fileName = core::kUntitled;
    test.modified = 0;
  }
  listWindow->Invalidate(true);
}

void TBlankWindow::Inform(const std::string& text, unsigned icon) {
  platform::MessageBox(this, text, "Information", platform::MB_OK | icon);
}

int TBlankWindow::FindFrom(int start) const {
  const core::TList<core::TQuestion>& questions = openTest.questions;
  for (int i = std::max(start, 0); i < questions.Count(); ++i)
    if (core::questionTextContains(questions[i], searchText, caseSensitive == 1)) return i;
  return -1;
}

void TBlankWindow::CmSearch() {
  core::TSearchRecord record;
  std::memset(&record, 0, sizeof record);
  record.notCaseSensitive = 1;
  record.caseSensitive = 0;
  searchPosition = 0;
  for (;;) {
    core::TSearchDialog dialog(this, &record);
    if (dialog.Execute() != platform::IDOK) return;
    if (record.text[0] != '\0') break;
    platform::MessageBox(this, "You must put something in the search box!!", "Warning",
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
  }
  const int32_t notCaseSensitive = record.notCaseSensitive;
  caseSensitive = notCaseSensitive == 1 ? 0 : 1;
  searchText.assign(record.text, strnlen(record.text, sizeof record.text));
  if (caseSensitive == 0) searchText = core::FoldToCapitals(searchText);

  const int found = FindFrom(0);
  if (found < 0) {
    Inform(kNotFound, platform::MB_ICONINFORMATION);
    return;
  }
  searchPosition = found;
  Inform(kFoundIn + std::to_string(found + 1), platform::MB_ICONEXCLAMATION);
  mainWindow_.SetMenu(10);
}

void TBlankWindow::CmSearchAgain() {
  ++searchPosition;
  if (searchPosition >= openTest.questions.Count()) {
    Inform("There are no questions past the last one.", platform::MB_ICONEXCLAMATION);
    mainWindow_.SetMenu("MENU_1");
    return;
  }
  const int found = FindFrom(searchPosition);
  if (found < 0) {
    Inform(kNotFound, platform::MB_ICONINFORMATION);
    mainWindow_.SetMenu("MENU_1");
    return;
  }
  searchPosition = found;
  Inform(kFoundIn + std::to_string(found + 1), platform::MB_ICONINFORMATION);
}

}  // namespace quizloom
