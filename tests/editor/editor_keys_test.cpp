#include <QApplication>
#include <QKeyEvent>

#include <string>

#include "tests/editor/editor_fixture.h"

namespace editor_testing {
namespace {

using editor::EditorProgram;
using platform::VK_DOWN;
using platform::VK_END;
using platform::VK_HOME;
using platform::VK_LEFT;
using platform::VK_NEXT;
using platform::VK_PRIOR;
using platform::VK_RIGHT;
using platform::VK_SHIFT;
using platform::VK_UP;

class Keys : public EditorTest {
 protected:
  // Puts the question caret on an index, with its pixel position, without a key.
  void PlaceCaret(int index, int x, int y) {
    editor->questionCaret = index;
    editor->caretX = x;
    editor->caretY = y;
  }
};

TEST_F(Keys, RightAndLeftOverASoftBreak) {
  // A stable wrap: the two lines joined would be 77 characters.
  const std::string first(72, 'w');
  Open(EditorProgram::Quizloom, first + "\r\nvvvv");
  Press(VK_END);
  EXPECT_EQ(State(), "q72 a0 (580,20) sel 600..-1 \"\"");
  Press(VK_RIGHT);
  EXPECT_EQ(State(), "q74 a0 (4,36) sel 600..-1 \"\"");
  EXPECT_EQ(editor->CaretPos(), (platform::TPoint{4, 36}));
  Press(VK_LEFT);
  EXPECT_EQ(State(), "q72 a0 (580,20) sel 600..-1 \"\"");
  Press(VK_RIGHT);
  Type("x");  // typed at the start of the second line
  EXPECT_EQ(Question(), first + "\r\nxvvvv");
  EXPECT_EQ(State(), "q75 a0 (12,36) sel 600..-1 \"\"");
}

TEST_F(Keys, KeysThatDoNotApplyChangeNothing) {
  struct Case {
    const char* name;
    EditorProgram program;
    std::string question;
    unsigned key;
  };
  const Case cases[] = {
      {"Right at the end of the text", EditorProgram::Quizloom, "ab", VK_RIGHT},
      {"Left at the start", EditorProgram::Quizloom, "ab", VK_LEFT},
      {"Up in the answer", EditorProgram::Quizdesk, "a\rb", VK_UP},
      {"Down in the answer", EditorProgram::Quizdesk, "a\rb", VK_DOWN},
      {"Page Up in Quizdesk", EditorProgram::Quizdesk, "a\rb", VK_PRIOR},
      {"Page Down in Quizdesk", EditorProgram::Quizdesk, "a\rb", VK_NEXT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.program, c.question, "ab");
    if (c.key == VK_RIGHT) Press(VK_END);
    const std::string before = State();
    const int mode = editor->questionMode;
    Press(c.key);
    EXPECT_EQ(State(), before);
    EXPECT_EQ(editor->questionMode, mode);
    EXPECT_TRUE(dc.Inversions().empty());
  }
}

TEST_F(Keys, RightAtALineEndStopsOnceTheQuestionHolds495Bytes) {
  const std::string text = std::string(200, 'a') + "\r" + std::string(294, 'b');
  ASSERT_EQ(text.size(), 495u);
  Open(EditorProgram::Quizloom, text);
  PlaceCaret(200, 4 + 200 * 8, 20);
  Press(VK_RIGHT);
  EXPECT_EQ(State(), "q200 a0 (1604,20) sel 600..-1 \"\"");
}

TEST_F(Keys, UpAndDownKeepTheColumnOrGoToAShorterLinesEnd) {
  // Lines: "abcdefgh" (0..7, break 8), "xyz" (9..11, break 12), "lmnopqrs" (13..20),
  // and a soft-wrapped pair "abcdefgh" + "xyz".
  const std::string hard = "abcdefgh\rxyz\rlmnopqrs";
  const std::string soft = "abcdefgh\r\nxyz";
  struct Case {
    const char* name;
    std::string text;
    int caret, x, y;
    unsigned key;
    std::string expected;
  };
  const Case cases[] = {
      {"down to a shorter line", hard, 5, 44, 20, VK_DOWN, "q12 a0 (28,36) sel 600..-1 \"\""},
      {"down keeping the column", hard, 10, 12, 36, VK_DOWN, "q14 a0 (12,52) sel 600..-1 \"\""},
      {"up to a shorter line", hard, 18, 44, 52, VK_UP, "q12 a0 (28,36) sel 600..-1 \"\""},
      {"up keeping the column", hard, 11, 20, 36, VK_UP, "q2 a0 (20,20) sel 600..-1 \"\""},
      {"up over a soft break", soft, 12, 20, 36, VK_UP, "q2 a0 (20,20) sel 600..-1 \"\""},
      {"down over a soft break", soft, 2, 20, 20, VK_DOWN, "q12 a0 (20,36) sel 600..-1 \"\""},
      {"up on the first line", hard, 3, 28, 20, VK_UP, "q3 a0 (28,20) sel 600..-1 \"\""},
      {"down on the last line", hard, 15, 20, 52, VK_DOWN, "q15 a0 (20,52) sel 600..-1 \"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(EditorProgram::Quizloom, c.text);
    PlaceCaret(c.caret, c.x, c.y);
    Press(c.key);
    EXPECT_EQ(State(), c.expected);
    EXPECT_EQ(editor->CaretPos(), (platform::TPoint{editor->caretX, editor->caretY}));
  }
}

TEST_F(Keys, UpOnTheFirstLineStillClearsASelectionWithoutShift) {
  Open(EditorProgram::Quizloom, "abc");
  ShiftPress({VK_RIGHT});
  dc.Clear();
  Press(VK_UP);
  EXPECT_EQ(State(), "q1 a0 (12,20) sel 600..-1 \"\"");
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 20}}));
}

TEST_F(Keys, HomeAndEnd) {
  Open(EditorProgram::Quizloom, "abc\rdefgh");
  PlaceCaret(6, 20, 36);
  Press(VK_END);
  EXPECT_EQ(State(), "q9 a0 (44,36) sel 600..-1 \"\"");
  Press(VK_HOME);
  EXPECT_EQ(State(), "q4 a0 (4,36) sel 600..-1 \"\"");

  Open(EditorProgram::Quizdesk, "", "answer");
  Press(VK_END);
  EXPECT_EQ(State(), "q0 a6 (52,370) sel 600..-1 \"\"");
  Press(VK_HOME);
  EXPECT_EQ(State(), "q0 a0 (4,370) sel 600..-1 \"\"");
}

TEST_F(Keys, ShiftRightThreeTimesThenShiftLeft) {
  Open(EditorProgram::Quizloom, "abcdef");
  ShiftPress({VK_RIGHT, VK_RIGHT, VK_RIGHT});
  EXPECT_EQ(State(), "q3 a0 (28,20) sel 0..2 \"abc\"");
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 20}, {12, 20}, {20, 20}}));
  EXPECT_EQ(host.Menu(), "7");
  ShiftPress({VK_LEFT});
  EXPECT_EQ(State(), "q2 a0 (20,20) sel 0..1 \"ab\"");
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 20}, {12, 20}, {20, 20}, {20, 20}}));
  ShiftPress({VK_LEFT, VK_LEFT});
  EXPECT_EQ(State(), "q0 a0 (4,20) sel 0..-1 \"\"");
  EXPECT_EQ(host.Menu(), "6");
}

TEST_F(Keys, ShiftLeftFromTheRight) {
  Open(EditorProgram::Quizloom, "abcdef");
  Press(VK_END);
  ShiftPress({VK_LEFT, VK_LEFT});
  EXPECT_EQ(State(), "q4 a0 (36,20) sel 4..5 \"ef\"");
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{44, 20}, {36, 20}}));
  ShiftPress({VK_RIGHT});
  EXPECT_EQ(State(), "q5 a0 (44,20) sel 5..5 \"f\"");
}

TEST_F(Keys, ShiftEndThenShiftHome) {
  Open(EditorProgram::Quizloom, "abcdefghij\rxyz");
  PlaceCaret(5, 44, 20);
  ShiftPress({VK_END});
  EXPECT_EQ(State(), "q10 a0 (84,20) sel 5..9 \"fghij\"");
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{44, 20}, {52, 20}, {60, 20}, {68, 20}, {76, 20}}));
  dc.Clear();
  ShiftPress({VK_HOME});
  EXPECT_EQ(State(), "q0 a0 (4,20) sel 0..4 \"abcde\"");
  std::vector<Cell> whole;
  for (int x = 76; x >= 4; x -= 8) whole.push_back({x, 20});
  EXPECT_EQ(Inverted(), whole);
  EXPECT_EQ(host.Menu(), "7");
}

TEST_F(Keys, ShiftDownThenShiftUp) {
  Open(EditorProgram::Quizloom, "abcd\rwxyz");
  PlaceCaret(2, 20, 20);
  ShiftPress({VK_DOWN});
  // From "c" over the break to the same column below: "cd", the break and "wx".
  EXPECT_EQ(State(), "q7 a0 (20,36) sel 2..6 \"cd\rwx\"");
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{20, 20}, {28, 20}, {4, 36}, {12, 36}}));
  dc.Clear();
  ShiftPress({VK_UP});
  EXPECT_EQ(State(), "q2 a0 (20,20) sel 2..1 \"\"");
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 36}, {12, 36}, {20, 20}, {28, 20}}));
  EXPECT_EQ(host.Menu(), "6");
}

TEST_F(Keys, ReleasingALetterWithShiftHeldEndsTheSelection) {
  Open(EditorProgram::Quizloom, "abc");
  editor->EvKeyDown(VK_SHIFT);
  Press(VK_RIGHT);
  EXPECT_EQ(State(), "q1 a0 (12,20) sel 0..0 \"a\"");
  Press('A');  // Shift is still down
  EXPECT_EQ(editor->shiftDown, 0);
  dc.Clear();
  Press(VK_RIGHT);
  EXPECT_EQ(State(), "q2 a0 (20,20) sel 600..-1 \"\"");
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 20}}));
  editor->EvKeyUp(VK_SHIFT);
}

TEST_F(Keys, OnlyTheSixMovementKeysKeepShiftSelectionWhenReleased) {
  Open(EditorProgram::Quizloom, "abc");
  for (unsigned key = 0x21; key <= 0x2E; ++key) {
    editor->shiftDown = 1;
    editor->EvKeyUp(key);
    const bool kept = key >= VK_END && key <= VK_DOWN;
    EXPECT_EQ(editor->shiftDown, kept ? 1 : 0) << "key " << key;
  }
  editor->shiftDown = 1;
  editor->EvKeyUp('A');
  EXPECT_EQ(editor->shiftDown, 0);
}

TEST_F(Keys, PageDownAndPageUpSwitchFields) {
  Open(EditorProgram::Quizloom, "ab", "xy");
  editor->questionMarks[1] = 2;
  Press(VK_RIGHT);
  Press(VK_NEXT);
  EXPECT_EQ(editor->questionMode, 0);
  EXPECT_EQ(State(), "q1 a0 (4,370) sel 600..-1 \"\"");
  EXPECT_EQ(editor->CaretPos(), (platform::TPoint{4, 370}));
  Press(VK_RIGHT);
  Press(VK_PRIOR);
  EXPECT_EQ(editor->questionMode, 1);
  EXPECT_EQ(State(), "q0 a1 (4,20) sel 600..-1 \"\"");
  EXPECT_EQ(editor->undoCaret, 0);
  EXPECT_STREQ(editor->undoText, "ab");
  EXPECT_EQ(editor->undoMarks[1], 2);
  EXPECT_EQ(editor->CaretPos(), (platform::TPoint{4, 20}));
}

// Regression: Page Up made the question active before clearing, so the highlight of an
// answer selection was inverted on the question's cells and stayed on the answer.
TEST_F(Keys, PageUpClearsTheAnswerHighlightWhereItIs) {
  Open(EditorProgram::Quizloom, "question", "answer");
  Press(VK_NEXT);
  ShiftPress({VK_RIGHT, VK_RIGHT});
  dc.Clear();
  Press(VK_PRIOR);
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 370}, {12, 370}}));
}

// Regression: Undo before the first key of an edit brought back an empty snapshot and so
// emptied the question being changed.
TEST_F(Keys, UndoBeforeAnyKeyKeepsTheQuestion) {
  Open(EditorProgram::Quizloom, "keep me");
  editor->ProcessCommand(605);
  EXPECT_EQ(Question(), "keep me");
}

TEST_F(Keys, ClicksPutTheCaretOnTheNearestCharacter) {
  struct Case {
    const char* name;
    int x, y;
    std::string expected;
  };
  const Case cases[] = {
      {"right half of a character", 17, 25, "q2 a0 (20,20) sel 600..-1 \"\""},
      {"left half of a character", 13, 25, "q1 a0 (12,20) sel 600..-1 \"\""},
      {"right half of a line's last character", 26, 25, "q2 a0 (20,20) sel 600..-1 \"\""},
      {"far right of a line", 300, 41, "q7 a0 (28,36) sel 600..-1 \"\""},
      {"left of a line", 0, 41, "q4 a0 (4,36) sel 600..-1 \"\""},
      // Only the active field is hit: the nearest of the question's characters.
      {"in the answer's area", 30, 375, "q7 a0 (28,36) sel 600..-1 \"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(EditorProgram::Quizloom, "abc\rdefg", "xyz");
    Click(c.x, c.y);
    EXPECT_EQ(State(), c.expected);
    EXPECT_EQ(editor->dragging, 0);
    EXPECT_FALSE(editor->HasCapture());
    EXPECT_TRUE(editor->CaretVisible());
    EXPECT_EQ(editor->CaretPos(), (platform::TPoint{editor->caretX, editor->caretY}));
  }
}

TEST_F(Keys, DraggingMovesTheCaretToTheReleasePointOnly) {
  Open(EditorProgram::Quizdesk, "", "abcdef");
  editor->EvLButtonDown({5, 375});
  EXPECT_EQ(editor->dragging, 1);
  EXPECT_TRUE(editor->HasCapture());
  EXPECT_FALSE(editor->CaretVisible());
  editor->EvLButtonDown({40, 375});  // ignored while dragging
  editor->EvMouseMove({30, 375});
  EXPECT_EQ(editor->dragIndex, 3);
  EXPECT_EQ(editor->answerCaret, 0);
  editor->EvMouseMove({45, 380});
  editor->EvLButtonUp({45, 380});
  EXPECT_EQ(State(), "q0 a5 (44,370) sel 600..-1 \"\"");
  EXPECT_TRUE(dc.Inversions().empty());
  EXPECT_TRUE(editor->CaretVisible());
}

TEST_F(Keys, AClickRemovesTheSelection) {
  for (EditorProgram program : {EditorProgram::Quizloom, EditorProgram::Quizdesk}) {
    Open(program, "abcd", "abcd");
    ShiftPress({VK_RIGHT, VK_RIGHT});
    dc.Clear();
    Click(100, 100);
    const int top = program == EditorProgram::Quizloom ? 20 : 370;
    EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, top}, {12, top}}));
    EXPECT_EQ(editor->selStart, 600);
    EXPECT_EQ(editor->selEnd, -1);
    EXPECT_STREQ(editor->selectionText, "");
  }
}

TEST_F(Keys, DeleteKeyActsLikeClear) {
  Open(EditorProgram::Quizloom, "abcd");
  ShiftPress({VK_RIGHT, VK_RIGHT});
  Press(platform::VK_DELETE);
  EXPECT_EQ(Question(), "cd");
  EXPECT_TRUE(editor->NeedsPaint());
  // Undo goes back to before the Delete key.
  editor->ProcessCommand(605);
  EXPECT_EQ(Question(), "abcd");
  EXPECT_EQ(editor->questionCaret, 2);
}

// Keys sent as Qt key events, translated by the window as the editor gets them in use.
void SendKey(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(&widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(&widget, &release);
}

TEST_F(Keys, QtKeyEventsReachTheEditor) {
  Open(EditorProgram::Quizloom);
  SendKey(*editor, Qt::Key_H, Qt::ShiftModifier, "H");
  SendKey(*editor, Qt::Key_2, Qt::NoModifier, "2");
  SendKey(*editor, Qt::Key_O, Qt::ShiftModifier, "O");
  SendKey(*editor, Qt::Key_Left, Qt::NoModifier, "");
  EXPECT_EQ(Question(), "H2O");
  EXPECT_EQ(State(), "q2 a0 (20,20) sel 600..-1 \"\"");
  // Alt combinations belong to the accelerators, never to the editor's own keys.
  SendKey(*editor, Qt::Key_Down, Qt::AltModifier, "");
  EXPECT_EQ(State(), "q2 a0 (20,20) sel 600..-1 \"\"");
  // Subscript goes on the character right of the caret.
  editor->ProcessCommand(607);
  EXPECT_EQ(QuestionMarks(3), (std::vector<int>{0, 0, 2}));

  // Shift with the arrows selects; Enter and Tab arrive as characters.
  QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  QApplication::sendEvent(editor.get(), &shift);
  SendKey(*editor, Qt::Key_Left, Qt::ShiftModifier, "");
  EXPECT_EQ(State(), "q1 a0 (12,20) sel 1..1 \"2\"");
  QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
  QApplication::sendEvent(editor.get(), &shiftUp);
  EXPECT_EQ(editor->shiftDown, 0);
  Press(VK_END);
  SendKey(*editor, Qt::Key_Return, Qt::NoModifier, "\r");
  SendKey(*editor, Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_EQ(Question(), "H2O\r     ");
  SendKey(*editor, Qt::Key_Backspace, Qt::NoModifier, "\b");
  EXPECT_EQ(Question(), "H2O\r    ");
}

}  // namespace
}  // namespace editor_testing
