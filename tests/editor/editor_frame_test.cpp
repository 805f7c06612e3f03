#include <QApplication>
#include <QTest>

#include <string>

#include "platform/frame_window.h"
#include "tests/editor/editor_fixture.h"

namespace editor_testing {
namespace {

using editor::EditorProgram;

// A main window as the programs have it: the editor is its client and switches its menu.
class HostFrame : public platform::TFrameWindow, public editor::TEditorHost {
 public:
  explicit HostFrame(EditorProgram program) : TFrameWindow("Quizloom") {
    editor = new editor::TInputDialog(ClientArea(), *this, program);
    editor->SetInitialSize(800, 420);
    LoadAccelerators("ACCELERATORS_1");
  }
  void SetEditorMenu(resources::ResId menu) override { SetMenu(menu); }
  void EditorOk() override {}
  void EditorCancel() override {}

  void ShowEditor() {
    SetClient(editor);
    editor->BeginEditing();
    show();
    QApplication::setActiveWindow(this);
    ASSERT_TRUE(QTest::qWaitForWindowActive(this));
    editor->setFocus();
    editor->UpdateWindow();
  }

  editor::TInputDialog* editor;
};

// Pixels of a cell of the editor's surface that are not white.
int DarkPixels(const QImage& surface, int x, int y, int width, int height) {
  int dark = 0;
  for (int row = y; row < y + height; ++row)
    for (int column = x; column < x + width; ++column)
      if (surface.pixel(column, row) != qRgb(255, 255, 255)) ++dark;
  return dark;
}

TEST(EditorInAFrame, AltDownThroughTheAcceleratorLowersTheCharacterAtTheCaret) {
  HostFrame frame(EditorProgram::Quizloom);
  frame.ShowEditor();
  QTest::keyClicks(frame.editor, "H2O");
  QTest::keyClick(frame.editor, Qt::Key_Left);
  QTest::keyClick(frame.editor, Qt::Key_Left);
  QTest::keyClick(frame.editor, Qt::Key_Down, Qt::AltModifier);
  EXPECT_STREQ(frame.editor->questionText, "H2O");
  EXPECT_EQ(frame.editor->questionMarks[1], 2);
  EXPECT_EQ(frame.editor->questionMarks[0] + frame.editor->questionMarks[2], 0);
  EXPECT_EQ(frame.editor->questionCaret, 1);

  platform::TRecordingDC dc;
  frame.editor->RecordDrawingInto(&dc);
  frame.editor->Invalidate(false);
  frame.editor->UpdateWindow();
  frame.editor->RecordDrawingInto(nullptr);
  std::vector<std::string> letters;
  for (const platform::DrawCall& call : dc.TextCalls())
    if (call.text.size() == 1)
      letters.push_back(call.text + "@" + std::to_string(call.y));
  EXPECT_EQ(letters, (std::vector<std::string>{"H@20", "2@22", "O@20"}));
}

// Regression: every menu change replaced the frame's menu bar, which resized and repainted
// the editor, so the highlight of a Shift selection vanished at once.
TEST(EditorInAFrame, SelectionHighlightSurvivesTheMenuSwitch) {
  HostFrame frame(EditorProgram::Quizloom);
  frame.ShowEditor();
  QTest::keyClicks(frame.editor, "abc");
  QTest::keyClick(frame.editor, Qt::Key_Home);
  frame.editor->UpdateWindow();
  QApplication::processEvents();
  const int paints = frame.editor->PaintCount();
  const int width = frame.editor->charWidth;
  const int height = frame.editor->lineHeight - 3;
  const int before = DarkPixels(frame.editor->Surface(), 4, 20, width, height);

  QTest::keyPress(frame.editor, Qt::Key_Shift);
  QTest::keyClick(frame.editor, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyRelease(frame.editor, Qt::Key_Shift);
  QTest::qWait(20);

  EXPECT_EQ(frame.CurrentMenu(), resources::ResId(7));
  EXPECT_EQ(frame.editor->PaintCount(), paints);
  EXPECT_STREQ(frame.editor->selectionText, "a");
  // Inverted: what was white in the cell is now dark (black ink turns white).
  ASSERT_LT(before, width * height / 2);
  EXPECT_GE(DarkPixels(frame.editor->Surface(), 4, 20, width, height), width * height - before);
}

}  // namespace
}  // namespace editor_testing
