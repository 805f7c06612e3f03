#include "editor/formatted_text.h"

#include <cstring>
#include <vector>

namespace editor {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// A working copy with room for the soft breaks a wrap can add; the caller's buffer is only
// written when the result fits it.
struct Work {
  Work(const char* text, const int32_t* marks, int capacity)
      : chars(static_cast<std::size_t>(capacity) * 2 + 2, 0),
        marks(chars.size(), 0),
        length(static_cast<int>(strnlen(text, static_cast<std::size_t>(capacity)))) {
    std::memcpy(chars.data(), text, static_cast<std::size_t>(length));
    std::memcpy(this->marks.data(), marks, static_cast<std::size_t>(capacity) * sizeof(int32_t));
  }
  int Size() const { return static_cast<int>(chars.size()); }

  // Removes the character at index; everything after it, terminator included, moves left.
  void Remove(int index) {
    std::memmove(&chars[index], &chars[index + 1], static_cast<std::size_t>(Size() - index - 1));
    std::memmove(&marks[index], &marks[index + 1],
                 static_cast<std::size_t>(Size() - index - 1) * sizeof(int32_t));
    chars.back() = 0;
    marks.back() = 0;
    --length;
  }
  // Opens a place at index; everything from it on moves right.
  bool Open(int index) {
    if (length + 2 >= Size()) return false;
    std::memmove(&chars[index + 1], &chars[index], static_cast<std::size_t>(Size() - index - 1));
    std::memmove(&marks[index + 1], &marks[index],
                 static_cast<std::size_t>(Size() - index - 1) * sizeof(int32_t));
    ++length;
    return true;
  }

  std::vector<char> chars;
  std::vector<int32_t> marks;
  int length;
};

}  // namespace

bool WrapText(char* text, int32_t* marks, int32_t& caret, int width, int capacity) {
  Work w(text, marks, capacity);
  std::vector<char>& t = w.chars;
  int32_t newCaret = caret;
  int p = 0;
  int col = 0;
  while (p < w.length) {
    int i = p;
    while (col < width && t[i] != kCR && t[i] != 0) {
      ++i;
      ++col;
    }
    if (col >= width && t[i] == kCR) {  // a line of exactly the width, ending in a break
      p = i + 1;
      if (t[p] == kLF) ++p;
      col = 0;
    } else if (t[i] == kCR && t[i + 1] == kLF) {  // a soft break ending a shorter line: join
      t[i] = ' ';
      w.Remove(i + 1);
      if (i < newCaret) --newCaret;
      ++col;
      p = i + 1;
    } else if (t[i] == kCR) {  // a hard break
      col = 0;
      p = i + 1;
    } else if (t[i] == 0) {
      break;
    } else {
      // The line is longer than the width: break it at the last space before here. The
      // search runs back over hard breaks but stops at a line feed and at the start.
      int s = i;
      while (s > 0 && t[s] != kLF && t[s] != ' ') --s;
      if (s == 0 || t[s] == kLF) break;  // nothing to break at: the rest stays as it is
      if (!w.Open(s + 1)) return false;
      t[s] = kCR;
      w.marks[s] = 0;
      t[s + 1] = kLF;
      w.marks[s + 1] = 0;
      if (newCaret >= s + 1) ++newCaret;
      p = s + 2;
      col = 0;
    }
  }
  if (w.length + 1 > capacity) return false;
  std::memcpy(text, t.data(), static_cast<std::size_t>(capacity));
  std::memcpy(marks, w.marks.data(), static_cast<std::size_t>(capacity) * sizeof(int32_t));
  caret = newCaret;
  return true;
}

int32_t CountLines(const char* text) {
  int32_t lines = 1;
  for (; *text; ++text)
    if (*text == kCR) ++lines;
  return lines;
}

int32_t CountTextLines(const core::TQuestion& question) {
  int32_t lines = 1;
  for (const core::TLetter& letter : question.text)
    if (letter.ch == kCR) ++lines;
  return lines;
}

}  // namespace editor
