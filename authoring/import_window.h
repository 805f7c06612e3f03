#pragma once
#include <optional>
#include <string>

#include "core/list.h"
#include "core/records.h"
#include "platform/edit_file.h"

namespace quizloom {

enum ImportCommand : int {
  CM_IMPORT = 301,
  CM_DONE = 302,
  CM_SELECT = 303,
};

// The window in which the teacher cuts questions out of a text file: the file's text, which
// may be edited, and the questions Select has made from it, waiting for Done. It lives as
// long as the main window; text and list survive between imports.
class TImportWindow : public platform::TEditFile {
 public:
  explicit TImportWindow(QWidget* parent);

  // Fills the window with the start of a text file, in one step. False, with the text as
  // it was, when the file cannot be read.
  bool openFile(const std::string& path);
  // Makes a question of the selected passage and an answer asked for.
  void CmSelect();

  core::TList<core::TQuestion> questions;

 private:
  // The wrapped passage, or empty after a warning.
  std::string WrapSelection();
  // The answer typed into ABOX, asked again while empty or too long; nothing when cancelled.
  std::optional<std::string> AskAnswer();
  void Warn(const char* text);
  void Inform(const std::string& text);
};

}  // namespace quizloom
