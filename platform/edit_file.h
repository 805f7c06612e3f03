#pragma once
#include <string>
#include <string_view>

#include "platform/window.h"

class QPlainTextEdit;

namespace platform {

// The multi-line edit window for text files: border, both scroll bars, automatic scrolling
// both ways, no limit of its own, editable, in the programs' fixed-pitch screen font. Text
// goes in and out as Windows-1252 bytes; characters it cannot hold are never let in.
// Positions are those of the old edit control, in which a line end counts as two
// characters (carriage return and line feed).
class TEditFile : public TWindow {
 public:
  explicit TEditFile(QWidget* parent);
  ~TEditFile() override;

  // Replaces the whole text in one step (a line feed is a line end) and puts the caret at
  // the very beginning, scrolled to the first line, nothing selected.
  void SetText(std::string_view text);
  // The whole text, each line end as carriage return and line feed.
  std::string GetText() const;

  void GetSelection(int& start, int& end) const;
  // Selects from start to end (the caret ends at end); a position inside a line end is
  // taken as the end of its line.
  void SetSelection(int start, int end);
  // The selected text, each line end as carriage return and line feed.
  std::string GetSelectedText() const;
  void DeleteSelection();

  QPlainTextEdit* Editor() const { return edit_; }

 private:
  int OldPosition(int position) const;
  int NewPosition(int oldPosition) const;

  QPlainTextEdit* edit_;
};

}  // namespace platform
