#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QKeyEvent>

#include "platform/edit_file.h"

namespace {

std::pair<int, int> Selection(platform::TEditFile& window) {
  int start = -1;
  int end = -1;
  window.GetSelection(start, end);
  return {start, end};
}

// "ab" line end "cd" line end "" : in old positions a, b, CR, LF, c, d, CR, LF.
TEST(EditFile, PositionsCountALineEndAsTwoCharacters) {
  platform::TEditFile window(nullptr);
  window.SetText("ab\ncd\n");
  struct Case {
    int start, end;           // asked for
    int gotStart, gotEnd;     // reported back
    const char* selected;
  } cases[] = {
      {0, 0, 0, 0, ""},
      {1, 5, 1, 5, "b\r\nc"},
      {0, 8, 0, 8, "ab\r\ncd\r\n"},
      {4, 6, 4, 6, "cd"},
      {3, 4, 2, 4, "\r\n"},         // inside a line end: the end of its line
      {6, 8, 6, 8, "\r\n"},
      {0, 99, 0, 8, "ab\r\ncd\r\n"},
      {-3, 2, 0, 2, "ab"},
  };
  for (const Case& c : cases) {
    window.SetSelection(c.start, c.end);
    EXPECT_EQ(Selection(window), std::make_pair(c.gotStart, c.gotEnd)) << c.start << "-" << c.end;
    EXPECT_EQ(window.GetSelectedText(), c.selected) << c.start << "-" << c.end;
  }
}

TEST(EditFile, SetTextPutsTheCaretAtTheStartAndDeleteTakesTheSelectionOut) {
  platform::TEditFile window(nullptr);
  window.SetText("first\nsecond \xE9t\xE9\n\xFF");
  EXPECT_EQ(Selection(window), std::make_pair(0, 0));
  EXPECT_EQ(window.GetText(), "first\r\nsecond \xE9t\xE9\r\n\xFF");
  window.SetSelection(3, 9);
  window.DeleteSelection();
  EXPECT_EQ(window.GetText(), "fircond \xE9t\xE9\r\n\xFF");
  EXPECT_EQ(Selection(window), std::make_pair(3, 3));
}

// What the window holds is always what the bytes will be: a Greek letter cannot be typed,
// and pasted text keeps its places with '?' and line ends of any kind as one.
TEST(EditFile, OnlyCharactersOfTheCodePageGetIn) {
  platform::TEditFile window(nullptr);
  window.SetText("");
  for (QChar c : QString::fromUtf8("a\u03B1\u00E9b")) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(window.Editor(), &press);
  }
  EXPECT_EQ(window.GetText(), "a\xE9" "b");
  // Alt+S with the window not active (no window manager gave it back after a dialog) goes
  // on to the frame; it never becomes an "s" in the text.
  QKeyEvent altS(QEvent::KeyPress, Qt::Key_S, Qt::AltModifier, "s");
  QApplication::sendEvent(window.Editor(), &altS);
  EXPECT_FALSE(altS.isAccepted());
  EXPECT_EQ(window.GetText(), "a\xE9" "b");
  QApplication::clipboard()->setText(QString::fromUtf8("x\r\ny\rz\u2211\u20AC"));
  window.Editor()->paste();
  EXPECT_EQ(window.GetText(), "a\xE9" "bx\r\ny\r\nz?\x80");
  // Shift+Enter would make a line separator: shown as a line end, yet one position and a '?'.
  window.SetText("ab");
  window.SetSelection(1, 1);
  QKeyEvent shiftEnter(QEvent::KeyPress, Qt::Key_Return, Qt::ShiftModifier, "\r");
  QApplication::sendEvent(window.Editor(), &shiftEnter);
  window.SetSelection(0, 4);
  EXPECT_EQ(window.GetSelectedText(), "a\r\nb");
}

}  // namespace
