#include <cstdio>
#include <cstring>
#include <string_view>

#include "core/dialogs.h"
#include "core/test_file.h"
#include "editor/input_dialog.h"
#include "platform/cp1252.h"
#include "core/answer_check.h"
#include "taking/blank_window.h"
#include "taking/results_file.h"
#include "taking/test_path_field.h"
#include "taking/test_window.h"

namespace quizdesk {

namespace {

std::string_view FieldText(const char* field, std::size_t size) {
  return {field, strnlen(field, size - 1)};
}

}  // namespace

void TTestWindow::CmStart() {
  if (testTaken == 1) {
    Warn("You have already taken the test!!");
    return;
  }
  if (Answering()) return;
  core::TInfoRecord record;
  std::memset(&record, 0, sizeof record);
  for (;;) {
    // A new dialog on the same record each time, so the student sees what was typed.
    core::TInfoDialog dialog(this, &record);
    if (dialog.Execute() != platform::IDOK) return;
    if (record.firstName[0] != '\0' && record.lastName[0] != '\0') break;
    Warn("You must enter at least a first name and a last name. Use the tab key or mouse to "
         "move around the message box.");
  }
  core::CopyField(information->firstName, sizeof information->firstName,
                  FieldText(record.firstName, sizeof record.firstName));
  core::CopyField(information->lastName, sizeof information->lastName,
                  FieldText(record.lastName, sizeof record.lastName));
  core::CopyField(information->course, sizeof information->course,
                  FieldText(record.course, sizeof record.course));
  core::CopyField(information->period, sizeof information->period,
                  FieldText(record.period, sizeof record.period));
  core::CopyField(information->instructor, sizeof information->instructor,
                  FieldText(record.instructor, sizeof record.instructor));
  information->responses.Clear();

  if (!platform::GetOpenFileName(this, testFileDialogData)) return;
  testPath = testFileDialogData.fileName;
  if (core::ReadTestFile(testPath, questions, this) == 0) return;
  if (questions.IsEmpty()) {
    // Nothing could be asked, and an attempt without questions would never end.
    Warn("This test has no questions.");
    return;
  }

  const std::string pathText = platform::PathToText(testPath);
  SetCaption(pathText);
  SetMenu("MENU_5");
  editor->questionMode = 0;
  SetClient(editor);

  shownCount = 0;
  testSize = questions.Count();
  information->questionCount = testSize;
  information->correctCount = 0;
  core::CopyField(information->testFile, sizeof information->testFile,
                  FitPathToField(pathText, sizeof information->testFile));
  position = 1;
  reviewing = 0;
  asked_.assign(static_cast<std::size_t>(testSize), false);
  ShowQuestion();
}

void TTestWindow::ShowQuestion() {
  testSize = questions.Count();
  if (reviewing == 0) {
    const int index = ChooseUnasked(random_, asked_);
    if (index < 0) return;
    currentQuestion = &questions[index];
    currentResponse = nullptr;
  } else {
    currentResponse = &information->responses[position - 1];
    currentQuestion = &questions[currentResponse->number - 1];
  }
  FillEditor();
  PresentEditor();
}

void TTestWindow::FillEditor() {
  ClearBuffers();
  // The editor cuts a question from a damaged file to what its buffers hold; the expected
  // answer then moves out of the answer field, which the student fills.
  editor->LoadContent(*currentQuestion);
  std::memcpy(expectedAnswer, editor->answerText, sizeof editor->answerText);
  std::memcpy(expectedAnswerMarks, editor->answerMarks, sizeof expectedAnswerMarks);
  std::memset(editor->answerText, 0, sizeof editor->answerText);
  std::memset(editor->answerMarks, 0, sizeof editor->answerMarks);
  ++shownCount;
  if (reviewing == 1 && currentResponse) {
    const std::size_t length = strnlen(currentResponse->given, sizeof editor->answerText - 1);
    std::memcpy(editor->answerText, currentResponse->given, length);
    for (std::size_t k = 0; k < length; ++k) editor->answerMarks[k] = currentResponse->givenMarks[k];
  }
}

void TTestWindow::PresentEditor() {
  std::snprintf(editor->headerText, sizeof editor->headerText, "Question Number %d",
                static_cast<int>(shownCount));
  if (Client() == idleView) SetClient(editor);
  editor->BeginEditing();
  editor->Invalidate(true);
}

void TTestWindow::CmOk() {
  if (!Answering() || !currentQuestion) return;
  core::ClearMarksPastTheEnd(editor->answerText, editor->answerMarks);
  if (reviewing == 0)
    OkFirstPass();
  else
    OkReview();
}

void TTestWindow::OkFirstPass() {
  const bool correct = core::AnswerIsCorrect(editor->answerText, editor->answerMarks,
                                             expectedAnswer, expectedAnswerMarks);
  if (correct) ++information->correctCount;
  const int index = questions.IndexOf(currentQuestion);
  information->responses.Add(std::make_unique<core::TResponse>(
      index + 1, editor->answerText, expectedAnswer, editor->questionText, correct ? 1 : 0,
      editor->answerMarks, expectedAnswerMarks, editor->questionMarks));
  asked_[static_cast<std::size_t>(index)] = true;
  ++position;
  if (position <= testSize)
    ShowQuestion();
  else
    FinishPass();
}

void TTestWindow::FinishPass() {
  testTaken = 1;
  SetMenu("MENU_3");
  SetClient(idleView);
  idleView->Invalidate(true);
  currentQuestion = nullptr;
  currentResponse = nullptr;
  StoreResults(*information, this, handInCode);
}

}  // namespace quizdesk
