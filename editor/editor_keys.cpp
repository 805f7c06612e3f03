#include <cstring>

#include "editor/input_dialog.h"
#include "platform/keys.h"

namespace editor {

using namespace platform;

void TInputDialog::EvKeyDown(unsigned virtualKey) {
  markNotice_ = nullptr;
  if (questionMode == 1) TakeUndoSnapshot();
  switch (virtualKey) {
    case VK_PRIOR: KeyPageUp(); break;
    case VK_NEXT: KeyPageDown(); break;
    case VK_SHIFT: shiftDown = 1; break;
    case VK_RIGHT: KeyRight(); break;
    case VK_LEFT: KeyLeft(); break;
    case VK_UP: KeyUp(); break;
    case VK_DOWN: KeyDown(); break;
    case VK_HOME: KeyHome(); break;
    case VK_END: KeyEnd(); break;
    case VK_DELETE: CmClear(); break;
    default: break;
  }
}

void TInputDialog::EvKeyUp(unsigned virtualKey) {
  // Releasing any key but the six movement keys ends Shift selection, even with Shift held.
  const bool movementKey = virtualKey >= VK_END && virtualKey <= VK_DOWN;
  if (shiftDown == 1 && !movementKey) shiftDown = 0;
}

void TInputDialog::Tail() {
  if (shiftDown == 0) ClearSelection();
  HideCaret();
  SetCaretPos(caretX, caretY);
  ShowCaret();
}

void TInputDialog::InvertRun(int fromX, int toX, int y) {
  for (int x = fromX; x < toX; x += charWidth) InvertCell(x, y);
}

bool TInputDialog::SelectionIsMultiLine() const {
  const int length = static_cast<int>(strnlen(selectionText, kQuestionSize - 1));
  for (int i = 0; i < length; ++i)
    if (selectionText[i] == '\r' && length - i - 1 >= 2) return true;
  return false;
}

void TInputDialog::KeyPageUp() {
  if (answerOnly == 1) return;
  // The highlight belongs to the field that is active now.
  ClearSelection();
  questionMode = 1;
  // Entering the question starts a new snapshot, text with its marks.
  std::memcpy(undoText, questionText, sizeof undoText);
  undoCaret = 0;
  std::memcpy(undoMarks, questionMarks, sizeof undoMarks);
  questionCaret = 0;
  UpdateCaretPosition();
  HideCaret();
  SetCaretPos(caretX, caretY);
  ShowCaret();
}

void TInputDialog::KeyPageDown() {
  if (answerOnly == 1) return;
  ClearSelection();
  questionMode = 0;
  answerCaret = 0;
  caretX = 4;
  caretY = 370;
  HideCaret();
  SetCaretPos(caretX, caretY);
  ShowCaret();
}

void TInputDialog::KeyRight() {
  const char* text = ActiveText();
  int32_t& caret = ActiveCaret();
  if (caret < 0 || caret >= ActiveSize() - 1 || text[caret] == '\0') return;
  const int lineEndX = 4 + LineLength(caret) * charWidth;
  if (caretX < lineEndX) {
    const int c0 = caret;
    if (shiftDown == 1) {
      if (selEnd < selStart)
        selStart = selEnd = c0;
      else if (c0 > selEnd)
        selEnd = c0;
      else
        selStart = c0 + 1;
    }
    ++caret;
    if (shiftDown == 1) {
      InvertCell(caretX, caretY);
      CopySelection();
    }
    caretX += charWidth;
  } else if (questionMode == 1 && strnlen(questionText, kQuestionSize - 1) < 495) {
    // Over the break to the next line's first character; the selection stays as it is.
    ++caret;
    if (text[caret] == '\n') ++caret;
    caretY += lineHeight;
    caretX = 4;
  }
  Tail();
}

void TInputDialog::KeyLeft() {
  const char* text = ActiveText();
  int32_t& caret = ActiveCaret();
  if (caretX > 4 && caret > 0) {
    const int c0 = caret;
    if (shiftDown == 1) {
      if (selEnd < selStart)
        selStart = selEnd = c0 - 1;
      else if (selEnd < c0)
        selEnd = c0 - 2;
      else
        selStart = c0 - 1;
    }
    caretX -= charWidth;
    --caret;
    if (shiftDown == 1) {
      InvertCell(caretX, caretY);
      CopySelection();
    }
  } else if (questionMode == 1 && caretY > 20 && caret > 0) {
    // Back over the break that ends the previous line, onto its carriage return.
    --caret;
    if (caret > 0 && text[caret] == '\n') --caret;
    caretY -= lineHeight;
    caretX = 4 + LineLength(questionCaret) * charWidth;
  }
  Tail();
}

void TInputDialog::KeyUp() {
  if (questionMode != 1) return;
  if (caretY > 20) {
    const int c0 = questionCaret;
    if (shiftDown == 1) {
      if (selEnd < selStart) selEnd = c0 - 1;
      InvertRun(4, caretX, caretY);
    }
    caretY -= lineHeight;
    const int h = CaretColumn();
    questionCaret -= h;
    if (questionCaret > 0) --questionCaret;
    if (questionText[questionCaret] == '\n' && questionCaret > 0) --questionCaret;
    const int g = LineLength(questionCaret);
    if (g < h)
      caretX = 4 + g * charWidth;
    else
      questionCaret -= g - h;
    if (shiftDown == 1) {
      InvertRun(caretX, 4 + g * charWidth, caretY);
      const int c1 = questionCaret;
      if (c1 < selStart)
        selStart = c1;
      else
        selEnd = c1 - 1;
      CopySelection();
    }
  }
  Tail();
}

void TInputDialog::KeyDown() {
  if (questionMode != 1) return;
  if (HasLaterLine()) {
    const int c0 = questionCaret;
    const int u = CaretColumn();
    const int v = LineLength(questionCaret);
    if (shiftDown == 1) {
      if (selEnd < selStart) selStart = c0;
      InvertRun(caretX, 4 + v * charWidth, caretY);
    }
    caretY += lineHeight;
    while (questionCaret < kQuestionSize - 2 && questionText[questionCaret] != '\r') ++questionCaret;
    ++questionCaret;
    if (questionText[questionCaret] == '\n') ++questionCaret;
    const int w = LineLength(questionCaret);
    if (w < u) {
      caretX = 4 + w * charWidth;
      questionCaret += w;
    } else {
      questionCaret += u;
    }
    if (shiftDown == 1) {
      InvertRun(4, caretX, caretY);
      const int c1 = questionCaret;
      if (selEnd + 1 < c1)
        selEnd = c1 - 1;
      else
        selStart = c1;
      CopySelection();
    }
  }
  Tail();
}

void TInputDialog::KeyHome() {
  int32_t& caret = ActiveCaret();
  const int c0 = caret;
  if (shiftDown == 1)
    for (int x = caretX - charWidth; x >= 4; x -= charWidth) InvertCell(x, caretY);
  caretX = 4;
  caret -= CaretColumn();
  if (shiftDown == 1) {
    const int c1 = caret;
    if (selEnd < selStart) {
      selStart = c1;
      selEnd = c0 - 1;
    } else if (SelectionIsMultiLine()) {
      if (selStart < c1)
        selEnd = c1 - 1;
      else
        selStart = c1;
    } else if (selEnd < c0) {
      selEnd = selStart - 1;
      selStart = c1;
    } else {
      selStart = c1;
    }
    CopySelection();
  }
  Tail();
}

void TInputDialog::KeyEnd() {
  int32_t& caret = ActiveCaret();
  const int c0 = caret;
  const int n = LineLength(caret);
  const int k = CaretColumn();
  if (shiftDown == 1) InvertRun(caretX, 4 + n * charWidth, caretY);
  caret += n - k;
  caretX = 4 + n * charWidth;
  if (shiftDown == 1) {
    const int c1 = caret;
    if (selEnd < selStart) {
      selStart = c0;
      selEnd = c1 - 1;
    } else if (SelectionIsMultiLine()) {
      if (c1 < selEnd)
        selStart = c1;
      else
        selEnd = c1 - 1;
    } else if (selStart < c0) {
      selEnd = c1 - 1;
    } else {
      selStart = selEnd + 1;
      selEnd = c1 - 1;
    }
    CopySelection();
  }
  Tail();
}

void TInputDialog::EvLButtonDown(TPoint point) {
  if (dragging == 1) return;
  // Quizdesk highlights without filling selectionText, so the range itself is looked at too.
  if (selectionText[0] != '\0' || selEnd >= selStart) ClearSelection();
  SetCapture();
  dragging = 1;
  dragIndex = HitTest(point.x, point.y, ActiveTop(), ActiveText());
  HideCaret();
}

void TInputDialog::EvMouseMove(TPoint point) {
  if (dragging == 1) dragIndex = HitTest(point.x, point.y, ActiveTop(), ActiveText());
}

void TInputDialog::EvLButtonUp(TPoint) {
  if (dragging != 1) return;
  ReleaseCapture();
  ActiveCaret() = dragIndex;
  UpdateCaretPosition();
  SetCaretPos(caretX, caretY);
  ShowCaret();
  dragging = 0;
}

}  // namespace editor
