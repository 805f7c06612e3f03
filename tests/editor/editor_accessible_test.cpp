#include <QAccessible>

#include "platform/accessible.h"
#include "tests/editor/editor_fixture.h"

namespace {

using editor::EditorProgram;
using editor_testing::EditorTest;

class EditorAccessible : public EditorTest {
 protected:
  // Each part as "name|text|caret|selection start-end|marks", line breaks as '/'.
  std::vector<std::string> Parts() {
    std::vector<std::string> parts;
    for (const platform::TAccessibleNode& node : editor->AccessibleView().nodes) {
      std::string part = node.name + "|" + node.text + "|" + std::to_string(node.caret) + "|" +
                         std::to_string(node.selectionStart) + "-" +
                         std::to_string(node.selectionEnd) + "|";
      for (int32_t mark : node.marks) part += std::to_string(mark);
      for (char& c : part)
        if (c == '\n') c = '/';
      parts.push_back(part);
    }
    return parts;
  }
};

TEST_F(EditorAccessible, PartsAreShownTextWithCaretSelectionAndMarks) {
  struct Case {
    const char* what;
    EditorProgram program;
    std::string question, picture;
    int questionCaret;
    std::vector<std::string> parts;
  } cases[] = {
      {"a wrap break and a hard break read as one line break each", EditorProgram::Quizloom,
       "ab\r\ncd\rH2O", "", 4,
       {"Question|ab/cd/H2O|3|0-0|000000000", "Answer||0|0-0|"}},
      {"Quizloom names the picture by its file", EditorProgram::Quizloom, "x", "CELL.BMP", 1,
       {"Question|x|1|0-0|0", "Answer||0|0-0|", "CELL.BMP||-1|0-0|"}},
      {"Quizdesk's picture tells no answer; its question starts with the header",
       EditorProgram::Quizdesk, "x", "MITOCHONDRIA.BMP", 0,
       {"Question|Question Number 2/x|-1|0-0|0000000000000000000", "Answer||0|0-0|",
        "Picture||-1|0-0|"}},
  };
  for (const Case& c : cases) {
    Open(c.program, c.question);
    std::strcpy(editor->headerText, "Question Number 2");
    std::strcpy(editor->pictureName, c.picture.c_str());
    editor->questionCaret = c.questionCaret;
    EXPECT_EQ(Parts(), c.parts) << c.what;
  }
}

TEST_F(EditorAccessible, TypedAnswerWithLoweredLetterAndSelection) {
  Open(EditorProgram::Quizdesk, "What is H2O?");
  Type("H2O");
  Press(platform::VK_LEFT);
  Press(platform::VK_LEFT);
  editor->CmSubscript();
  EXPECT_EQ(Parts()[1], "Answer|H2O|1|0-0|020");
  Open(EditorProgram::Quizloom, "H2O");
  ShiftPress({platform::VK_RIGHT, platform::VK_RIGHT});
  EXPECT_EQ(Parts()[0], "Question|H2O|2|0-2|000");
}

// Through Qt's own interfaces, as the AT-SPI bridge asks: the parts are the editor's
// children, and a lowered letter answers text-position sub for its run.
TEST_F(EditorAccessible, QtInterfacesAnswerFromTheView) {
  platform::InstallAccessibility();
  Open(EditorProgram::Quizdesk, "H2O");
  editor->questionMarks[1] = 2;
  std::strcpy(editor->headerText, "Question Number 1");
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(editor.get());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->text(QAccessible::Name), "Question Number 1");
  QAccessibleInterface* question = nullptr;
  QAccessibleInterface* answer = nullptr;
  for (int i = 0; i < window->childCount(); ++i) {
    QAccessibleInterface* child = window->child(i);
    if (child->text(QAccessible::Name) == "Question") question = child;
    if (child->text(QAccessible::Name) == "Answer") answer = child;
  }
  ASSERT_TRUE(question && answer);
  EXPECT_EQ(window->indexOfChild(question) + 1, window->indexOfChild(answer));
  EXPECT_EQ(question->parent(), window);
  EXPECT_EQ(question->role(), QAccessible::EditableText);
  EXPECT_TRUE(question->state().readOnly);
  EXPECT_TRUE(answer->state().editable);
  QAccessibleTextInterface* text = question->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text(0, text->characterCount()), "Question Number 1\nH2O");
  int start = 0, end = 0;
  EXPECT_EQ(text->attributes(19, &start, &end), "text-position:sub;");
  EXPECT_EQ(start, 19);
  EXPECT_EQ(end, 20);
  EXPECT_EQ(text->attributes(18, &start, &end), "text-position:baseline;");
}

}  // namespace
