#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/cell_geometry.h"
#include "editor/formatted_text.h"

namespace {

using editor::CaretState;

// A question buffer with its marks, for wrapping.
struct Buffer {
  explicit Buffer(const std::string& s, int capacity = 500) : text(capacity + 8, 0), marks(capacity + 8, 0) {
    std::memcpy(text.data(), s.data(), s.size());
    for (std::size_t i = 0; i < s.size(); ++i) marks[i] = static_cast<int32_t>(i % 3);
    this->capacity = capacity;
  }
  bool Wrap(int32_t& caret) { return editor::WrapText(text.data(), marks.data(), caret, 75, capacity); }
  std::string Text() const { return std::string(text.data()); }
  std::vector<char> text;
  std::vector<int32_t> marks;
  int capacity;
};

std::string Words(int count, const std::string& word) {
  std::string s;
  for (int i = 0; i < count; ++i) s += (i ? " " : "") + word;
  return s;
}

TEST(WrapText, WordMovesToANewLineAndTheCaretStaysWithItsCharacter) {
  // 15 words of four letters and a space: the 76th column falls inside the 16th word.
  std::string line = Words(16, "abcd");  // 79 characters
  Buffer b(line);
  int32_t caret = 77;  // in front of the 'c' of the last word
  ASSERT_TRUE(b.Wrap(caret));
  EXPECT_EQ(b.Text(), Words(15, "abcd") + "\r\nabcd");
  EXPECT_EQ(b.text[caret], 'c');
  EXPECT_EQ(caret, 78);
  // Break characters carry mark 0; the letters keep theirs.
  EXPECT_EQ(b.marks[74], 0);
  EXPECT_EQ(b.marks[75], 0);
  EXPECT_EQ(b.marks[76], 75 % 3);
}

TEST(WrapText, DeletingJoinsTheLinesAgain) {
  std::string text = Words(15, "abcd") + "\r\nxy";
  text.erase(0, 5);  // the first word was deleted
  Buffer b(text);
  int32_t caret = 71;  // after the soft break
  ASSERT_TRUE(b.Wrap(caret));
  EXPECT_EQ(b.Text(), Words(14, "abcd") + " xy");
  EXPECT_EQ(caret, 70);
  EXPECT_EQ(editor::CountLines(b.text.data()), 1);
}

TEST(WrapText, TextsThatNeedNoChangeStayAsTheyAre) {
  const std::vector<std::string> unchanged = {
      std::string(75, 'a') + "\r" + std::string(10, 'b'),      // exactly 75, then a hard break
      std::string(75, 'a') + "\r\n" + std::string(10, 'b'),    // exactly 75, then a soft break
      "short line\rsecond line\rthird",                          // hard breaks only
      "",
  };
  for (const std::string& text : unchanged) {
    Buffer b(text);
    int32_t caret = 3;
    ASSERT_TRUE(b.Wrap(caret));
    EXPECT_EQ(b.Text(), text);
    EXPECT_EQ(caret, 3);
  }
}

TEST(WrapText, AnOverLongLineWithoutSpacesStopsTheWrap) {
  // Nothing after the unbreakable line is wrapped in this call, not even a long line of words.
  const std::string text = std::string(80, 'x') + "\r" + Words(20, "word");
  Buffer b(text);
  int32_t caret = 0;
  ASSERT_TRUE(b.Wrap(caret));
  EXPECT_EQ(b.Text(), text);
}

TEST(WrapText, BreakIsMadeInTheEarlierLineAfterAHardBreak) {
  const std::string text = "one two\r" + std::string(80, 'x');
  Buffer b(text);
  int32_t caret = 0;
  ASSERT_TRUE(b.Wrap(caret));
  EXPECT_EQ(b.Text(), "one\r\ntwo\r" + std::string(80, 'x'));
}

TEST(WrapText, RefusesAResultThatWouldNotFitAndChangesNothing) {
  // Short words fill 495 bytes: the soft breaks a wrap adds push the text past 499.
  std::string text = Words(99, "abcd");  // 494 characters, no breaks
  text += "e";
  ASSERT_EQ(text.size(), 495u);
  Buffer b(text);
  const std::vector<char> before = b.text;
  const std::vector<int32_t> marksBefore = b.marks;
  int32_t caret = 100;
  // Six soft breaks would be needed: 501 bytes.
  EXPECT_FALSE(b.Wrap(caret));
  EXPECT_EQ(b.text, before);
  EXPECT_EQ(b.marks, marksBefore);
  EXPECT_EQ(caret, 100);

  // The same text fits a larger buffer, with every line at most 75 columns.
  Buffer big(text, 600);
  caret = 100;
  ASSERT_TRUE(big.Wrap(caret));
  EXPECT_EQ(big.Text().size(), 501u);
  EXPECT_EQ(editor::CountLines(big.text.data()), 7);
}

TEST(WrapText, ResultThatFitsAfterALaterJoinIsKept) {
  // The new break makes the text one byte too long for a moment, the old soft break after it
  // is undone later in the same call: the result fits exactly.
  const std::string text = Words(16, "abcd") + "\r\nq";  // 82 characters
  Buffer b(text, 83);
  int32_t caret = 0;
  ASSERT_TRUE(b.Wrap(caret));
  EXPECT_EQ(b.Text(), Words(15, "abcd") + "\r\nabcd q");
}

TEST(LineCounts, BreaksOfEitherKindCountOnce) {
  EXPECT_EQ(editor::CountLines(""), 1);
  EXPECT_EQ(editor::CountLines("a\rb\r\nc"), 3);
  EXPECT_EQ(editor::CountLines("a\nb"), 1);  // a stray line feed is no break
  core::TQuestion q;
  for (char c : std::string("H\r2\r\nO")) q.text.emplace_back(static_cast<unsigned char>(c), 0);
  EXPECT_EQ(editor::CountTextLines(q), 3);
  EXPECT_EQ(editor::CountTextLines(core::TQuestion{}), 1);
}

CaretState Question(const char* text, int caret) { return {1, text, "", caret, 0, 8, 16}; }
CaretState Answer(const char* text, int caret) { return {0, "", text, 0, caret, 8, 16}; }

TEST(CellGeometry, ColumnsAndLineLengths) {
  const char* text = "abc\rdefgh\r\nij";
  EXPECT_EQ(editor::CaretColumn(Question(text, 2)), 2);
  EXPECT_EQ(editor::CaretColumn(Question(text, 6)), 2);
  EXPECT_EQ(editor::CaretColumn(Question(text, 12)), 1);
  EXPECT_EQ(editor::LineLength(Question(text, 0), 0), 3);
  EXPECT_EQ(editor::LineLength(Question(text, 0), 5), 5);
  EXPECT_EQ(editor::LineLength(Question(text, 0), 10), 2);  // a soft break's line feed: next line
  EXPECT_EQ(editor::LineLength(Question(text, 0), 13), 2);
  EXPECT_EQ(editor::CaretColumn(Answer("Paris", 4)), 4);
  EXPECT_EQ(editor::LineLength(Answer("Paris", 2), 2), 5);
  EXPECT_TRUE(editor::HasLaterLine(Question(text, 3)));
  EXPECT_FALSE(editor::HasLaterLine(Question(text, 11)));
  EXPECT_FALSE(editor::HasLaterLine(Question(text, 13)));
}

TEST(CellGeometry, PositionsOverSoftAndHardBreaks) {
  const char* text = "abc\rdefgh\r\nij";
  struct Case { int index, x, y; };
  for (Case c : std::vector<Case>{{0, 4, 20}, {3, 28, 20}, {4, 4, 36}, {9, 44, 36},
                                  {10, 4, 52}, {11, 4, 52}, {13, 20, 52}}) {
    int32_t x = 0, y = 20;
    editor::PositionOfIndex(Question(text, 0), c.index, x, y, text);
    EXPECT_EQ(x, c.x) << c.index;
    EXPECT_EQ(y, c.y) << c.index;
  }
}

TEST(CellGeometry, HitTestFindsTheNearestCellEdge) {
  const char* text = "abc\rdefgh\r\nij";
  auto hit = [&](int px, int py) { return editor::HitTest(Question(text, 0), px, py, 20, text); };
  EXPECT_EQ(editor::HitTest(Question("", 0), 50, 50, 20, ""), 0);
  EXPECT_EQ(hit(0, 28), 0);    // left of the first line
  EXPECT_EQ(hit(0, 44), 4);    // left of the second line
  EXPECT_EQ(hit(300, 44), 8);  // far right of a line: its last character, never the end
  EXPECT_EQ(editor::HitTest(Question("abc", 0), 300, 28, 20, "abc"), 2);
  EXPECT_EQ(hit(11, 28), 1);   // right half of 'a' (cell 4..12): the caret goes after it
  EXPECT_EQ(hit(23, 28), 2);   // right half of 'c', the line's last character: 'c' itself
  EXPECT_EQ(hit(8, 28), 0);    // exactly between 'a' (x 4) and 'b' (x 12): the earlier wins
  EXPECT_EQ(hit(12, 700), 12); // below every line: the nearest on the last line
}

}  // namespace
