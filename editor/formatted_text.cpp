#include "editor/formatted_text.h"

#include <cstring>
#include <vector>

namespace editor {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// A working copy of the text and its marks. It has room for every soft break a wrap can add
// (one per space at most), so the wrap runs to its end before the result is measured: a
// break added early may be paid for by a join later in the same call.
class WorkingCopy {
 public:
  WorkingCopy(const char* text, const int32_t* marks, int capacity, int length)
      : chars_(2 * static_cast<std::size_t>(capacity) + 2, 0),
        marks_(chars_.size(), 0),
        length_(length) {
    std::memcpy(chars_.data(), text, static_cast<std::size_t>(capacity));
    std::memcpy(marks_.data(), marks, static_cast<std::size_t>(capacity) * sizeof(int32_t));
  }

  char& At(int index) { return chars_[static_cast<std::size_t>(index)]; }
  int32_t& MarkAt(int index) { return marks_[static_cast<std::size_t>(index)]; }
  int Length() const { return length_; }

  // Removes the character at index: the rest of the text and its marks, terminator
  // included, move one place left.
  void Remove(int index) {
    for (int k = index; k < length_; ++k) {
      At(k) = At(k + 1);
      MarkAt(k) = MarkAt(k + 1);
    }
    MarkAt(length_) = 0;
    --length_;
  }

  // Opens a place at index: the text and marks from index on, terminator included, move
  // one place right. False only if the copy itself is full, which the sizing rules out.
  bool Open(int index) {
    if (static_cast<std::size_t>(length_) + 2 > chars_.size()) return false;
    for (int k = length_ + 1; k > index; --k) {
      At(k) = At(k - 1);
      MarkAt(k) = MarkAt(k - 1);
    }
    ++length_;
    return true;
  }

  void CopyTo(char* text, int32_t* marks, int capacity) const {
    std::memcpy(text, chars_.data(), static_cast<std::size_t>(capacity));
    std::memcpy(marks, marks_.data(), static_cast<std::size_t>(capacity) * sizeof(int32_t));
  }

 private:
  std::vector<char> chars_;
  std::vector<int32_t> marks_;
  int length_;
};

}  // namespace

bool WrapText(char* text, int32_t* marks, int32_t& caret, int width, int capacity) {
  if (capacity < 1) return false;
  const void* terminator = std::memchr(text, 0, static_cast<std::size_t>(capacity));
  if (terminator == nullptr) return false;
  const int length = static_cast<int>(static_cast<const char*>(terminator) - text);

  WorkingCopy w(text, marks, capacity, length);
  int32_t newCaret = caret;
  int p = 0;
  int col = 0;
  while (p < w.Length()) {
    int i = p;
    while (col < width && w.At(i) != kCR && w.At(i) != 0) {
      ++i;
      ++col;
    }
    if (col >= width && w.At(i) == kCR) {
      // A line of exactly the width that ends in a break keeps its break.
      p = i + 1;
      if (w.At(p) == kLF) ++p;
      col = 0;
    } else if (w.At(i) == kCR && w.At(i + 1) == kLF) {
      // A soft break ending a shorter line: join, and go on scanning the joined line.
      w.At(i) = ' ';
      w.Remove(i + 1);
      if (i < newCaret) --newCaret;
      ++col;
      p = i + 1;
    } else if (w.At(i) == kCR) {
      col = 0;
      p = i + 1;
    } else if (w.At(i) == 0) {
      break;
    } else {
      // The line is longer than the width. The search for a space runs back over hard
      // breaks, into the line before, but stops at a line feed and at the start.
      int s = i;
      while (s > 0 && w.At(s) != kLF && w.At(s) != ' ') --s;
      if (s == 0 || w.At(s) == kLF) break;  // nothing to break at: the rest stays as it is
      if (!w.Open(s + 1)) return false;
      w.At(s) = kCR;
      w.MarkAt(s) = 0;
      w.At(s + 1) = kLF;
      w.MarkAt(s + 1) = 0;
      if (newCaret >= s + 1) ++newCaret;
      p = s + 2;
      col = 0;
    }
  }
  if (w.Length() + 1 > capacity) return false;
  w.CopyTo(text, marks, capacity);
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
