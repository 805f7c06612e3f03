#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "editor/input_dialog.h"
#include "platform/cp1252.h"

namespace editor {

namespace {
constexpr const char* kPasteQuestionTooLong = "You cannot have a question of more than 495 letters.";
constexpr const char* kPasteAnswerTooLong = "You cannot have an answer of more than 49 letters.";
constexpr const char* kPictureNameTooLong =
    "The name of this bitmap file is too long. Rename it to at most 79 characters.";
constexpr const char* kPictureNameNotStorable =
    "The name of this bitmap file has characters a test file cannot hold. Rename it and choose "
    "it again.";
constexpr const char* kQuestionTooLong = "You cannot have a question greater than 495 characters.";
// What a stored question can hold of a picture name, terminator excluded.
constexpr size_t kPictureNameLimit = sizeof(core::TQuestion::picture) - 1;

// The file name and extension of a path, its folder dropped. Only "/" separates folders here:
// ":" and "\\" may be part of a file name.
std::string NameAndExtension(const std::string& path) {
  const size_t separator = path.rfind('/');
  return separator == std::string::npos ? path : path.substr(separator + 1);
}
}  // namespace

void TInputDialog::CmCut() {
  const size_t length = strnlen(selectionText, kQuestionSize - 1);
  std::memcpy(clipText, selectionText, length + 1);
  for (size_t i = 0; i <= length; ++i) clipMarks[i] = selectionMarks[i];
  if (selectionText[0] != '\0') DeleteSelection();
  ShowEditorMenu(8);
  Invalidate(false);
}

void TInputDialog::CmCopy() {
  if (selectionText[0] == '\0') return;
  const size_t length = strnlen(selectionText, kQuestionSize - 1);
  std::memcpy(clipText, selectionText, length + 1);
  for (size_t i = 0; i <= length; ++i) clipMarks[i] = selectionMarks[i];
  ShowEditorMenu(8);
  ClearSelection();
}

void TInputDialog::CmPaste() {
  if (clipText[0] == '\0') return;
  const int count = static_cast<int>(strnlen(clipText, kQuestionSize - 1));
  if (questionMode == 1) {
    if (count + static_cast<int>(strnlen(questionText, kQuestionSize - 1)) >= 496) {
      Warn(kPasteQuestionTooLong);
      return;
    }
  } else if (count + static_cast<int>(strnlen(answerText, kAnswerSize - 1)) >= 50) {
    Warn(kPasteAnswerTooLong);
    return;
  }
  if (questionMode == 1) {
    TakeUndoSnapshot();
    if (!InsertIntoQuestion(clipText, clipMarks, count, kPasteQuestionTooLong)) return;
  } else {
    for (int k = kAnswerSize - 1; k >= answerCaret + count; --k) {
      answerText[k] = answerText[k - count];
      answerMarks[k] = answerMarks[k - count];
    }
    for (int i = 0; i < count; ++i) {
      answerText[answerCaret + i] = clipText[i];
      answerMarks[answerCaret + i] = clipMarks[i];
    }
    answerText[kAnswerSize - 1] = '\0';
    // The caret stays in front of the pasted text.
  }
  Invalidate(false);
  ShowEditorMenu(6);
}

void TInputDialog::CmClear() {
  if (selectionText[0] != '\0')
    DeleteSelection();
  else
    DeleteAtCaret();
  Invalidate(false);
}

void TInputDialog::DeleteSelection() {
  const int first = selStart;
  const int last = selEnd;
  // The highlight goes first, while the cells still hold the selected characters.
  ClearSelection();
  const int count = last - first + 1;
  if (first < 0 || count <= 0 || first >= ActiveSize() - 1) return;
  if (questionMode == 1) {
    char text[kQuestionSize];
    int32_t marks[kQuestionSize];
    std::memcpy(text, questionText, sizeof text);
    std::memcpy(marks, questionMarks, sizeof marks);
    for (int k = first; k <= kQuestionSize - 2 - (count - 1); ++k) {
      text[k] = text[k + count];
      marks[k] = marks[k + count];
    }
    int32_t caret = first;
    // The range ended with a soft break's carriage return: its line feed joins the lines.
    if (text[caret] == '\n') text[caret] = ' ';
    if (!StoreWrappedQuestion(text, marks, caret)) return;
  } else {
    for (int k = first; k <= kAnswerSize - 2 - (count - 1); ++k) {
      answerText[k] = answerText[k + count];
      answerMarks[k] = answerMarks[k + count];
    }
    answerCaret = first;
    if (answerText[answerCaret] == '\n' && answerCaret > 0) --answerCaret;
    UpdateCaretPosition();
  }
}

void TInputDialog::DeleteAtCaret() {
  if (questionMode == 1) {
    char text[kQuestionSize];
    int32_t marks[kQuestionSize];
    std::memcpy(text, questionText, sizeof text);
    std::memcpy(marks, questionMarks, sizeof marks);
    int32_t caret = questionCaret;
    if (caret < 0 || caret >= kQuestionSize - 1) return;
    for (int k = caret; k <= kQuestionSize - 2; ++k) {
      text[k] = text[k + 1];
      marks[k] = marks[k + 1];
    }
    // A soft break's carriage return went: its line feed becomes the space between the lines.
    if (text[caret] == '\n') text[caret] = ' ';
    if (!StoreWrappedQuestion(text, marks, caret)) return;
  } else {
    int from = answerCaret;
    if (from < 0 || from >= kAnswerSize - 1) return;
    // A pasted break goes as a whole, leaving one space.
    if (answerText[from] == '\r') {
      answerText[from] = ' ';
      ++from;
    }
    for (int k = from; k <= kAnswerSize - 2; ++k) {
      answerText[k] = answerText[k + 1];
      answerMarks[k] = answerMarks[k + 1];
    }
  }
}

void TInputDialog::CmUndo() {
  if (questionMode != 1) return;
  std::memcpy(questionText, undoText, sizeof questionText);
  questionText[kQuestionSize - 1] = '\0';
  questionCaret = undoCaret;
  PlaceQuestionCaret();
  std::memcpy(questionMarks, undoMarks, sizeof questionMarks);
  Invalidate(false);
}

void TInputDialog::CmSubscript() { SetMarkCommand(2); }

void TInputDialog::CmSuperscript() { SetMarkCommand(1); }

void TInputDialog::SetMarkCommand(int32_t mark) {
  int32_t* marks = ActiveMarks();
  if (selectionText[0] != '\0') {
    const int first = std::max(selStart, 0);
    const int last = std::min(selEnd, ActiveSize() - 1);
    ClearSelection();
    // Break characters in the range are marked too; drawing ignores them.
    for (int i = first; i <= last; ++i) marks[i] = mark;
  } else {
    const int caret = ActiveCaret();
    if (caret >= 0 && caret < ActiveSize()) marks[caret] = mark;
  }
  NoticeMark(mark);
  Invalidate(true);
}

void TInputDialog::NoticeMark(int32_t mark) {
  markNotice_ = mark == 1 ? u"raised" : mark == 2 ? u"lowered" : u"normal";
  ++noticeCount_;
}

void TInputDialog::CmNormal() {
  NoticeMark(0);
  int32_t* marks = ActiveMarks();
  if (selectionText[0] != '\0') {
    const int first = std::max(selStart, 0);
    const int last = std::min(selEnd, ActiveSize() - 1);
    for (int i = first; i <= last; ++i) marks[i] = 0;
    ClearSelection();
    Invalidate(false);
  } else {
    const int caret = ActiveCaret();
    if (caret >= 0 && caret < ActiveSize()) marks[caret] = 0;
    Invalidate(true);
  }
}

void TInputDialog::CmGraphicAddChange() {
  if (!platform::GetOpenFileName(this, pictureDialogData)) return;
  // The test file holds the name in Windows-1252, and the limit counts those bytes.
  const std::optional<std::string> name =
      platform::FileNameToText(NameAndExtension(pictureDialogData.fileName));
  if (!name) {
    Warn(kPictureNameNotStorable);
  } else if (name->size() > kPictureNameLimit) {
    Warn(kPictureNameTooLong);
  } else {
    std::memset(pictureName, 0, sizeof pictureName);
    std::memcpy(pictureName, name->data(), name->size());
  }
  // The dialog took the caret away.
  {
    auto dc = GetClientDC();
    dc->SelectFont(editorFont);
    const platform::TSize x = dc->GetTextExtent("X");
    dc->RestoreFont();
    CreateCaret(x.cx / 4, x.cy);
  }
  SetCaretPos(caretX, caretY);
  ShowCaret();
  Invalidate(true);
}

void TInputDialog::CmGraphicDelete() {
  std::memset(pictureName, 0, sizeof pictureName);
  Invalidate(true);
}

void TInputDialog::CmHelp() {
  platform::WinHelp(this, "quest.hlp", platform::HELP_CONTENTS);
  helpOpened = 1;
}

}  // namespace editor
