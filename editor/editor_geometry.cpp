#include <cstring>

#include "editor/formatted_text.h"
#include "editor/input_dialog.h"

// The editor's view of the cell geometry: the pure functions, over this window's fields.
namespace editor {

CaretState TInputDialog::GeometryState() const {
  return CaretState{questionMode, questionText, answerText, questionCaret,
                    answerCaret,  charWidth,    lineHeight};
}

int TInputDialog::CaretColumn() const { return editor::CaretColumn(GeometryState()); }

int TInputDialog::LineLength(int index) const {
  return editor::LineLength(GeometryState(), index);
}

bool TInputDialog::HasLaterLine() const { return editor::HasLaterLine(GeometryState()); }

void TInputDialog::PositionOfIndex(int index, int& x, int& y, const char* text) const {
  int32_t px = x;
  int32_t py = y;
  editor::PositionOfIndex(GeometryState(), index, px, py, text);
  x = px;
  y = py;
}

void TInputDialog::UpdateCaretPosition() {
  if (questionMode == 1) {
    PlaceQuestionCaret();
  } else {
    caretX = 4 + answerCaret * charWidth;
    caretY = 370;
  }
}

int TInputDialog::HitTest(int px, int py, int y0, const char* text) const {
  return editor::HitTest(GeometryState(), px, py, y0, text);
}

bool TInputDialog::WrapQuestion(char* text, int32_t* marks, int32_t& caret) const {
  return WrapText(text, marks, caret, kWrapWidth, kQuestionSize);
}

bool TInputDialog::StoreWrappedQuestion(char* text, int32_t* marks, int32_t caret) {
  if (!WrapQuestion(text, marks, caret)) {
    Warn("You cannot have a question greater than 495 characters.");
    return false;
  }
  std::memcpy(questionText, text, kQuestionSize);
  std::memcpy(questionMarks, marks, kQuestionSize * sizeof(int32_t));
  questionCaret = caret;
  PlaceQuestionCaret();
  return true;
}

}  // namespace editor
