#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/cell_geometry.h"
#include "editor/formatted_text.h"

namespace {

// Each letter's mark is derived from the letter, so a mark that lost its character shows.
int32_t MarkOf(char c) { return c == ' ' || c == '\r' || c == '\n' ? 0 : c % 3; }

// A question buffer of exactly capacity bytes on the heap: under AddressSanitizer a write past
// it fails the test.
struct Buffer {
  explicit Buffer(const std::string& s, int size = editor::kQuestionSize)
      : capacity(size), text(static_cast<std::size_t>(size), 0), marks(text.size(), 0) {
    std::memcpy(text.data(), s.data(), s.size());
    for (std::size_t i = 0; i < s.size(); ++i) marks[i] = MarkOf(s[i]);
  }
  bool Wrap(int32_t& caret) {
    return editor::WrapText(text.data(), marks.data(), caret, editor::kWrapWidth, capacity);
  }
  std::string Text() const { return std::string(text.data(), strnlen(text.data(), text.size())); }
  int capacity;
  std::vector<char> text;
  std::vector<int32_t> marks;
};

std::string Words(int count, const std::string& word) {
  std::string s;
  for (int i = 0; i < count; ++i) s += (i ? " " : "") + word;
  return s;
}

TEST(WrapText, WordMovesToANewLineAndTheCaretStaysWithItsCharacter) {
  // 16 words of four letters: the 76th column falls inside the last word, whose space (74)
  // becomes the break.
  const std::string typed = Words(16, "abcd");
  const std::string wrapped = Words(15, "abcd") + "\r\nabcd";
  struct Case { int32_t before, after; };
  for (Case c : {Case{0, 0}, {73, 73}, {74, 74}, {75, 76}, {77, 78}, {79, 80}}) {
    Buffer b(typed);
    int32_t caret = c.before;
    ASSERT_TRUE(b.Wrap(caret));
    EXPECT_EQ(b.Text(), wrapped);
    EXPECT_EQ(caret, c.after) << c.before;
    for (std::size_t i = 0; i < wrapped.size(); ++i)
      EXPECT_EQ(b.marks[i], MarkOf(wrapped[i])) << i;  // the break's two characters carry 0
  }
}

TEST(WrapText, DeletingJoinsTheLinesAndReflows) {
  struct Case { std::string text, joined; int32_t caret, caretAfter; };
  const std::vector<Case> cases = {
      // The first word of the first line was deleted: the soft break becomes a space.
      {Words(14, "abcd") + "\r\nxy", Words(14, "abcd") + " xy", 71, 70},
      {Words(14, "abcd") + "\r\nxy", Words(14, "abcd") + " xy", 70, 69},  // caret on the LF
      {Words(14, "abcd") + "\r\nxy", Words(14, "abcd") + " xy", 69, 69},
      // Three short wrapped lines run together.
      {"ab\r\ncd\r\nef", "ab cd ef", 10, 8},
      // A shortened line takes back as many words of the next as fit in 75 columns.
      {Words(14, "abcd") + "\r\nefgh ijkl", Words(15, "abcd").substr(0, 70) + "efgh\r\nijkl", 0,
       0},
  };
  for (const Case& c : cases) {
    Buffer b(c.text);
    b.marks[c.text.size()] = 2;  // the entry just past the text travels with the terminator
    int32_t caret = c.caret;
    ASSERT_TRUE(b.Wrap(caret));
    EXPECT_EQ(b.Text(), c.joined);
    EXPECT_EQ(caret, c.caretAfter) << c.text;
    for (std::size_t i = 0; i < c.joined.size(); ++i) EXPECT_EQ(b.marks[i], MarkOf(c.joined[i]));
    EXPECT_EQ(b.marks[c.joined.size()], 2);
  }
}

TEST(WrapText, TextsThatNeedNoChangeStayAsTheyAre) {
  const std::vector<std::string> unchanged = {
      "",
      std::string(75, 'a'),
      std::string(75, 'a') + "\r" + std::string(10, 'b'),       // exactly 75, then a hard break
      std::string(75, 'a') + "\r\n" + std::string(10, 'b'),     // exactly 75, then a soft break
      "short line\rsecond line\r\rthird\r",                       // hard breaks only
      // Over-long without a space back to the start: unbroken, and nothing after it is
      // wrapped in this call, not even a long line of words.
      std::string(80, 'x') + "\r" + Words(20, "word"),
      // ... or back to the previous soft break; the words after it on the line stay too.
      std::string(75, 'a') + "\r\n" + std::string(80, 'x') + " " + Words(5, "tail"),
      // A space at index 0 is not a place to break.
      " " + std::string(80, 'x'),
      // A stray line feed stops the search for a space.
      "abc def\n" + std::string(75, 'x'),
  };
  for (const std::string& text : unchanged) {
    Buffer b(text);
    const std::vector<int32_t> marksBefore = b.marks;
    int32_t caret = 3;
    ASSERT_TRUE(b.Wrap(caret));
    EXPECT_EQ(b.Text(), text);
    EXPECT_EQ(b.marks, marksBefore);
    EXPECT_EQ(caret, 3);
  }
}

TEST(WrapText, BreaksAtTheRightSpace) {
  struct Case { std::string text, wrapped; int32_t caret, caretAfter; };
  const std::vector<Case> cases = {
      // The break for an over-long line is made in the earlier line, after its hard break.
      {"one two\r" + std::string(80, 'x'), "one\r\ntwo\r" + std::string(80, 'x'), 5, 6},
      // The 76th character itself is a space: the first line keeps all 75 columns.
      {std::string(75, 'x') + " yy", std::string(75, 'x') + "\r\nyy", 75, 75},
      // Of two spaces only the last becomes the break.
      {std::string(73, 'a') + "  bbb", std::string(73, 'a') + " \r\nbbb", 76, 77},
  };
  for (const Case& c : cases) {
    Buffer b(c.text);
    int32_t caret = c.caret;
    ASSERT_TRUE(b.Wrap(caret));
    EXPECT_EQ(b.Text(), c.wrapped);
    EXPECT_EQ(caret, c.caretAfter) << c.text;
  }
}

TEST(WrapText, LinesFitTheWidthLettersKeepTheirMarksAndASecondWrapChangesNothing) {
  for (const std::string& text : {Words(60, "ab"), Words(30, "abcdefg") + "\r" + Words(9, "xyz"),
                                  Words(40, "x") + "\r\n" + Words(40, "yy")}) {
    Buffer b(text);
    int32_t caret = 0;
    ASSERT_TRUE(b.Wrap(caret));
    const std::string once = b.Text();
    std::string lettersBefore, lettersAfter;
    for (char c : text) if (c != ' ' && c != '\r' && c != '\n') lettersBefore += c;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i <= once.size(); ++i) {
      if (i < once.size() && once[i] != '\r') continue;
      EXPECT_LE(i - lineStart, 75u) << once;
      lineStart = i + 1 + (i + 1 < once.size() && once[i + 1] == '\n');
    }
    for (std::size_t i = 0; i < once.size(); ++i) {
      if (once[i] != ' ' && once[i] != '\r' && once[i] != '\n') lettersAfter += once[i];
      EXPECT_EQ(b.marks[i], MarkOf(once[i])) << i;
    }
    EXPECT_EQ(lettersAfter, lettersBefore);
    ASSERT_TRUE(b.Wrap(caret));
    EXPECT_EQ(b.Text(), once);
  }
}

// Regression: the 495-byte check comes before an insertion, and the soft breaks the wrap adds
// afterwards could carry the text past the 500-byte buffer. Such a wrap is refused whole.
TEST(WrapText, WrapPastTheBufferIsRefusedWithoutTouchingIt) {
  std::string spaced = std::string(76, 'x') + "\r" + Words(209, "a");  // 494 bytes
  spaced.insert(40, " ");  // a space typed into the unbreakable first line frees the rest
  const std::vector<std::string> worst = {
      Words(99, "abcd") + "e",  // 495 bytes, six soft breaks needed
      Words(248, "a").substr(0, 495),  // one-letter words: six breaks again
      spaced,
  };
  for (const std::string& text : worst) {
    ASSERT_EQ(text.size(), 495u);
    // The window's fields, with guards behind them: nothing may be written past either.
    struct Fields {
      char questionText[500];
      char textGuard[16];
      int32_t questionMarks[500];
      int32_t marksGuard[16];
    } fields;
    std::memset(&fields, 0x5a, sizeof fields);
    std::memset(fields.questionText, 0, sizeof fields.questionText);
    std::memcpy(fields.questionText, text.data(), text.size());
    for (int32_t& m : fields.questionMarks) m = 1;
    const Fields before = fields;
    int32_t caret = 41;
    EXPECT_FALSE(editor::WrapText(fields.questionText, fields.questionMarks, caret, 75, 500));
    EXPECT_EQ(std::memcmp(&fields, &before, sizeof fields), 0);
    EXPECT_EQ(caret, 41);

    Buffer exact(text);  // and a buffer of exactly 500 heap bytes, for the sanitizer
    caret = 0;
    EXPECT_FALSE(exact.Wrap(caret));
    EXPECT_EQ(exact.Text(), text);

    Buffer roomy(text, 1000);  // with room to spare the same wrap goes through
    ASSERT_TRUE(roomy.Wrap(caret));
    EXPECT_GT(roomy.Text().size(), 499u);
  }
}

TEST(WrapText, OnlyTheFinalLengthCountsAgainstTheCapacity) {
  struct Case { std::string text; int capacity; bool fits; };
  const std::vector<Case> cases = {
      {Words(16, "abcd"), 81, true},   // 80 bytes wrapped, with the terminator 81
      {Words(16, "abcd"), 80, false},  // the text fitted, its wrap does not
      // The new break is one byte too many for a moment; the old soft break after it is
      // undone later in the same call, so the result fits exactly.
      {Words(16, "abcd") + "\r\nq", 83, true},
  };
  for (const Case& c : cases) {
    Buffer b(c.text, c.capacity);
    int32_t caret = 0;
    EXPECT_EQ(b.Wrap(caret), c.fits) << c.text << " in " << c.capacity;
    if (!c.fits) {
      EXPECT_EQ(b.Text(), c.text);
    }
  }
}

TEST(WrapText, BufferWithoutTerminatorOrRoomIsRefused) {
  std::vector<char> text(500, 'a');
  std::vector<int32_t> marks(500, 1);
  int32_t caret = 7;
  EXPECT_FALSE(editor::WrapText(text.data(), marks.data(), caret, 75, 500));
  EXPECT_EQ(text, std::vector<char>(500, 'a'));
  EXPECT_EQ(marks, std::vector<int32_t>(500, 1));
  EXPECT_EQ(caret, 7);
  EXPECT_FALSE(editor::WrapText(text.data(), marks.data(), caret, 75, 0));
}

TEST(LineCounts, BreaksOfEitherKindCountOnce) {
  struct Case { std::string text; int32_t lines; };
  for (const Case& c : std::vector<Case>{{"", 1},
                                         {"abc", 1},
                                         {"a\rb", 2},
                                         {"a\r\nb", 2},
                                         {"a\rb\r\nc", 3},
                                         {"a\nb", 1},  // a stray line feed is no break
                                         {"\r\r\r\n", 4}}) {
    EXPECT_EQ(editor::CountLines(c.text.c_str()), c.lines) << c.text;
    core::TQuestion question;
    for (char ch : c.text) question.text.emplace_back(static_cast<unsigned char>(ch), 0);
    EXPECT_EQ(editor::CountTextLines(question), c.lines) << c.text;
  }
}

using editor::CaretState;

CaretState Question(const char* text, int32_t caret) { return {1, text, "", caret, 0, 8, 16}; }
CaretState Answer(const char* text, int32_t caret) { return {0, "", text, 0, caret, 8, 16}; }

// Two lines after a hard break, then a soft break: a0 b1 c2 CR3 d4..h8 CR9 LF10 i11 j12.
const char* const kLines = "abc\rdefgh\r\nij";

TEST(CellGeometry, CaretColumnsAndLineLengthsOfBothFields) {
  struct Case { bool question; const char* text; int32_t index, column, length; };
  const std::vector<Case> cases = {
      {true, kLines, 0, 0, 3},   {true, kLines, 2, 2, 3},   {true, kLines, 3, 3, 3},
      {true, kLines, 4, 0, 5},   {true, kLines, 6, 2, 5},   {true, kLines, 9, 5, 5},
      {true, kLines, 10, 0, 2},  // a soft break's line feed: the length of the next line
      {true, kLines, 11, 0, 2},  {true, kLines, 13, 2, 2},
      {true, kLines, -5, 0, 3},  // a negative index is taken as 0
      // The answer knows line feeds only: a carriage return is an ordinary character.
      {false, "Paris", 4, 4, 5}, {false, "ab\rcd", 4, 4, 5}, {false, "ab\rcd", 1, 1, 5},
      {false, "abc\nd", 0, 0, 3}, {false, "ab\ncd", 1, 1, 2},
      {false, "ab\ncd", 2, 2, 2}, {false, "ab\ncd", 4, 1, 2}, {false, "", 0, 0, 0},
  };
  for (const Case& c : cases) {
    const CaretState state = c.question ? Question(c.text, c.index) : Answer(c.text, c.index);
    EXPECT_EQ(editor::CaretColumn(state), c.column) << c.text << " at " << c.index;
    EXPECT_EQ(editor::LineLength(state, c.index), c.length) << c.text << " at " << c.index;
  }
}

TEST(CellGeometry, HasLaterLineLooksForACarriageReturnFromTheCaretOn) {
  struct Case { const char* text; int32_t caret; bool later; };
  for (Case c : {Case{kLines, 0, true}, {kLines, 3, true}, {kLines, 9, true}, {kLines, 10, false},
                 {kLines, 13, false}, {kLines, -1, true}, {"ab\r\ncd", 2, true},
                 {"ab\r\ncd", 3, false}, {"", 0, false}}) {
    EXPECT_EQ(editor::HasLaterLine(Question(c.text, c.caret)), c.later) << c.caret;
    CaretState answerActive = Question(c.text, c.caret);
    answerActive.questionMode = 0;  // it always reads the question
    EXPECT_EQ(editor::HasLaterLine(answerActive), c.later) << c.caret;
  }
}

TEST(CellGeometry, PositionsOverSoftAndHardBreaks) {
  struct Case { const char* text; int32_t index, y0, x, y; };
  const std::vector<Case> cases = {
      {kLines, 0, 20, 4, 20},   {kLines, 1, 20, 12, 20},  {kLines, 3, 20, 28, 20},
      {kLines, 4, 20, 4, 36},   {kLines, 9, 20, 44, 36},  {kLines, 10, 20, 4, 52},
      {kLines, 11, 20, 4, 52},  {kLines, 13, 20, 20, 52}, {kLines, 4, 370, 4, 386},
      {"a\nb", 2, 20, 20, 20},  // a stray line feed takes a cell
      {kLines, -2, 20, 4, 20},
  };
  for (const Case& c : cases) {
    int32_t x = 999;  // x always starts from the field's left edge
    int32_t y = c.y0;
    editor::PositionOfIndex(Question(c.text, 0), c.index, x, y, c.text);
    EXPECT_EQ(x, c.x) << c.text << " at " << c.index;
    EXPECT_EQ(y, c.y) << c.text << " at " << c.index;
  }
}

TEST(CellGeometry, UpdateCaretPositionFollowsTheActiveField) {
  CaretState state = Question(kLines, 12);
  editor::UpdateCaretPosition(state);
  EXPECT_EQ(state.caretX, 12);
  EXPECT_EQ(state.caretY, 52);
  state = Answer("ab\rcd", 4);  // the answer is one line whatever it holds
  state.caretX = state.caretY = 0;
  editor::UpdateCaretPosition(state);
  EXPECT_EQ(state.caretX, 36);
  EXPECT_EQ(state.caretY, 370);
}

TEST(CellGeometry, HitTestFindsTheNearestLeftEdge) {
  struct Case { const char* text; int32_t px, py, index; int32_t lineHeight = 16; };
  const std::vector<Case> cases = {
      {"", 50, 50, 0},
      {"\r\r\n", 4, 40, 0},      // breaks only: no character cell at all
      {kLines, 0, 28, 0},        // left of the first line
      {kLines, 0, 44, 4},        // left of the second line
      {kLines, 300, 44, 8},      // far right of a line: its last character, never the end
      {"abc\rd", 300, 28, 2},
      {kLines, 11, 28, 1},       // right half of 'a': the caret goes after it
      {kLines, 23, 28, 2},       // right half of 'c', the last of its line: 'c' itself
      {kLines, 8, 28, 0},        // halfway between 'a' and 'b': the earlier wins
      {kLines, 4, 36, 0},        // halfway between 'a' and 'd' on the next line
      {kLines, 12, 700, 12},     // below every line: the last line
      {kLines, 12, -100, 1},
      {"a\nb", 4, 44, 2},        // a line feed of its own breaks the line
      {"a\n\nb", 4, 44, 3},      // and a line feed right after it is skipped
      {"a\rb", 4, 35, 2, 15},    // the half line height is 7, not 7.5: 'b' is nearer
      // Squares 537127057 and 537127025 round to the same float: a tie, not 'b'.
      {"a\rb", 23180, 37, 0},
      {"abc", 30003, 28, 2},     // every cell nearer than 30000: the nearest wins
      {"abc", 30025, 28, 0},     // none nearer than 30000: the starting result stays
      {"abc", 2147483647, -2147483647 - 1, 0},
  };
  for (const Case& c : cases) {
    CaretState state = Question(c.text, 0);
    state.lineHeight = c.lineHeight;
    EXPECT_EQ(editor::HitTest(state, c.px, c.py, 20, c.text), c.index)
        << c.text << " at " << c.px << "," << c.py;
  }
  EXPECT_EQ(editor::HitTest(Answer("Paris", 0), 30, 378, 370, "Paris"), 3);
}

TEST(CellGeometry, HitTestOfACellsPositionGivesItsIndex) {
  for (const char* text : {kLines, "one\r\ntwo\rthree four\r\nfive"}) {
    for (int32_t i = 0; text[i] != 0; ++i) {
      if (text[i] == '\r' || text[i] == '\n') continue;
      int32_t x = 4;
      int32_t y = 20;
      editor::PositionOfIndex(Question(text, 0), i, x, y, text);
      EXPECT_EQ(editor::HitTest(Question(text, 0), x + 1, y + 8, 20, text), i) << text;
    }
  }
}

// Regression: an index past the terminator or below 0 made the queries read outside the
// text. Each text here is exactly as long as it is, so the sanitizer sees any such read.
TEST(CellGeometry, IndicesOutsideTheTextReadNothingPastIt) {
  const std::string source = "ab";
  std::vector<char> text(source.begin(), source.end());
  text.push_back('\0');
  const char* t = text.data();
  EXPECT_EQ(editor::CaretColumn(Question(t, 10)), 10);  // cells after the end, as zero bytes
  EXPECT_EQ(editor::CaretColumn(Question(t, -4)), 0);
  EXPECT_EQ(editor::CaretColumn(Answer(t, 10)), 10);
  EXPECT_EQ(editor::LineLength(Question(t, 0), 10), 10);
  EXPECT_EQ(editor::LineLength(Answer(t, 0), -3), 2);
  EXPECT_FALSE(editor::HasLaterLine(Question(t, 50)));
  int32_t x = 0;
  int32_t y = 20;
  editor::PositionOfIndex(Question(t, 0), 10, x, y, t);
  EXPECT_EQ(x, 84);
  EXPECT_EQ(y, 20);
}

}  // namespace
