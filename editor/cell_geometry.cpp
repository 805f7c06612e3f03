#include "editor/cell_geometry.h"

#include <cmath>

namespace editor {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr int32_t kLeft = 4;

bool QuestionActive(const CaretState& s) { return s.questionMode == 1; }

}  // namespace

int32_t CaretColumn(const CaretState& s) {
  const char* text = QuestionActive(s) ? s.questionText : s.answerText;
  int32_t i = QuestionActive(s) ? s.questionCaret : s.answerCaret;
  int32_t column = 0;
  while (i > 0 && text[i - 1] != kLF && !(QuestionActive(s) && text[i - 1] == kCR)) {
    --i;
    ++column;
  }
  return column;
}

int32_t LineLength(const CaretState& s, int32_t index) {
  const bool question = QuestionActive(s);
  const char* text = question ? s.questionText : s.answerText;
  // Forward to the end of the line; the answer knows line feeds only.
  int32_t end = index;
  while (text[end] != 0 && text[end] != (question ? kCR : kLF)) ++end;
  int32_t length = 0;
  while (end > 0 && text[end - 1] != kLF && !(question && text[end - 1] == kCR)) {
    --end;
    ++length;
  }
  return length;
}

bool HasLaterLine(const CaretState& s) {
  for (int32_t i = s.questionCaret; s.questionText[i] != 0; ++i)
    if (s.questionText[i] == kCR) return true;
  return false;
}

void PositionOfIndex(const CaretState& s, int32_t index, int32_t& x, int32_t& y,
                     const char* text) {
  x = kLeft;
  for (int32_t i = 0; i < index && text[i] != 0; ++i) {
    if (text[i] == kCR) {
      x = kLeft;
      y += s.lineHeight;
      if (text[i + 1] == kLF) ++i;
    } else {
      x += s.charWidth;
    }
  }
}

int32_t HitTest(const CaretState& s, int32_t px, int32_t py, int32_t y0, const char* text) {
  int32_t x = kLeft;
  int32_t y = y0;
  float best = 30000.0f;
  int32_t nearest = 0;
  for (int32_t i = 0; text[i] != 0; ++i) {
    if (text[i] == kCR || text[i] == kLF) {
      x = kLeft;
      y += s.lineHeight;
      if (text[i] == kCR && text[i + 1] == kLF) ++i;
      continue;
    }
    const int32_t dy = py - s.lineHeight / 2 - y;
    const int32_t dx = px - x;
    const float d = std::sqrt(static_cast<float>(dy * dy + dx * dx));
    if (d < best) {
      best = d;
      nearest = i;
    }
    x += s.charWidth;
  }
  return nearest;
}

}  // namespace editor
