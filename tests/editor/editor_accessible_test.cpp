#include <algorithm>
#include <utility>

#include <QAccessible>

#include "editor/accessible_text.h"
#include "platform/accessible.h"
#include "tests/editor/editor_fixture.h"

namespace {

using editor::EditorProgram;

std::string Utf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

// Each part as "name|text|caret|selection|marks", line breaks as '/'.
class EditorAccessible : public editor_testing::EditorTest {
 protected:
  std::vector<std::string> Parts() {
    std::vector<std::string> parts;
    for (const platform::TAccessibleNode& node : editor->AccessibleView().nodes) {
      std::string part = Utf8(node.name) + "|" + Utf8(node.text) + "|" + std::to_string(node.caret) + "|" +
                         std::to_string(node.selectionStart) + "-" +
                         std::to_string(node.selectionEnd) + "|";
      for (int32_t mark : node.marks) part += std::to_string(mark);
      std::replace(part.begin(), part.end(), '\n', '/');
      parts.push_back(part);
    }
    return parts;
  }
};

TEST_F(EditorAccessible, PartsAreShownTextWithCaretSelectionAndMarks) {
  struct Case {
    EditorProgram program;
    std::string question, picture;
    int questionCaret;
    std::vector<std::string> parts;
  } cases[] = {
      // A wrap break and a hard break each read as one line break.
      {EditorProgram::Quizloom, "ab\r\ncd\rH2O", "", 4,
       {"Question|ab/cd/H2O|3|0-0|000000000", "Answer||0|0-0|"}},
      {EditorProgram::Quizloom, "x", "CELL.BMP", 1,
       {"Question|x|1|0-0|0", "Answer||0|0-0|", "CELL.BMP||-1|0-0|"}},
      // Quizdesk's question starts with its header; the picture's name tells no answer.
      {EditorProgram::Quizdesk, "x", "MITOCHONDRIA.BMP", 0,
       {"Question|Question Number 2/x|-1|0-0|0000000000000000000", "Answer||0|0-0|",
        "Picture||-1|0-0|"}},
  };
  for (const Case& c : cases) {
    Open(c.program, c.question);
    std::strcpy(editor->headerText, "Question Number 2");
    std::strcpy(editor->pictureName, c.picture.c_str());
    editor->questionCaret = c.questionCaret;
    EXPECT_EQ(Parts(), c.parts) << c.question;
  }
  // A typed answer with its 2 lowered, the caret where the student left it.
  Open(EditorProgram::Quizdesk, "What is H2O?");
  Type("H2O");
  Press(platform::VK_LEFT);
  Press(platform::VK_LEFT);
  editor->CmSubscript();
  EXPECT_EQ(Parts()[1], "Answer|H₂O|1|0-0|020");
  // The mark command is told as a notice, until the next key.
  EXPECT_EQ(Parts().back(), "lowered|lowered|-1|0-0|0000000");
  Press(platform::VK_RIGHT);
  EXPECT_EQ(Parts().size(), 2u);
  Open(EditorProgram::Quizloom, "H2O");
  ShiftPress({platform::VK_RIGHT, platform::VK_RIGHT});
  EXPECT_EQ(Parts()[0], "Question|H2O|2|0-2|000");
}

// Through Qt's interfaces, as the AT-SPI bridge asks.
TEST_F(EditorAccessible, QtInterfacesAnswerFromTheView) {
  platform::InstallAccessibility();
  Open(EditorProgram::Quizdesk, "H2O");
  editor->questionMarks[1] = 2;
  std::strcpy(editor->headerText, "Question Number 1");
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(editor.get());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->text(QAccessible::Name), "Question Number 1");
  const int first = window->childCount() - 2;  // after the child widgets
  QAccessibleInterface* question = window->child(first);
  QAccessibleInterface* answer = window->child(first + 1);
  ASSERT_TRUE(question && answer);
  EXPECT_EQ(question->text(QAccessible::Name) + answer->text(QAccessible::Name), "QuestionAnswer");
  EXPECT_EQ(window->indexOfChild(answer), first + 1);
  EXPECT_TRUE(question->state().readOnly && answer->state().editable);
  QAccessibleTextInterface* text = question->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text(0, text->characterCount()), "Question Number 1\nH₂O");
  int start = 0, end = 0;
  EXPECT_EQ(text->attributes(19, &start, &end), "text-position:sub;");
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(19, 20));
}

}  // namespace

namespace {

// Marks as a reader hears them: Unicode's raised or lowered form where there is one, words
// around a run of others; and the offset each letter (and the end) has in what is heard.
TEST(AccessibleText, MarkedLettersAreHeardAsTheyLook) {
  struct Case {
    std::string text, marks, heard, heardMarks, offsets;
  } cases[] = {
      {"H2O", "020", "H₂O", "020", "0 1 2 3"},
      {"x2+n", "0111", "x²⁺ⁿ", "0111", "0 1 2 3 4"},
      {"CQ2", "020", "C lowered Q normal 2", "00000000002000000000", "0 10 19 20"},
      {"Q", "1", "raised Q normal", "000000010000000", "7 15"},
      {"QX", "22", "lowered QX normal", "00000000220000000", "8 9 17"},
      // A wrap break is heard as one line break; its line feed goes with the return.
      {"ab\r\ncd", "000000", "ab\ncd", "00000", "0 1 2 3 3 4 5"},
  };
  for (const Case& c : cases) {
    platform::TAccessibleNode node;
    std::vector<int32_t> marks;
    for (char m : c.marks) marks.push_back(m - '0');
    std::string heardMarks, offsets;
    for (int offset : editor::AppendShownText(node, c.text.data(), marks.data(),
                                              static_cast<int>(c.text.size()), {}))
      offsets += (offsets.empty() ? "" : " ") + std::to_string(offset);
    for (int32_t mark : node.marks) heardMarks += std::to_string(mark);
    EXPECT_EQ(Utf8(node.text) + "|" + heardMarks + "|" + offsets,
              c.heard + "|" + c.heardMarks + "|" + c.offsets);
    EXPECT_EQ(node.cells.size(), node.text.size()) << c.text;
  }
}

}  // namespace
