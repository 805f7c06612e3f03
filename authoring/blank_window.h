#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/open_test.h"
#include "core/records.h"
#include "platform/font.h"
#include "platform/window.h"

class QWidget;

namespace quizloom {

class TTestWindow;

// What the empty list shows.
inline constexpr const char* kOpenHint = "To retrieve a file press F3";
inline constexpr const char* kNewHint = "To start a new file press F4";

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

  // After questions were changed in place, removed or replaced: the next paint measures every
  // question anew instead of trusting what it kept.
  void ForgetLayout();

  // The caption the list shows: "No file active" when empty, else the file name.
  std::string ListCaption() const;

  // Every question as a list item, the current one selected; the hints when the test is
  // empty (list_accessible.cpp).
  platform::TAccessibleView AccessibleView() override;
  // The question the list stands on: the first whose text or answer shows in the view, or -1.
  int CurrentQuestionIndex();

  core::TOpenTest openTest;
  core::TQuestion* currentQuestion = nullptr;  // the question Change is editing
  int32_t currentNumber = 0;                   // the number the editor works on, from 1
  int32_t searchPosition = 0;                  // index of the question last found
  std::string searchText;                      // folded to capitals when not case sensitive
  int32_t caseSensitive = 0;
  platform::TFont screenFont{"Courier", 10, 400};

 protected:
  void Paint(platform::TDC& dc, bool erase) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // What a question's height depends on, kept across paints: counting the line breaks of
  // thousands of questions on every paint would cost more than drawing the page, and so
  // would even reading every question. An entry is measured again when another question
  // stands at its place; whoever changes a question in place or frees one calls ForgetLayout.
  using TPictureLoads = std::unordered_map<std::string, bool>;
  struct TLayoutEntry {
    const core::TQuestion* question = nullptr;
    int lineBreaks = 0;
    int columns = 0;  // its widest line, in cells
    TPictureLoads::value_type* picture = nullptr;  // its name, and whether its file loads
  };
  void UpdateLayout();
  // Where each question stands, from the list's top, for those with any line from firstLine
  // to lastLine; and the height of the whole list.
  struct TPlacedQuestion {
    int index;
    int top;
    int height;
  };
  struct TPlacement {
    std::vector<TPlacedQuestion> questions;
    int height = 0;
    int columns = 0;  // the widest line of all, in cells
  };
  TPlacement PlaceQuestions(int lineHeight, int firstLine, int lastLine);
  // The focus mark: a frame around the current question while the list has the keys.
  void DrawFocusMark(platform::TDC& dc, const TPlacedQuestion& current, int lineHeight);

  // Index of the first question from start whose text holds the search text, or -1.
  int FindFrom(int start) const;
  // Open's steps after the file was chosen: load it, then show it from the top.
  void LoadChosenFile();
  void Inform(const std::string& text, unsigned icon);

  TTestWindow& mainWindow_;
  std::vector<TLayoutEntry> layout_;
  // Each distinct picture name, asked about again on every paint: its file may come or go.
  TPictureLoads pictureLoads_;
};

}  // namespace quizloom
