#include <cstring>
#include <string>

#include "editor/formatted_text.h"
#include "tests/editor/editor_fixture.h"

namespace editor_testing {
namespace {

using editor::EditorProgram;
using platform::TPoint;
using platform::TSize;

constexpr const char* kQuestionTooLong = "You cannot have a question greater than 495 characters.";
constexpr const char* kTooManyLines = "You cannot have more than 6 lines.";
constexpr const char* kAnswerTooLong = "You cannot have an answer greater than 49 characters.";

void ExpectWarning(const testing_support::ScriptedUser& user, const std::string& text) {
  auto messages = user.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, text);
  EXPECT_EQ(messages[0].caption, "Warning");
  EXPECT_EQ(messages[0].style, 48u);
}

// Words of the given length separated by single spaces, exactly length characters long.
std::string Words(int length) {
  std::string line;
  while (static_cast<int>(line.size()) < length) line += (line.size() % 5 == 4) ? ' ' : 'w';
  return line;
}

TEST(EditorSetUp, ConstructionAndWindowSetUp) {
  RecordingHost host;
  editor::TInputDialog editor(nullptr, host, EditorProgram::Quizloom);
  EXPECT_EQ(editor.windowTitle().toStdString(), "Add/Change Question");
  EXPECT_TRUE(editor.isHidden());
  EXPECT_EQ(editor.pictureDialogData.filter, "Bitmap Files (*.bmp)|*.bmp|");
  EXPECT_EQ(editor.pictureDialogData.defaultExt, "bmp");
  EXPECT_EQ(editor.pictureDialogData.initialDir, "");
  EXPECT_EQ(editor.pictureDialogData.flags,
            platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST);
  EXPECT_EQ(editor.editorFont, (platform::TFont{"Courier", 10, 400}));
  EXPECT_EQ(editor.caretX, 4);
  EXPECT_EQ(editor.caretY, 20);
  EXPECT_EQ(editor.questionCaret, 0);
  EXPECT_EQ(editor.helpOpened, 0);
  EXPECT_EQ(editor.dragging, 0);
  EXPECT_EQ(editor.clipText[0], '\0');
  // Set-up measures "x" with the real font: the caret is its height less 3.
  EXPECT_GT(editor.charWidth, 0);
  EXPECT_EQ(editor.CaretSize(), (TSize{editor.charWidth / 4, editor.lineHeight - 6}));
  EXPECT_EQ(editor.CaretPos(), (TPoint{4, 20}));
  EXPECT_TRUE(host.menus.empty());
}

TEST(EditorSetUp, BeginEditingInEachProgram) {
  struct Case {
    EditorProgram program;
    int questionMode, answerOnly;
    TPoint caret;
    std::string menu;
  };
  for (const Case& c : {Case{EditorProgram::Quizloom, 1, 0, {4, 20}, "6"},
                        Case{EditorProgram::Quizdesk, 0, 1, {4, 370}, "MENU_5"}}) {
    RecordingHost host;
    platform::TRecordingDC dc;
    editor::TInputDialog editor(nullptr, host, c.program);
    editor.RecordDrawingInto(&dc);
    std::strcpy(editor.questionText, "old");
    editor.questionCaret = 2;
    editor.answerCaret = 3;
    editor.selStart = 1;
    editor.selEnd = 2;
    editor.shiftDown = 1;
    editor.dragging = 1;
    std::strcpy(editor.selectionText, "ld");
    std::strcpy(editor.undoText, "stale");
    editor.questionMarks[1] = 2;
    editor.BeginEditing();

    EXPECT_EQ(editor.questionMode, c.questionMode);
    EXPECT_EQ(editor.answerOnly, c.answerOnly);
    EXPECT_EQ((TPoint{editor.caretX, editor.caretY}), c.caret);
    EXPECT_EQ(editor.CaretPos(), c.caret);
    EXPECT_EQ(host.menus, std::vector<std::string>{c.menu});
    EXPECT_EQ(editor.charWidth, 8);
    EXPECT_EQ(editor.lineHeight, 16);
    EXPECT_EQ(editor.CaretSize(), (TSize{2, 13}));
    EXPECT_TRUE(editor.CaretVisible());
    EXPECT_EQ(editor.questionCaret, 0);
    EXPECT_EQ(editor.answerCaret, 0);
    EXPECT_EQ(editor.selStart, 600);
    EXPECT_EQ(editor.selEnd, -1);
    EXPECT_EQ(editor.shiftDown, 0);
    EXPECT_EQ(editor.dragging, 0);
    EXPECT_STREQ(editor.selectionText, "");
    // The content the main window wrote is kept, and the snapshot holds it.
    EXPECT_STREQ(editor.questionText, "old");
    EXPECT_STREQ(editor.undoText, "old");
    EXPECT_EQ(editor.undoCaret, 0);
    EXPECT_EQ(editor.undoMarks[1], 2);
    EXPECT_TRUE(editor.NeedsPaint());
  }
}

TEST(EditorSetUp, MayCloseQuitsTheHelpOnlyOnceOpened) {
  testing_support::ScriptedUser user;
  RecordingHost host;
  editor::TInputDialog editor(nullptr, host, EditorProgram::Quizloom);
  EXPECT_TRUE(editor.CanClose());
  EXPECT_TRUE(user.prompts().empty());
  editor.ProcessCommand(950);
  EXPECT_EQ(editor.helpOpened, 1);
  EXPECT_TRUE(editor.CanClose());
  ASSERT_EQ(user.prompts().size(), 2u);
  EXPECT_EQ(user.prompts()[0].text, "quest.hlp");
  EXPECT_EQ(user.prompts()[0].helpCommand, platform::HELP_CONTENTS);
  EXPECT_EQ(user.prompts()[1].text, "quest.hlp");
  EXPECT_EQ(user.prompts()[1].helpCommand, platform::HELP_QUIT);
}

class Typing : public EditorTest {};

TEST_F(Typing, CharactersGoInAtTheCaretWithMarkZero) {
  Open();
  editor->questionMarks[0] = 1;  // a mark past the end moves on with the text
  Type("H2O");
  EXPECT_EQ(Question(), "H2O");
  EXPECT_EQ(QuestionMarks(4), (std::vector<int>{0, 0, 0, 1}));
  EXPECT_EQ(State(), "q3 a0 (28,20) sel 600..-1 \"\"");
  EXPECT_TRUE(editor->NeedsPaint());
  // Control characters that arrive as characters are inserted like any other.
  Type("\x02");
  EXPECT_EQ(Question(), "H2O\x02");
  EXPECT_TRUE(user.prompts().empty());
}

TEST_F(Typing, QuestionByteLimit) {
  struct Case {
    int length;
    bool accepted;
  };
  for (const Case& c : {Case{494, true}, Case{495, false}}) {
    SCOPED_TRACE(c.length);
    user.Forget();
    // Unbreakable lines: only such a question reaches 495 bytes within six lines.
    std::string text = std::string(200, 'a') + "\r" + std::string(c.length - 201, 'b');
    Open(EditorProgram::Quizloom, text);
    editor->questionCaret = c.length;
    if (!c.accepted) user.AnswerMessage();
    Type("c");
    if (c.accepted) {
      EXPECT_EQ(Question(), text + "c");
      EXPECT_TRUE(user.prompts().empty());
    } else {
      EXPECT_EQ(Question(), text);
      EXPECT_EQ(std::string(editor->undoText), text);
      ExpectWarning(user, kQuestionTooLong);
    }
  }
}

TEST_F(Typing, SeventhLineIsRefused) {
  const std::string fiveLines = "1\r2\r3\r4\r5\r";
  struct Case {
    const char* name;
    std::string lastLine;
    std::string typed;
    bool accepted;
  };
  const Case cases[] = {
      {"Enter on the sixth line", "six", "\r", false},
      {"a character that pushes a word down", Words(75), "z", false},
      {"a Tab that pushes a word down", Words(72), "\t", false},
      {"a Tab that fits", Words(70), "\t", true},
      {"a character that fits", Words(74), "z", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    user.Forget();
    const std::string text = fiveLines + c.lastLine;
    Open(EditorProgram::Quizloom, text);
    editor->questionCaret = static_cast<int>(text.size());
    if (!c.accepted) user.AnswerMessage();
    Type(c.typed);
    if (c.accepted) {
      EXPECT_EQ(Question(), text + (c.typed == "\t" ? "     " : c.typed));
      EXPECT_TRUE(user.prompts().empty());
    } else {
      EXPECT_EQ(Question(), text);
      EXPECT_EQ(editor->questionCaret, static_cast<int>(text.size()));
      ExpectWarning(user, kTooManyLines);
    }
  }
}

TEST_F(Typing, TabInsertsFiveSpacesUnlessNearTheLimit) {
  Open(EditorProgram::Quizloom, "ab");
  editor->questionCaret = 1;
  Type("\t");
  EXPECT_EQ(Question(), "a     b");
  EXPECT_EQ(State(), "q6 a0 (52,20) sel 600..-1 \"\"");

  // With 490 bytes or more a Tab does nothing, and says nothing.
  const std::string full = std::string(250, 'a') + "\r" + std::string(239, 'b');
  ASSERT_EQ(full.size(), 490u);
  Open(EditorProgram::Quizloom, full);
  Type("\t");
  EXPECT_EQ(Question(), full);
  EXPECT_TRUE(user.prompts().empty());

  // In the answer a Tab is nothing.
  Open(EditorProgram::Quizdesk);
  Type("\t");
  EXPECT_EQ(Answer(), "");
}

TEST_F(Typing, TypingPastColumn75MovesTheWordDown) {
  // 75 characters; the last word is "wwwab", the caret in front of its "b".
  const std::string line = Words(73) + "ab";
  ASSERT_EQ(line[69], ' ');
  Open(EditorProgram::Quizloom, line);
  editor->questionCaret = 74;
  Type("x");
  EXPECT_EQ(Question(), Words(69) + "\r\nwwwaxb");
  // Still in front of the "b", now at column 5 of the second line.
  EXPECT_EQ(State(), "q76 a0 (44,36) sel 600..-1 \"\"");
  EXPECT_EQ(editor->questionText[70], '\n');
}

TEST_F(Typing, EnterInTheQuestionIsAHardBreakAndInTheAnswerIsOk) {
  Open(EditorProgram::Quizloom, "ab");
  editor->questionCaret = 1;
  Type("\r");
  EXPECT_EQ(Question(), "a\rb");
  EXPECT_EQ(State(), "q2 a0 (4,36) sel 600..-1 \"\"");
  EXPECT_EQ(host.oks, 0);

  for (EditorProgram program : {EditorProgram::Quizloom, EditorProgram::Quizdesk}) {
    Open(program, "", "42");
    editor->questionMode = 0;
    Type("\r");
    EXPECT_EQ(Answer(), "42");
    EXPECT_EQ(host.oks, 1);
    host.oks = 0;
  }
}

TEST_F(Typing, EscapeCancelsInQuizloomAndIsACharacterInQuizdesk) {
  Open(EditorProgram::Quizloom, "q");
  Type("\x1b");
  EXPECT_EQ(host.cancels, 1);
  EXPECT_EQ(Question(), "q");

  Open(EditorProgram::Quizdesk);
  Type("\x1b");
  EXPECT_EQ(host.cancels, 1);
  EXPECT_EQ(Answer(), "\x1b");
  EXPECT_EQ(editor->answerCaret, 1);
}

TEST_F(Typing, AnswerLimitAndCaret) {
  struct Case {
    int length;
    bool accepted;
  };
  for (const Case& c : {Case{48, true}, Case{49, false}}) {
    SCOPED_TRACE(c.length);
    user.Forget();
    const std::string answer(c.length, 'a');
    Open(EditorProgram::Quizdesk, "", answer);
    if (!c.accepted) user.AnswerMessage();
    Type("b");
    if (c.accepted) {
      EXPECT_EQ(Answer(), "b" + answer);
      EXPECT_EQ(State(), "q0 a1 (12,370) sel 600..-1 \"\"");
    } else {
      EXPECT_EQ(Answer(), answer);
      EXPECT_EQ(State(), "q0 a0 (4,370) sel 600..-1 \"\"");
      ExpectWarning(user, kAnswerTooLong);
    }
  }
}

TEST_F(Typing, AnswerWithAPastedBreakStillStopsAt49) {
  // A break pasted into the answer ends its first "line" early; the limit counts it all.
  const std::string answer = "ab\r\n" + std::string(45, 'c');
  Open(EditorProgram::Quizdesk, "", answer);
  user.AnswerMessage();
  Type("d");
  EXPECT_EQ(Answer(), answer);
  ExpectWarning(user, kAnswerTooLong);
  EXPECT_EQ(editor->answerText[50], '\0');
}

TEST_F(Typing, BackspaceNeverJoinsLines) {
  struct Case {
    const char* name;
    std::string text;
    int caret, caretX, caretY;
  };
  const std::string wrapped = Words(70) + "\r\nnext";
  const Case cases[] = {
      {"after a hard break", "abc\rdef", 4, 4, 36},
      {"after a soft break", wrapped, 72, 4, 36},
      {"at the start", "abc", 0, 4, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(EditorProgram::Quizloom, c.text);
    editor->questionCaret = c.caret;
    editor->caretX = c.caretX;
    editor->caretY = c.caretY;
    Type("\b");
    EXPECT_EQ(Question(), c.text);
    EXPECT_EQ(editor->questionCaret, c.caret);
  }
}

TEST_F(Typing, BackspaceRemovesTheCharacterBeforeTheCaret) {
  Open(EditorProgram::Quizloom, "abc\rdef");
  editor->questionMarks[5] = 1;
  editor->questionMarks[6] = 2;
  editor->questionCaret = 6;
  editor->caretX = 20;
  editor->caretY = 36;
  Type("\b");
  EXPECT_EQ(Question(), "abc\rdf");
  EXPECT_EQ(QuestionMarks(7), (std::vector<int>{0, 0, 0, 0, 0, 2, 0}));
  EXPECT_EQ(State(), "q5 a0 (12,36) sel 600..-1 \"\"");

  Open(EditorProgram::Quizdesk, "", "xyz");
  editor->answerMarks[2] = 1;
  Type("\b");  // at the start: nothing
  EXPECT_EQ(Answer(), "xyz");
  editor->answerCaret = 2;
  editor->caretX = 20;
  Type("\b");
  EXPECT_EQ(Answer(), "xz");
  EXPECT_EQ(AnswerMarks(3), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(State(), "q0 a1 (12,370) sel 600..-1 \"\"");
}

TEST_F(Typing, UndoGoesBackOverTheLastKeyOnly) {
  Open();
  for (char c : std::string("ab")) {
    editor->EvKeyDown(static_cast<unsigned>(std::toupper(c)));
    editor->EvChar(static_cast<unsigned char>(c));
    editor->EvKeyUp(static_cast<unsigned>(std::toupper(c)));
  }
  EXPECT_EQ(Question(), "ab");
  editor->ProcessCommand(605);
  EXPECT_EQ(Question(), "a");
  EXPECT_EQ(State(), "q1 a0 (12,20) sel 600..-1 \"\"");
  editor->ProcessCommand(605);
  EXPECT_EQ(Question(), "a");
  EXPECT_EQ(State(), "q1 a0 (12,20) sel 600..-1 \"\"");
}

TEST_F(Typing, RefusedKeyLeavesASnapshotEqualToTheText) {
  Open(EditorProgram::Quizloom, "1\r2\r3\r4\r5\r6");
  editor->questionCaret = 11;
  user.AnswerMessage();
  Type("\r");
  editor->ProcessCommand(605);
  EXPECT_EQ(Question(), "1\r2\r3\r4\r5\r6");
  EXPECT_EQ(editor->questionCaret, 11);
}

// Regression: the 495-byte check comes before the insertion, and the soft breaks the wrap
// then adds could carry the text past its 500-byte buffer. Such a change is refused.
TEST_F(Typing, WrapGrowingPastTheBufferIsRefused) {
  // An unbreakable first line stops every wrap behind it, so the long second line was
  // never wrapped. A space typed into the first line lets the wrap reach the second.
  const std::string text = std::string(76, 'x') + "\r" + Words(417);
  ASSERT_EQ(text.size(), 494u);
  {
    // Without a bound the wrapped result would need more than the buffer.
    char big[1000] = {};
    int32_t marks[1000] = {};
    std::memcpy(big, text.data(), text.size());
    big[40] = ' ';
    std::memmove(big + 41, text.data() + 40, text.size() - 40);
    int32_t caret = 41;
    ASSERT_TRUE(editor::WrapText(big, marks, caret, 75, sizeof big));
    ASSERT_GT(std::strlen(big), 499u);
  }
  Open(EditorProgram::Quizloom, text);
  editor->questionCaret = 40;
  user.AnswerMessage();
  Type(" ");
  EXPECT_EQ(Question(), text);
  EXPECT_EQ(editor->questionCaret, 40);
  EXPECT_EQ(editor->questionText[499], '\0');
  ExpectWarning(user, kQuestionTooLong);
}

TEST_F(Typing, FieldsWrittenWithoutTerminatorAreCutAtTheirLastByte) {
  editor = std::make_unique<ProbeEditor>(nullptr, host, EditorProgram::Quizdesk);
  editor->RecordDrawingInto(&dc);
  std::memset(editor->questionText, 'q', sizeof editor->questionText);
  std::memset(editor->answerText, 'a', sizeof editor->answerText);
  std::memset(editor->headerText, 'h', sizeof editor->headerText);
  std::memset(editor->pictureName, 'p', sizeof editor->pictureName);
  editor->BeginEditing();
  editor->UpdateWindow();
  EXPECT_EQ(Question(), std::string(499, 'q'));
  EXPECT_EQ(Answer(), std::string(50, 'a'));
  EXPECT_EQ(std::string(editor->headerText), std::string(150, 'h'));
  EXPECT_EQ(std::string(editor->pictureName), std::string(80, 'p'));
  user.AnswerMessage();
  Type("x");
  EXPECT_EQ(Answer(), std::string(50, 'a'));
  Click(30, 375);
  EXPECT_EQ(editor->answerCaret, 3);
}

TEST(EditorContent, LoadContentCutsWhatTheBuffersCannotHold) {
  RecordingHost host;
  editor::TInputDialog editor(nullptr, host, EditorProgram::Quizloom);
  core::TQuestion question;
  for (int i = 0; i < 600; ++i) question.text.emplace_back('a' + i % 26, i % 3);
  for (int i = 0; i < 60; ++i) question.answer.emplace_back('0' + i % 10, 1);
  std::memset(question.picture, 'p', sizeof question.picture);  // no terminator at all
  editor.LoadContent(question);
  EXPECT_EQ(std::strlen(editor.questionText), 499u);
  EXPECT_EQ(editor.questionMarks[497], 2);
  EXPECT_EQ(std::strlen(editor.answerText), 50u);
  EXPECT_EQ(editor.answerMarks[49], 1);
  EXPECT_EQ(editor.answerMarks[50], 0);
  EXPECT_EQ(std::string(editor.pictureName), std::string(79, 'p'));

  core::TQuestion small;
  small.text = {{'H', 0}, {'2', 2}, {'O', 0}};
  small.answer = {{'x', 1}};
  std::strcpy(small.picture, "CELL.BMP");
  editor.LoadContent(small);
  EXPECT_STREQ(editor.questionText, "H2O");
  EXPECT_EQ(editor.questionMarks[3], 0);  // the long question's marks are gone
  core::TQuestion stored;
  editor.StoreContent(stored);
  EXPECT_EQ(stored.text, small.text);
  EXPECT_EQ(stored.answer, small.answer);
  EXPECT_STREQ(stored.picture, "CELL.BMP");
}

}  // namespace
}  // namespace editor_testing
