#pragma once
#include <cstdint>

#include "core/records.h"

namespace editor {

// Formatted text is a NUL-terminated byte buffer with one mark per byte beside it. A line
// break is a character: a lone carriage return is a hard break (Enter), a carriage return
// followed by a line feed a soft one, made only by WrapText.
inline constexpr int kQuestionSize = 500;  // bytes of the question buffer, terminator included
inline constexpr int kAnswerSize = 51;
inline constexpr int kWrapWidth = 75;
// What a question may hold: letters, lines after wrapping, and the letters of its answer.
inline constexpr int kQuestionLimit = 495;
inline constexpr int kMaxLines = 6;
inline constexpr int kAnswerLimit = 49;

// Re-wraps a question in place, characters and marks together, into lines of at most width
// columns broken at spaces: soft breaks on lines shorter than the width are undone first, so
// a paragraph reflows after every edit; hard breaks stay. caret stays in front of the same
// character. capacity is the size of both arrays. The result is false, and nothing is
// changed, when the wrapped text and its terminator would not fit in capacity bytes, or when
// the text has no terminator inside them.
bool WrapText(char* text, int32_t* marks, int32_t& caret, int width, int capacity);

// 1 + the number of carriage returns: each break of either kind counts once.
int32_t CountLines(const char* text);
int32_t CountTextLines(const core::TQuestion& question);

}  // namespace editor
