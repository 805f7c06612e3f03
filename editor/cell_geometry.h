#pragma once
#include <cstdint>

namespace editor {

// The editor fields the cell geometry reads: which field is active, the two texts, their
// carets, the cell size and the caret's pixel position. Every character is charWidth wide;
// lines are lineHeight apart. The texts are NUL-terminated; indices past a text's end are
// taken as empty cells after it (the buffers are zero-filled there), and negative ones as 0,
// so no query reads outside the text.
struct CaretState {
  int32_t questionMode;  // 1: the question is active, 0: the answer
  const char* questionText;
  const char* answerText;
  int32_t questionCaret;
  int32_t answerCaret;
  int32_t charWidth;
  int32_t lineHeight;
  int32_t caretX = 4;
  int32_t caretY = 20;
};

// Characters between the active caret and the start of its line: back to a carriage return
// or line feed in the question, back to a line feed in the answer.
int32_t CaretColumn(const CaretState& state);
// Length of the line that holds index, in the active field (the answer knows line feeds
// only). At a soft break's line feed this is the length of the following line.
int32_t LineLength(const CaretState& state, int32_t index);
// Whether the question has a carriage return at or after its caret.
bool HasLaterLine(const CaretState& state);
// The top-left corner of the cell of text[index], with x starting at 4 and the field's first
// line at the given y; a soft break's line feed stands where the next line's first
// character does.
void PositionOfIndex(const CaretState& state, int32_t index, int32_t& x, int32_t& y,
                     const char* text);
// Puts caretX and caretY at the active caret: in the question by PositionOfIndex from
// (4, 20), in the answer on its one line at y 370.
void UpdateCaretPosition(CaretState& state);
// The index of the character whose cell's left-edge middle is nearest to (px, py), in a
// field whose first line is at y0. Only character cells are candidates, so a point right of
// a line gives its last character; ties go to the earlier index; an empty text gives 0.
int32_t HitTest(const CaretState& state, int32_t px, int32_t py, int32_t y0, const char* text);

}  // namespace editor
