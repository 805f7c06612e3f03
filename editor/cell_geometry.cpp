#include "editor/cell_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace editor {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr int32_t kLeft = 4;
constexpr int32_t kQuestionTop = 20;
constexpr int32_t kAnswerTop = 370;
constexpr int32_t kFarthest = 30000;  // the nearest distance HitTest starts from

// A text read as the editor's zero-filled buffer: every byte past the terminator is 0,
// without being read.
class Text {
 public:
  explicit Text(const char* text)
      : text_(text), length_(static_cast<int32_t>(std::strlen(text))) {}
  char operator[](int32_t index) const {
    return index >= 0 && index < length_ ? text_[index] : '\0';
  }
  int32_t Length() const { return length_; }

  // The index just past the nearest break before index (a line feed, and in the question a
  // carriage return too), or 0.
  int32_t LineStart(int32_t index, bool question) const {
    int32_t i = std::clamp(index, 0, length_);
    while (i > 0 && text_[i - 1] != kLF && !(question && text_[i - 1] == kCR)) --i;
    return i;
  }

 private:
  const char* text_;
  int32_t length_;
};

bool QuestionActive(const CaretState& state) { return state.questionMode == 1; }

}  // namespace

int32_t CaretColumn(const CaretState& state) {
  const bool question = QuestionActive(state);
  const Text text(question ? state.questionText : state.answerText);
  const int32_t caret = std::max(question ? state.questionCaret : state.answerCaret, 0);
  return caret - text.LineStart(caret, question);
}

int32_t LineLength(const CaretState& state, int32_t index) {
  const bool question = QuestionActive(state);
  const Text text(question ? state.questionText : state.answerText);
  // Forward to the end of the line: a carriage return in the question, a line feed in the
  // answer, or the terminator.
  int32_t end = std::max(index, 0);
  while (text[end] != 0 && text[end] != (question ? kCR : kLF)) ++end;
  return end - text.LineStart(end, question);
}

bool HasLaterLine(const CaretState& state) {
  const Text text(state.questionText);
  for (int32_t i = std::max(state.questionCaret, 0); i < text.Length(); ++i)
    if (text[i] == kCR) return true;
  return false;
}

void PositionOfIndex(const CaretState& state, int32_t index, int32_t& x, int32_t& y,
                     const char* characters) {
  const Text text(characters);
  const int32_t inside = std::clamp(index, 0, text.Length());
  x = kLeft;
  for (int32_t i = 0; i < inside; ++i) {
    if (text[i] == kCR) {
      x = kLeft;
      y += state.lineHeight;
      if (text[i + 1] == kLF) ++i;
    } else {
      x += state.charWidth;
    }
  }
  // Past the terminator the buffer holds zero bytes, each an ordinary cell.
  if (index > inside)
    x = static_cast<int32_t>(x + static_cast<int64_t>(index - inside) * state.charWidth);
}

void UpdateCaretPosition(CaretState& state) {
  if (QuestionActive(state)) {
    state.caretY = kQuestionTop;
    PositionOfIndex(state, state.questionCaret, state.caretX, state.caretY, state.questionText);
  } else {
    state.caretX = kLeft + state.answerCaret * state.charWidth;
    state.caretY = kAnswerTop;
  }
}

int32_t HitTest(const CaretState& state, int32_t px, int32_t py, int32_t y0,
                const char* characters) {
  const Text text(characters);
  int64_t x = kLeft;
  int64_t y = y0;
  float best = static_cast<float>(kFarthest);
  int32_t nearest = 0;
  for (int32_t i = 0; i < text.Length(); ++i) {
    if (text[i] == kCR || text[i] == kLF) {
      x = kLeft;
      y += state.lineHeight;
      if (text[i + 1] == kLF) ++i;
      continue;
    }
    // The distance to the middle of the cell's left edge, with the half line height in
    // whole pixels, the sum of squares as an integer and the root in single precision: all
    // three decide which of two near cells wins. A cell more than 30000 pixels away along
    // either axis can never beat the starting best, so it is passed over before squaring.
    const int64_t dy = static_cast<int64_t>(py) - state.lineHeight / 2 - y;
    const int64_t dx = static_cast<int64_t>(px) - x;
    if (std::max(std::abs(dx), std::abs(dy)) <= kFarthest) {
      const int32_t squares = static_cast<int32_t>(dy * dy + dx * dx);
      const float d = std::sqrt(static_cast<float>(squares));
      if (d < best) {
        best = d;
        nearest = i;
      }
    }
    x += state.charWidth;
  }
  return nearest;
}

}  // namespace editor
