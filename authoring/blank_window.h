#pragma once
#include <cstdint>
#include <string>

#include "core/open_test.h"
#include "core/records.h"
#include "platform/font.h"
#include "platform/window.h"

class QWidget;

namespace quizloom {

class TTestWindow;

enum ListCommand : int {
  CM_NEW = 101,
  CM_OPEN = 102,
  CM_SAVE = 103,
  CM_SAVE_AS = 104,
  CM_SEARCH = 204,
  CM_SEARCH_AGAIN = 205,
};

// The question list: it owns the open test and draws every question with its answer and
// picture as one scrollable list, or a hint when the test is empty. It answers the file
// commands and the two searches. Split by role: blank_window.cpp (set-up, painting, keys),
// file_commands.cpp (New, Open, Save, Save As, the unsaved-changes prompt), and
// list_commands.cpp (the searches, with the main window's list editing).
class TBlankWindow : public platform::TWindow {
 public:
  TBlankWindow(QWidget* parent, TTestWindow& mainWindow);
  ~TBlankWindow() override;

  void EvKeyDown(unsigned virtualKey) override;

  void CmNew();
  void CmOpen();
  // Opens the named file as Open does with a file chosen in its dialog (the command line).
  void OpenFile(const std::string& path);
  // True when the test was written to its file.
  bool CmSave();
  bool CmSaveAs();
  void CmSearch();
  void CmSearchAgain();

  // "Do you want to save?" when the test has unsaved questions, over owner. False when the
  // command must stop: Cancel, or Yes with a save that did not happen (failed or its Save
  // As dialog was cancelled), so the test is never thrown away unsaved.
  bool AskToSave(QWidget* owner);

  // The caption the list shows: "No file active" when empty, else the file name.
  std::string ListCaption() const;

  core::TOpenTest openTest;
  core::TQuestion* currentQuestion = nullptr;  // the question Change is editing
  int32_t currentNumber = 0;                   // the number the editor works on, from 1
  int32_t searchPosition = 0;                  // index of the question last found
  std::string searchText;                      // folded to capitals when not case sensitive
  int32_t caseSensitive = 0;
  platform::TFont screenFont{"Courier", 10, 400};

 protected:
  void Paint(platform::TDC& dc, bool erase) override;

 private:
  // Index of the first question from start whose text holds the search text, or -1.
  int FindFrom(int start) const;
  // Open's steps after the file was chosen: load it, then show it from the top.
  void LoadChosenFile();
  void Inform(const std::string& text, unsigned icon);

  TTestWindow& mainWindow_;
};

}  // namespace quizloom
