#pragma once
#include <cstdint>

namespace editor {

// The editor fields the cell geometry reads: which field is active, the two texts, their
// carets and the cell size. Every character is charWidth wide; lines are lineHeight apart.
struct CaretState {
  int32_t questionMode;  // 1: the question is active, 0: the answer
  const char* questionText;
  const char* answerText;
  int32_t questionCaret;
  int32_t answerCaret;
  int32_t charWidth;
  int32_t lineHeight;
};

// Characters between the active caret and the start of its line.
int32_t CaretColumn(const CaretState& state);
// Length of the line that holds index, in the active field. At a soft break's line feed this
// is the length of the following line.
int32_t LineLength(const CaretState& state, int32_t index);
// Whether the question has a line break at or after its caret.
bool HasLaterLine(const CaretState& state);
// The top-left corner of the cell of text[index], with the field's first line at y; a soft
// break's line feed stands where the next line's first character does.
void PositionOfIndex(const CaretState& state, int32_t index, int32_t& x, int32_t& y,
                     const char* text);
// The index of the character whose cell's left edge is nearest to (px, py), in a field whose
// first line is at y0; only character cells are candidates, ties go to the earlier index, an
// empty text gives 0.
int32_t HitTest(const CaretState& state, int32_t px, int32_t py, int32_t y0, const char* text);

}  // namespace editor
