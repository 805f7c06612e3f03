#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/qt_dc.h"
#include "tests/support/letter_by_letter_dc.h"

namespace {

const platform::TFont kScreenFont{"Courier", 10, 400};

// The first pixel where the same drawing through the screen's device context and through the
// reference that draws letter by letter differs, on white images of the same size.
std::string DifferenceFromLetterByLetter(const std::function<void(platform::TDC&)>& draw) {
  QImage fast(640, 120, QImage::Format_RGB32), reference(640, 120, QImage::Format_RGB32);
  fast.fill(Qt::white);
  reference.fill(Qt::white);
  {
    QPainter painter(&fast);
    platform::TQtDC dc(painter, 96);
    dc.SelectFont(kScreenFont);
    draw(dc);
    dc.RestoreFont();
  }
  {
    testing_support::TLetterByLetterDC dc(reference);
    dc.SelectFont(kScreenFont);
    draw(dc);
    dc.RestoreFont();
  }
  return testing_support::FirstDifference(fast, reference);
}

// One call a letter, as the editor and the list draw: the mark moves the letter 2 pixels up
// (1) or down (2); x advances by the cell whatever the mark.
void Letters(platform::TDC& dc, int x, int y, const std::string& text,
             const std::vector<int>& marks) {
  const int cell = dc.GetTextExtent("X").cx;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int mark = marks.empty() ? 0 : marks[i % marks.size()];
    dc.TextOut(x, y + (mark == 1 ? -2 : mark == 2 ? 2 : 0), std::string_view(&text[i], 1));
    x += cell;
  }
}

std::string Bytes(int from, int to) {
  std::string bytes;
  for (int b = from; b <= to; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(ScreenDC, DrawsTheSamePixelsAsLetterByLetter) {
  const struct {
    const char* name;
    std::function<void(platform::TDC&)> draw;
  } cases[] = {
      {"every byte, marks changing at each letter",
       [](platform::TDC& dc) {
         Letters(dc, 4, 20, Bytes(0x00, 0x4F), {0, 1, 2});
         Letters(dc, 4, 38, Bytes(0x50, 0x9F), {2, 0, 0, 1});
         Letters(dc, 4, 56, Bytes(0xA0, 0xFF), {1, 2});
       }},
      {"letters over a longer line drawn before them",
       [](platform::TDC& dc) {
         dc.TextOut(4, 20, "Answer:  " + std::string(40, '_'));
         Letters(dc, 4, 20, "H2O and x2", {0, 2, 0, 0, 0, 0, 0, 0, 0, 1});
         dc.TextOut(84, 20, std::string(20, ' '));
       }},
      {"gaps of unmarked letters, neighbours whose ink leaves the cell",
       [](platform::TDC& dc) {
         Letters(dc, 4, 20, "_\x97_\xAF_W", {1, 0, 2, 0, 1, 2});
         Letters(dc, 100, 20, "AB", {});
         Letters(dc, 124, 20, "\xC0\xC1", {1});
         Letters(dc, 4, 38, "\r\nWW\tx", {0, 0, 1});
       }},
      // A pasted line break then "WW" in one call over a longer line: two blank cells, the Ws
      // in the next two, the line's rest untouched.
      {"control bytes in one call",
       [](platform::TDC& dc) {
         dc.TextOut(4, 20, std::string(8, '_'));
         dc.TextOut(4, 20, "\r\nWW");
       }},
      {"an inverted cell between letters, and a picture",
       [](platform::TDC& dc) {
         Letters(dc, 4, 20, "abc", {});
         dc.InvertRect({12, 20, 20, 35});
         Letters(dc, 28, 20, "def", {0, 1, 0});
         QImage picture(30, 20, QImage::Format_RGB32);
         picture.fill(Qt::red);
         dc.BitBlt(60, 18, 300, 210, platform::TBitmap(picture), 0, 0);
         Letters(dc, 60, 20, "on the picture", {});
       }},
  };
  for (const auto& c : cases) EXPECT_EQ(DifferenceFromLetterByLetter(c.draw), "") << c.name;
}

// The editor counts one cell per byte for its caret, clicks and highlight, so the device must
// measure and draw every byte in one cell, a line break and a tab included.
TEST(ScreenDC, EveryByteTakesOneCellOnScreen) {
  QImage image(200, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  platform::TQtDC dc(painter, 96);
  dc.SelectFont(kScreenFont);
  const platform::TSize cell = dc.GetTextExtent("X");
  ASSERT_EQ(cell.cx, 8);
  ASSERT_EQ(cell.cy, 15);
  const struct {
    std::string text;
    int cells;
  } extents[] = {{"\r", 1}, {"\n", 1}, {"\t", 1}, {std::string(1, '\0'), 1}, {"\x7F", 1},
                 {"\x81", 1}, {"W", 1}, {"\r\nWW", 4}, {"a\tb", 3}};
  for (const auto& e : extents) {
    EXPECT_EQ(dc.GetTextExtent(e.text).cx, e.cells * cell.cx) << e.text;
    EXPECT_EQ(dc.GetTextExtent(e.text).cy, cell.cy) << e.text;
  }
}

// A raised letter under a descender and a capital under a lowered letter, on screen (2 pixels,
// lines 3 apart, cells filled) and on paper (a third of a line, no fill): the upper line keeps
// every pixel of its ink.
TEST(ScreenDC, RaisedAndLoweredLettersLeaveTheInkOfTheLinesNextToThem) {
  using Mode = platform::TQtDC::TextMode;
  for (const bool paper : {false, true}) {
    const auto draw = [&](bool below) {
      QImage image(200, 200, QImage::Format_RGB32);
      image.fill(Qt::white);
      QPainter painter(&image);
      platform::TQtDC dc(painter, paper ? 300 : 96, paper ? Mode::Transparent : Mode::Opaque);
      dc.SelectFont(paper ? platform::TFont{"Courier New", 0, 400} : kScreenFont);
      const platform::TSize cell = dc.GetTextExtent("X");
      const int line = cell.cy + 3, shift = paper ? line / 3 : 2;
      dc.TextOut(4, 10, "y");
      dc.TextOut(4 + 2 * cell.cx, 10 + shift, "2");
      if (below) dc.TextOut(4, 10 + line - shift, "2");
      if (below) dc.TextOut(4 + 2 * cell.cx, 10 + line, "X");
      dc.RestoreFont();
      return image;
    };
    const QImage alone = draw(false), both = draw(true);
    int lost = 0;
    for (int y = 0; y < alone.height(); ++y)
      for (int x = 0; x < alone.width(); ++x) lost += qGray(alone.pixel(x, y)) < 128 && qGray(both.pixel(x, y)) >= 128;
    EXPECT_EQ(lost, 0) << (paper ? "paper" : "screen");
  }
}

}  // namespace
