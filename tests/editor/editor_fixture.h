#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_host.h"
#include "editor/input_dialog.h"
#include "platform/keys.h"
#include "platform/recording_dc.h"
#include "tests/support/scripted_user.h"

namespace editor_testing {

// The main window as the editor sees it: records each menu it is given and each OK and Cancel.
class RecordingHost : public editor::TEditorHost {
 public:
  void SetEditorMenu(resources::ResId menu) override { menus.push_back(menu.ToString()); }
  void EditorOk() override { ++oks; }
  void EditorCancel() override { ++cancels; }

  std::string Menu() const { return menus.empty() ? std::string() : menus.back(); }

  std::vector<std::string> menus;
  int oks = 0;
  int cancels = 0;
};

// The editor, telling whether its last paint had the background erased first.
class ProbeEditor : public editor::TInputDialog {
 public:
  using TInputDialog::TInputDialog;
  bool lastErase = false;

 protected:
  void Paint(platform::TDC& dc, bool erase) override {
    lastErase = erase;
    TInputDialog::Paint(dc, erase);
  }
};

// A cell as InvertCell makes it, with the recorder's 8 x 13 font: 8 wide, lineHeight - 3 high.
struct Cell {
  int x, y;
  bool operator==(const Cell&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Cell& cell) {
  return out << "(" << cell.x << ", " << cell.y << ")";
}

// An editor in a program's mode with a recording device context, so that every coordinate
// follows from the fixed metrics: charWidth 8, lineHeight 16.
class EditorTest : public ::testing::Test {
 protected:
  void Open(editor::EditorProgram program = editor::EditorProgram::Quizloom,
            const std::string& question = "", const std::string& answer = "") {
    editor = std::make_unique<ProbeEditor>(nullptr, host, program);
    editor->RecordDrawingInto(&dc);
    SetQuestion(question);
    SetAnswer(answer);
    editor->BeginEditing();
    editor->UpdateWindow();
    dc.Clear();
    host.menus.clear();
  }

  void SetQuestion(const std::string& text) {
    ASSERT_LT(text.size(), sizeof editor->questionText);
    std::memset(editor->questionText, 0, sizeof editor->questionText);
    std::memcpy(editor->questionText, text.data(), text.size());
  }
  void SetAnswer(const std::string& text) {
    ASSERT_LT(text.size(), sizeof editor->answerText);
    std::memset(editor->answerText, 0, sizeof editor->answerText);
    std::memcpy(editor->answerText, text.data(), text.size());
  }

  std::string Question() const { return editor->questionText; }
  std::string Answer() const { return editor->answerText; }
  std::vector<int> QuestionMarks(int count) const {
    return std::vector<int>(editor->questionMarks, editor->questionMarks + count);
  }
  std::vector<int> AnswerMarks(int count) const {
    return std::vector<int>(editor->answerMarks, editor->answerMarks + count);
  }

  // Character messages only, as the window gets them for typed text.
  void Type(const std::string& text) {
    for (unsigned char c : text) editor->EvChar(c);
  }
  // A key as the keyboard sends it: key down, its character if any, key up.
  void Press(unsigned virtualKey) {
    editor->EvKeyDown(virtualKey);
    editor->EvKeyUp(virtualKey);
  }
  // Shift held down for the keys, then released.
  void ShiftPress(const std::vector<unsigned>& keys) {
    editor->EvKeyDown(platform::VK_SHIFT);
    for (unsigned key : keys) Press(key);
    editor->EvKeyUp(platform::VK_SHIFT);
  }
  void Click(int x, int y) {
    editor->EvLButtonDown({x, y});
    editor->EvLButtonUp({x, y});
  }

  // Runs the pending paint; true when it erased the background, false when there was no
  // paint pending or it drew over the old image.
  bool PaintErases() {
    if (!editor->NeedsPaint()) return false;
    editor->UpdateWindow();
    return editor->lastErase;
  }

  std::vector<Cell> Inverted() const {
    std::vector<Cell> cells;
    for (const platform::DrawCall& call : dc.Inversions()) {
      EXPECT_EQ(call.width, 8);
      EXPECT_EQ(call.height, 13);
      cells.push_back({call.x, call.y});
    }
    return cells;
  }
  // Caret index, pixel position and selection in one line, for compact assertions.
  std::string State() const {
    const editor::TInputDialog& e = *editor;
    return "q" + std::to_string(e.questionCaret) + " a" + std::to_string(e.answerCaret) + " (" +
           std::to_string(e.caretX) + "," + std::to_string(e.caretY) + ") sel " +
           std::to_string(e.selStart) + ".." + std::to_string(e.selEnd) + " \"" +
           e.selectionText + "\"";
  }

  testing_support::ScriptedUser user;
  RecordingHost host;
  platform::TRecordingDC dc;
  std::unique_ptr<ProbeEditor> editor;
};

}  // namespace editor_testing
