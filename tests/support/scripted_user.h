#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/modal.h"
#include "platform/printout.h"

namespace testing_support {

// One thing the program showed the user, as recorded by the scripted user.
struct Prompt {
  enum class Kind { Message, Dialog, File, Help, Print, Preview, Printing, Rows, QtDialog, Password };
  Kind kind = Kind::Message;
  QWidget* owner = nullptr;
  std::string text;     // message text, dialog template name, help file
  std::string caption;  // message caption, dialog title
  unsigned style = 0;   // message style
  platform::FileDialogKind fileKind = platform::FileDialogKind::Open;
  platform::TOpenSaveDialogData fileData = {};  // file dialogs: the data as the dialog saw it
  int helpCommand = 0;
  platform::TPrintDialogData printData = {};  // print dialog: the limits and range it offered
  int page = 0;                          // printing dialog: the page about to be printed
  std::vector<std::vector<std::string>> rows = {};  // a list of rows: the rows offered
};

// Answers every modal prompt from a queue and records it. An unexpected prompt (none queued,
// or one of another kind) fails the running test and is answered with cancel. Help calls are
// recorded and need no answer. Installs itself on construction and removes itself when
// destroyed; the destructor fails the test if answers were left unused.
class ScriptedUser : public platform::ModalUser {
 public:
  ScriptedUser();
  ~ScriptedUser() override;

  // Message box: return this result (IDOK, IDYES, IDNO, IDCANCEL).
  ScriptedUser& AnswerMessage(int result = platform::IDOK);
  // Dialog: run fill on the dialog's real controls, then close with result (1 OK, 2 cancel).
  ScriptedUser& AnswerDialog(int result, std::function<void(platform::TDialog&)> fill = {});
  // File dialog: choose this path (and the filter's type filterIndex, from 1; 0 leaves the
  // type the dialog proposed), or cancel.
  ScriptedUser& ChooseFile(std::string path, int filterIndex = 0);
  ScriptedUser& CancelFile();
  // Multi-select file dialog: choose these paths (CancelFile cancels it too).
  ScriptedUser& ChooseFiles(std::vector<std::string> paths);
  // Print dialog: print to this PDF file (empty: to the printer as it is), pages from to to
  // (0: the offered range); or cancel.
  ScriptedUser& ChoosePrint(std::string pdfPath, int from = 0, int to = 0);
  // The same with a page list typed in the Pages box, as "2,4" or "1-2,4".
  ScriptedUser& ChoosePrintPages(std::string pdfPath, std::string pages);
  ScriptedUser& CancelPrint();
  // Print preview: run look on the real preview dialog (its pages, its print), then close it.
  ScriptedUser& AnswerPreview(std::function<void(QPrintPreviewDialog&)> look = {});
  // A list of rows: choose this row, or cancel (nothing).
  ScriptedUser& ChooseRow(std::optional<int> row);
  // A dialog of Qt's widgets: run fill on it, then close it with result (QDialog::Accepted, or
  // Rejected); a password prompt: type this password, or cancel (nothing).
  ScriptedUser& AnswerQtDialog(int result, std::function<void(QDialog&)> fill = {});
  ScriptedUser& AnswerPassword(std::optional<std::string> password);
  // The printing dialog is recorded before each page and needs no answer; this makes the
  // user press its Cancel before that page.
  ScriptedUser& CancelPrintingAt(int page);

  const std::vector<Prompt>& prompts() const { return prompts_; }
  std::vector<Prompt> Messages() const;  // the message boxes only, in order
  bool Finished() const { return answers_.empty(); }
  void Forget() { prompts_.clear(); }

  int MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                 unsigned style) override;
  int RunDialog(QWidget* owner, platform::TDialog& dialog) override;
  std::optional<std::string> ChooseFile(QWidget* owner, platform::TOpenSaveDialogData& data,
                                        platform::FileDialogKind kind) override;
  std::optional<std::vector<std::string>> ChooseFiles(
      QWidget* owner, const platform::TOpenSaveDialogData& data) override;
  void Help(QWidget* owner, const std::string& helpFile, int command) override;
  bool PrintDialog(QWidget* owner, QPrinter& printer, platform::TPrintDialogData& data) override;
  void PrintPreview(QWidget* owner, QPrintPreviewDialog& preview) override;
  bool PrintingCancelled(platform::TDialog& printingDialog, int page) override;
  std::optional<int> ChooseRow(QWidget* owner, const std::string& caption,
                               const std::vector<std::string>& columns,
                               const std::vector<std::vector<std::string>>& rows) override;
  int RunQtDialog(QWidget* owner, QDialog& dialog) override;
  std::optional<std::string> AskPassword(QWidget* owner, const std::string& caption,
                                         const std::string& prompt) override;

 private:
  struct Answer {
    Prompt::Kind kind;
    int result = 0;
    std::function<void(platform::TDialog&)> fill;
    std::optional<std::string> path;
    std::vector<std::string> paths = {};
    int from = 0, to = 0;  // print pages; for a file dialog, from is the filter's type
    std::string pages = {};
    std::function<void(QPrintPreviewDialog&)> look = {};
    std::function<void(QDialog&)> fillQt = {};
  };
  std::optional<Answer> Take(Prompt::Kind kind, const std::string& what);

  std::deque<Answer> answers_;
  std::vector<Prompt> prompts_;
  int cancelPrintingAt_ = 0;
  std::optional<std::vector<std::string>> lastFilePaths_;
};

}  // namespace testing_support
