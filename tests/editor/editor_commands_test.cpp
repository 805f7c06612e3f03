#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstring>
#include <string>

#include "editor/letter_drawing.h"
#include "tests/editor/editor_fixture.h"

namespace editor_testing {
namespace {

using editor::EditorProgram;
using platform::VK_DOWN;
using platform::VK_END;
using platform::VK_LEFT;
using platform::VK_NEXT;
using platform::VK_RIGHT;

void ExpectWarning(const testing_support::ScriptedUser& user, const std::string& text) {
  auto messages = user.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, text);
  EXPECT_EQ(messages[0].caption, "Warning");
  EXPECT_EQ(messages[0].style, 48u);
}

class Commands : public EditorTest {
 protected:
  void SetClip(const std::string& text, std::vector<int32_t> marks = {}) {
    std::memset(editor->clipText, 0, sizeof editor->clipText);
    std::memcpy(editor->clipText, text.data(), text.size());
    marks.resize(text.size() + 1, 0);
    std::copy(marks.begin(), marks.end(), editor->clipMarks);
  }
};

TEST_F(Commands, CutThreeLettersAndPasteThemElsewhere) {
  Open(EditorProgram::Quizloom, "abcdef");
  editor->questionMarks[1] = 1;
  ShiftPress({VK_RIGHT, VK_RIGHT, VK_RIGHT});
  EXPECT_EQ(State(), "q3 a0 (28,20) sel 0..2 \"abc\"");
  EXPECT_EQ(host.menus, (std::vector<std::string>{"7", "7", "7"}));
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 20}, {12, 20}, {20, 20}}));

  dc.Clear();
  editor->ProcessCommand(601);
  EXPECT_EQ(Question(), "def");
  EXPECT_STREQ(editor->clipText, "abc");
  EXPECT_EQ(std::vector<int>(editor->clipMarks, editor->clipMarks + 4),
            (std::vector<int>{0, 1, 0, 0}));
  EXPECT_EQ(host.Menu(), "8");
  EXPECT_EQ(State(), "q0 a0 (4,20) sel 600..-1 \"\"");
  // The highlight went off the three cells it was on.
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 20}, {12, 20}, {20, 20}}));
  EXPECT_TRUE(editor->NeedsPaint());

  Press(VK_END);
  editor->ProcessCommand(603);
  EXPECT_EQ(Question(), "defabc");
  EXPECT_EQ(QuestionMarks(7), (std::vector<int>{0, 0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(State(), "q6 a0 (52,20) sel 600..-1 \"\"");
  EXPECT_EQ(host.Menu(), "6");
  EXPECT_STREQ(editor->clipText, "abc");  // the clipboard keeps its content

  // Undo takes back the paste; a second Undo changes nothing more.
  editor->ProcessCommand(605);
  EXPECT_EQ(Question(), "def");
  EXPECT_EQ(editor->questionCaret, 3);
  editor->ProcessCommand(605);
  EXPECT_EQ(Question(), "def");
}

TEST_F(Commands, TheClipboardOutlivesTheEditOfAQuestion) {
  Open(EditorProgram::Quizloom, "abc");
  ShiftPress({VK_RIGHT, VK_RIGHT});
  editor->ProcessCommand(602);
  std::strcpy(editor->questionText, "next question");
  editor->BeginEditing();
  EXPECT_STREQ(editor->clipText, "ab");
  editor->ProcessCommand(603);
  EXPECT_EQ(Question(), "abnext question");
}

TEST_F(Commands, CutWithNothingSelectedEmptiesTheClipboard) {
  Open(EditorProgram::Quizloom, "abc");
  SetClip("old");
  editor->ProcessCommand(601);
  EXPECT_STREQ(editor->clipText, "");
  EXPECT_EQ(Question(), "abc");
  EXPECT_EQ(host.Menu(), "8");
}

TEST_F(Commands, CopyFillsTheClipboardAndDropsTheSelection) {
  Open(EditorProgram::Quizloom, "abc");
  editor->ProcessCommand(602);  // nothing selected: nothing at all
  EXPECT_TRUE(host.menus.empty());
  EXPECT_STREQ(editor->clipText, "");

  ShiftPress({VK_RIGHT, VK_RIGHT});
  dc.Clear();
  editor->ProcessCommand(602);
  EXPECT_STREQ(editor->clipText, "ab");
  EXPECT_EQ(Question(), "abc");
  EXPECT_EQ(host.Menu(), "8");
  EXPECT_EQ(State(), "q2 a0 (20,20) sel 600..-1 \"\"");
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 20}, {12, 20}}));
  EXPECT_FALSE(editor->NeedsPaint());
}

TEST_F(Commands, PasteIntoTheAnswerLeavesTheCaretInFront) {
  Open(EditorProgram::Quizloom, "", "xy");
  Press(VK_NEXT);
  Press(VK_RIGHT);
  SetClip("a\rb", {2, 0, 1});
  editor->ProcessCommand(603);
  EXPECT_EQ(Answer(), "xa\rby");
  EXPECT_EQ(AnswerMarks(6), (std::vector<int>{0, 2, 0, 1, 0, 0}));
  EXPECT_EQ(State(), "q0 a1 (12,370) sel 600..-1 \"\"");
  EXPECT_EQ(host.Menu(), "6");
}

TEST_F(Commands, PasteLimits) {
  struct Case {
    const char* name;
    bool question;
    int length;
    int pasted;
    const char* message;  // nullptr: accepted
  };
  const Case cases[] = {
      {"question of 485 bytes", true, 485, 10, nullptr},
      {"question of 486 bytes", true, 486, 10,
       "You cannot have a question of more than 495 letters."},
      {"answer of 44", false, 44, 5, nullptr},
      {"answer of 45", false, 45, 5, "You cannot have an answer of more than 49 letters."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    user.Forget();
    const std::string text = c.question ? std::string(200, 'a') + "\r" + std::string(c.length - 201, 'b')
                                        : std::string(c.length, 'a');
    Open(EditorProgram::Quizloom, c.question ? text : "", c.question ? "" : text);
    if (!c.question) Press(VK_NEXT);
    SetClip(std::string(c.pasted, 'p'));
    if (c.message) user.AnswerMessage();
    editor->ProcessCommand(603);
    const std::string now = c.question ? Question() : Answer();
    if (c.message) {
      EXPECT_EQ(now, text);
      ExpectWarning(user, c.message);
      EXPECT_TRUE(host.menus.empty());
    } else {
      EXPECT_EQ(now.size(), text.size() + c.pasted);
      EXPECT_TRUE(user.prompts().empty());
      EXPECT_EQ(host.Menu(), "6");
    }
  }
}

TEST_F(Commands, PasteThatMakesASeventhLineChangesNothing) {
  Open(EditorProgram::Quizloom, "1\r2\r3\r4\r5\r6");
  SetClip("x\ry");
  user.AnswerMessage();
  editor->ProcessCommand(603);
  EXPECT_EQ(Question(), "1\r2\r3\r4\r5\r6");
  ExpectWarning(user, "You cannot have more than 6 lines.");
  EXPECT_TRUE(host.menus.empty());
}

TEST_F(Commands, MarksAtTheCaretWithNothingSelected) {
  Open(EditorProgram::Quizloom, "abc");
  Press(VK_RIGHT);
  editor->ProcessCommand(608);
  EXPECT_EQ(QuestionMarks(4), (std::vector<int>{0, 1, 0, 0}));
  editor->ProcessCommand(607);
  EXPECT_EQ(QuestionMarks(4), (std::vector<int>{0, 2, 0, 0}));
  editor->ProcessCommand(609);
  EXPECT_EQ(QuestionMarks(4), (std::vector<int>{0, 0, 0, 0}));

  // At the end of the answer the mark goes on the position past the last character.
  Open(EditorProgram::Quizdesk, "", "xyz");
  Press(VK_END);
  editor->ProcessCommand(608);
  EXPECT_EQ(AnswerMarks(4), (std::vector<int>{0, 0, 0, 1}));
}

TEST_F(Commands, SubscriptOverASoftBreakMarksTheBreakToo) {
  Open(EditorProgram::Quizloom, "wwww\r\nvvvv");
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  ShiftPress({VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT});
  // The third Right crossed the break without selecting; the fourth took the "v".
  EXPECT_EQ(State(), "q7 a0 (12,36) sel 2..6 \"ww\r\nv\"");
  dc.Clear();
  editor->ProcessCommand(607);
  EXPECT_EQ(QuestionMarks(8), (std::vector<int>{0, 0, 2, 2, 2, 2, 2, 0}));
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{20, 20}, {28, 20}, {4, 36}}));
  EXPECT_EQ(State(), "q7 a0 (12,36) sel 600..-1 \"\"");
}

TEST_F(Commands, NormalOverASelection) {
  Open(EditorProgram::Quizloom, "abc");
  for (int i = 0; i < 3; ++i) editor->questionMarks[i] = 1;
  ShiftPress({VK_RIGHT, VK_RIGHT});
  dc.Clear();
  editor->ProcessCommand(609);
  EXPECT_EQ(QuestionMarks(3), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 20}, {12, 20}}));
  EXPECT_STREQ(editor->selectionText, "");
}

TEST_F(Commands, DeleteAtASoftBreakJoinsTheLines) {
  struct Case {
    const char* name;
    std::string text;
    int caret;
    std::string expected;
  };
  const std::string first = std::string(64, 'w') + " wwww";  // 69 characters
  const Case cases[] = {
      {"short lines join with a space", "wwww\r\nvvvv", 4, "wwww vvvv"},
      {"a long join wraps again", first + "\r\nvvvv vvvv", 69, first + " vvvv\r\nvvvv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(EditorProgram::Quizloom, c.text);
    Press(VK_END);
    ASSERT_EQ(editor->questionCaret, c.caret);
    Press(platform::VK_DELETE);
    EXPECT_EQ(Question(), c.expected);
    EXPECT_EQ(editor->questionCaret, c.caret);
    EXPECT_TRUE(editor->NeedsPaint());
  }
}

TEST_F(Commands, ClearDeletesTheSelectionOrTheCharacterAtTheCaret) {
  Open(EditorProgram::Quizloom, "abcd");
  editor->questionMarks[3] = 2;
  editor->ProcessCommand(604);
  EXPECT_EQ(Question(), "bcd");
  EXPECT_EQ(QuestionMarks(4), (std::vector<int>{0, 0, 2, 0}));
  Press(VK_RIGHT);
  ShiftPress({VK_RIGHT});
  editor->ProcessCommand(604);
  EXPECT_EQ(Question(), "bd");
  EXPECT_EQ(State(), "q1 a0 (12,20) sel 600..-1 \"\"");

  // In the answer a pasted break goes as a whole, leaving one space.
  Open(EditorProgram::Quizloom, "", "a\r\nb");
  Press(VK_NEXT);
  Press(VK_RIGHT);
  editor->ProcessCommand(604);
  EXPECT_EQ(Answer(), "a b");
  EXPECT_EQ(editor->answerCaret, 1);
}

TEST_F(Commands, CutInTheAnswerEndingOnABreakStopsBeforeItsLineFeed) {
  Open(EditorProgram::Quizloom, "", "ab\r\ncd");
  Press(VK_NEXT);
  editor->selStart = 1;
  editor->selEnd = 2;
  std::strcpy(editor->selectionText, "b\r");
  editor->ProcessCommand(601);
  EXPECT_EQ(Answer(), "a\ncd");
  EXPECT_EQ(State(), "q0 a0 (4,370) sel 600..-1 \"\"");
}

TEST_F(Commands, WhichRepaintsEraseTheBackground) {
  struct Case {
    const char* name;
    EditorProgram program;
    bool select;
    int command;  // 0: Backspace in the answer
    bool erases;
  };
  const Case cases[] = {
      {"Subscript", EditorProgram::Quizloom, false, 607, true},
      {"Superscript over a selection", EditorProgram::Quizloom, true, 608, true},
      {"Normal at the caret", EditorProgram::Quizloom, false, 609, true},
      {"Normal over a selection", EditorProgram::Quizloom, true, 609, false},
      {"Graphic Delete", EditorProgram::Quizloom, false, 703, true},
      {"Clear", EditorProgram::Quizloom, false, 604, false},
      {"Cut", EditorProgram::Quizloom, true, 601, false},
      {"Backspace in the answer, Quizloom", EditorProgram::Quizloom, false, 0, false},
      {"Backspace in the answer, Quizdesk", EditorProgram::Quizdesk, false, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.program, "abc", "xyz");
    if (c.command == 0) {
      if (c.program == EditorProgram::Quizloom) Press(VK_NEXT);
      Press(VK_END);
      editor->UpdateWindow();
      Type("\b");
      EXPECT_EQ(Answer(), "xy");
    } else {
      if (c.select) ShiftPress({VK_RIGHT});
      editor->UpdateWindow();
      editor->ProcessCommand(c.command);
    }
    EXPECT_TRUE(editor->NeedsPaint());
    EXPECT_EQ(PaintErases(), c.erases);
  }
}

TEST_F(Commands, UndoOnlyInTheQuestion) {
  Open(EditorProgram::Quizloom, "q", "a");
  Type("x");
  Press(VK_NEXT);
  Type("y");
  editor->ProcessCommand(605);
  EXPECT_EQ(Answer(), "ya");
  EXPECT_EQ(Question(), "xq");
}

TEST_F(Commands, GraphicAddChangeStoresOnlyTheName) {
  QTemporaryDir folder;
  const QString previous = QDir::currentPath();
  {
    QFile file(folder.filePath("CELL.BMP"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  Open(EditorProgram::Quizloom, "abc");
  Press(VK_RIGHT);
  editor->HideCaret();  // the dialog takes the caret away
  user.ChooseFile(folder.filePath("CELL.BMP").toStdString());
  editor->ProcessCommand(701);
  QDir::setCurrent(previous);
  EXPECT_STREQ(editor->pictureName, "CELL.BMP");
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].fileData.filter, "Bitmap Files (*.bmp)|*.bmp|");
  EXPECT_EQ(user.prompts()[0].fileData.defaultExt, "bmp");
  // The caret is made again, as high as "X", where it was.
  EXPECT_EQ(editor->CaretSize(), (platform::TSize{2, 13}));
  EXPECT_EQ(editor->CaretPos(), (platform::TPoint{12, 20}));
  EXPECT_TRUE(editor->CaretVisible());
  EXPECT_TRUE(editor->NeedsPaint());

  user.CancelFile();
  editor->ProcessCommand(701);
  EXPECT_STREQ(editor->pictureName, "CELL.BMP");

  editor->ProcessCommand(703);
  EXPECT_EQ(std::string(editor->pictureName, sizeof editor->pictureName),
            std::string(sizeof editor->pictureName, '\0'));
}

TEST_F(Commands, PictureNameTooLongForTheQuestionIsRefused) {
  QTemporaryDir folder;
  const QString previous = QDir::currentPath();
  const QString name = QString(80, 'n') + ".bmp";
  {
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  Open(EditorProgram::Quizloom);
  std::strcpy(editor->pictureName, "OLD.BMP");
  user.ChooseFile(folder.filePath(name).toStdString()).AnswerMessage();
  editor->ProcessCommand(701);
  QDir::setCurrent(previous);
  EXPECT_STREQ(editor->pictureName, "OLD.BMP");
  ExpectWarning(user,
                "The name of this bitmap file is too long. Rename it to at most 79 characters.");
}

// The chosen name was stored as UTF-8 although a test file holds Windows-1252: "Zelle_ä.bmp"
// took two bytes for the ä, was shown garbled and never found again. ":" and "\\" cut the name
// although they are legal in file names here.
TEST_F(Commands, PictureNameStoredAsUtf8WasNeverFoundAgain) {
  struct Case {
    QString file;
    std::string stored;  // empty: refused with the message
    const char* message;
  };
  const Case cases[] = {
      {QString::fromUtf8("Zelle_ä.bmp"), "Zelle_\xE4.bmp", nullptr},
      {QString::fromUtf8("Preis_€.bmp"), "Preis_\x80.bmp", nullptr},
      {"a:b\\c.bmp", "a:b\\c.bmp", nullptr},
      // 79 characters, 81 bytes in UTF-8: it fits.
      {QString(73, 'n') + QString::fromUtf8("ää.bmp"), std::string(73, 'n') + "\xE4\xE4.bmp", nullptr},
      {QString(74, 'n') + QString::fromUtf8("ää.bmp"), "",
       "The name of this bitmap file is too long. Rename it to at most 79 characters."},
      {QString::fromUtf8("Łódź.bmp"), "",
       "The name of this bitmap file has characters a test file cannot hold. Rename it and "
       "choose it again."},
  };
  QTemporaryDir folder;
  const QString previous = QDir::currentPath();
  Open(EditorProgram::Quizloom);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder.filePath(c.file), "BMP"));
    std::strcpy(editor->pictureName, "OLD.BMP");
    user.Forget();
    user.ChooseFile(folder.filePath(c.file).toStdString());
    if (c.message) user.AnswerMessage();
    editor->ProcessCommand(701);
    if (c.message) {
      EXPECT_STREQ(editor->pictureName, "OLD.BMP");
      ExpectWarning(user, c.message);
      continue;
    }
    EXPECT_EQ(std::string(editor->pictureName), c.stored);
    // Found again by that name in the chosen folder, which is now the current one.
    EXPECT_FALSE(editor::LoadPicture(editor->pictureName).IsNull());
  }
  QDir::setCurrent(previous);
}

TEST_F(Commands, QuizdeskKeepsItsMenuAndMarksTheCaret) {
  Open(EditorProgram::Quizdesk, "", "abcd");
  ShiftPress({VK_RIGHT, VK_RIGHT});
  // The cells are highlighted, but nothing is selected for the commands.
  EXPECT_EQ(Inverted(), (std::vector<Cell>{{4, 370}, {12, 370}}));
  EXPECT_EQ(State(), "q0 a2 (20,370) sel 0..1 \"\"");
  editor->ProcessCommand(608);
  EXPECT_EQ(AnswerMarks(4), (std::vector<int>{0, 0, 1, 0}));
  editor->ProcessCommand(601);
  editor->ProcessCommand(602);
  EXPECT_TRUE(host.menus.empty());
  EXPECT_EQ(Answer(), "abcd");
}

}  // namespace
}  // namespace editor_testing
