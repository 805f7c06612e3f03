#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QDialog;
class QPrinter;
class QPrintPreviewDialog;
class QProgressDialog;
class QWidget;

namespace platform {

class TDialog;
struct TPrintDialogData;

// Message-box styles and results, with the old numeric values.
enum : unsigned {
  MB_OK = 0x00,
  MB_OKCANCEL = 0x01,
  MB_YESNOCANCEL = 0x03,
  MB_YESNO = 0x04,
  MB_ICONHAND = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Help viewer commands.
enum : int { HELP_QUIT = 2, HELP_CONTENTS = 3 };

// Open and save dialog flags. OFN_NOCHANGEDIR keeps the current folder, where pictures are
// looked up, for dialogs that read or write files other than tests and pictures.
enum : unsigned {
  OFN_NOCHANGEDIR = 0x0008,
  OFN_ALLOWMULTISELECT = 0x0200,
  OFN_PATHMUSTEXIST = 0x0800,
  OFN_FILEMUSTEXIST = 0x1000,
};

// The data an open or save dialog is run with. fileName keeps the last chosen full path,
// which the next dialog proposes again.
struct TOpenSaveDialogData {
  unsigned flags = 0;
  std::string filter;      // "Test Files (*.tst)|*.tst|"
  std::string defaultExt;  // "tst"
  std::string initialDir;
  std::string fileName;
  // The type chosen in the filter, from 1, as the dialog opens and as the user left it.
  int filterIndex = 1;
};

enum class FileDialogKind { Open, Save };

// Everything modal a command shows goes through this one interface: the programs use the
// real Qt one, tests install a scripted user that answers from a queue.
class ModalUser {
 public:
  virtual ~ModalUser() = default;
  virtual int MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                         unsigned style) = 0;
  // Returns 1 (OK, the controls hold the values to transfer) or 2 (cancel).
  virtual int RunDialog(QWidget* owner, TDialog& dialog) = 0;
  // The chosen full path, or nothing when the user cancelled; data.filterIndex tells the
  // type chosen.
  virtual std::optional<std::string> ChooseFile(QWidget* owner, TOpenSaveDialogData& data,
                                                FileDialogKind kind) = 0;
  // The open dialog choosing one or more existing files: their full paths, or nothing when
  // the user cancelled. A user that knows nothing of it cancels it.
  virtual std::optional<std::vector<std::string>> ChooseFiles(QWidget* owner,
                                                              const TOpenSaveDialogData& data) {
    (void)owner, (void)data;
    return std::nullopt;
  }
  virtual void Help(QWidget* owner, const std::string& helpFile, int command) = 0;
  // The print dialog over printer, offering data's page limits and range. On OK the printer
  // holds the chosen printer or PDF file and data the chosen first and last page. A user
  // that knows nothing of printing cancels it.
  virtual bool PrintDialog(QWidget* owner, QPrinter& printer, TPrintDialogData& data) {
    (void)owner, (void)printer, (void)data;
    return false;
  }
  // The print preview; returns when it is closed.
  virtual void PrintPreview(QWidget* owner, QPrintPreviewDialog& preview) {
    (void)owner, (void)preview;
  }
  // Asked before each page while the printing dialog shows it: true when the user has
  // cancelled the printing.
  virtual bool PrintingCancelled(TDialog& printingDialog, int page) {
    (void)printingDialog, (void)page;
    return false;
  }
  // A list to choose one row from, under column headings (UTF-8 texts); the chosen row's
  // index, or nothing when the user cancelled. A user that knows nothing of it cancels.
  virtual std::optional<int> ChooseRow(QWidget* owner, const std::string& caption,
                                       const std::vector<std::string>& columns,
                                       const std::vector<std::vector<std::string>>& rows) {
    (void)owner, (void)caption, (void)columns, (void)rows;
    return std::nullopt;
  }
  // A dialog of Qt's own widgets, modal: QDialog::Accepted or Rejected. A user that knows
  // nothing of it cancels it.
  virtual int RunQtDialog(QWidget* owner, QDialog& dialog) {
    (void)owner, (void)dialog;
    return 0;
  }
  // A password typed under prompt (UTF-8 texts), or nothing when the user cancelled. A user
  // that knows nothing of it cancels it.
  virtual std::optional<std::string> AskPassword(QWidget* owner, const std::string& caption,
                                                 const std::string& prompt) {
    (void)owner, (void)caption, (void)prompt;
    return std::nullopt;
  }
  // A long step's progress, done of total, shown with Cancel: true when the user has
  // cancelled it.
  virtual bool ProgressCancelled(QProgressDialog& progress, int done, int total) {
    (void)progress, (void)done, (void)total;
    return false;
  }
};

ModalUser& Modal();
// Installs a replacement (tests); nullptr brings back the real one.
void SetModalUser(ModalUser* user);

// Texts are Windows-1252 bytes, as everywhere in the programs.
int MessageBox(QWidget* owner, std::string_view text, std::string_view caption, unsigned style);

// Run the dialog; on success data.fileName holds the chosen path and the chosen file's
// folder becomes the current directory (pictures and results are found through it). A name
// without extension gets the chosen type's, or the default one.
bool GetOpenFileName(QWidget* owner, TOpenSaveDialogData& data);
bool GetSaveFileName(QWidget* owner, TOpenSaveDialogData& data);
// The multi-select open dialog; on success paths holds the chosen files and data.fileName the
// first of them. The current directory stays where it was.
bool GetOpenFileNames(QWidget* owner, TOpenSaveDialogData& data, std::vector<std::string>& paths);
// The path taken as if the user had chosen it in the open dialog (a file named on the command
// line): made full, given the default extension, and its folder made the current directory.
void ChooseOpenFileByName(TOpenSaveDialogData& data, const std::string& path);

void WinHelp(QWidget* owner, std::string_view helpFile, int command);

}  // namespace platform
