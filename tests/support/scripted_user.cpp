#include "tests/support/scripted_user.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPrintPreviewDialog>
#include <QPageRanges>
#include <QPrinter>

#include "platform/dialog.h"

namespace testing_support {

namespace {
const char* KindName(Prompt::Kind kind) {
  switch (kind) {
    case Prompt::Kind::Message: return "message box";
    case Prompt::Kind::Dialog: return "dialog";
    case Prompt::Kind::File: return "file dialog";
    case Prompt::Kind::Help: return "help";
    case Prompt::Kind::Print: return "print dialog";
    case Prompt::Kind::Preview: return "print preview";
    case Prompt::Kind::Printing: return "printing dialog";
    case Prompt::Kind::Rows: return "list of rows";
    case Prompt::Kind::QtDialog: return "dialog";
    case Prompt::Kind::Password: return "password prompt";
  }
  return "?";
}
}  // namespace

ScriptedUser::ScriptedUser() { platform::SetModalUser(this); }

ScriptedUser::~ScriptedUser() {
  platform::SetModalUser(nullptr);
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) were never asked for; next: "
                                << (answers_.empty() ? "" : KindName(answers_.front().kind));
}

ScriptedUser& ScriptedUser::AnswerMessage(int result) {
  answers_.push_back({Prompt::Kind::Message, result, {}, {}});
  return *this;
}

ScriptedUser& ScriptedUser::AnswerDialog(int result, std::function<void(platform::TDialog&)> fill) {
  answers_.push_back({Prompt::Kind::Dialog, result, std::move(fill), {}});
  return *this;
}

ScriptedUser& ScriptedUser::ChooseFile(std::string path, int filterIndex) {
  answers_.push_back({Prompt::Kind::File, 0, {}, std::move(path), {}, filterIndex});
  return *this;
}

ScriptedUser& ScriptedUser::ChooseFiles(std::vector<std::string> paths) {
  Answer answer{Prompt::Kind::File, 0, {}, std::string()};
  answer.paths = std::move(paths);
  answers_.push_back(std::move(answer));
  return *this;
}

ScriptedUser& ScriptedUser::CancelFile() {
  answers_.push_back({Prompt::Kind::File, 0, {}, std::nullopt});
  return *this;
}

ScriptedUser& ScriptedUser::ChoosePrint(std::string pdfPath, int from, int to) {
  Answer answer{Prompt::Kind::Print, platform::IDOK, {}, std::move(pdfPath)};
  answer.from = from;
  answer.to = to;
  answers_.push_back(std::move(answer));
  return *this;
}

ScriptedUser& ScriptedUser::ChoosePrintPages(std::string pdfPath, std::string pages) {
  Answer answer{Prompt::Kind::Print, platform::IDOK, {}, std::move(pdfPath)};
  answer.pages = std::move(pages);
  answers_.push_back(std::move(answer));
  return *this;
}

ScriptedUser& ScriptedUser::CancelPrint() {
  answers_.push_back({Prompt::Kind::Print, platform::IDCANCEL, {}, {}});
  return *this;
}

ScriptedUser& ScriptedUser::AnswerPreview(std::function<void(QPrintPreviewDialog&)> look) {
  Answer answer{Prompt::Kind::Preview, platform::IDOK, {}, {}};
  answer.look = std::move(look);
  answers_.push_back(std::move(answer));
  return *this;
}

ScriptedUser& ScriptedUser::ChooseRow(std::optional<int> row) {
  answers_.push_back({Prompt::Kind::Rows, row.value_or(-1), {}, {}});
  return *this;
}

std::optional<int> ScriptedUser::ChooseRow(QWidget* owner, const std::string& caption,
                                           const std::vector<std::string>&,
                                           const std::vector<std::vector<std::string>>& rows) {
  Prompt p{Prompt::Kind::Rows, owner, caption, caption};
  p.rows = rows;
  prompts_.push_back(p);
  auto answer = Take(Prompt::Kind::Rows, caption);
  if (!answer || answer->result < 0) return std::nullopt;
  return answer->result;
}

ScriptedUser& ScriptedUser::AnswerQtDialog(int result, std::function<void(QDialog&)> fill) {
  answers_.push_back({Prompt::Kind::QtDialog, result, {}, {}});
  answers_.back().fillQt = std::move(fill);
  return *this;
}

ScriptedUser& ScriptedUser::AnswerPassword(std::optional<std::string> password) {
  answers_.push_back({Prompt::Kind::Password, 0, {}, std::move(password)});
  return *this;
}

int ScriptedUser::RunQtDialog(QWidget* owner, QDialog& dialog) {
  const std::string title = dialog.windowTitle().toStdString();
  prompts_.push_back({Prompt::Kind::QtDialog, owner, title, title});
  auto answer = Take(Prompt::Kind::QtDialog, title);
  if (!answer) return QDialog::Rejected;
  if (answer->fillQt) answer->fillQt(dialog);
  return answer->result;
}

std::optional<std::string> ScriptedUser::AskPassword(QWidget* owner, const std::string& caption,
                                                     const std::string& prompt) {
  prompts_.push_back({Prompt::Kind::Password, owner, prompt, caption});
  auto answer = Take(Prompt::Kind::Password, prompt);
  return answer ? answer->path : std::nullopt;
}

ScriptedUser& ScriptedUser::CancelPrintingAt(int page) {
  cancelPrintingAt_ = page;
  return *this;
}

std::vector<Prompt> ScriptedUser::Messages() const {
  std::vector<Prompt> result;
  for (const Prompt& p : prompts_)
    if (p.kind == Prompt::Kind::Message) result.push_back(p);
  return result;
}

std::optional<ScriptedUser::Answer> ScriptedUser::Take(Prompt::Kind kind, const std::string& what) {
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected " << KindName(kind) << ": \"" << what << "\"";
    return std::nullopt;
  }
  if (answers_.front().kind != kind) {
    ADD_FAILURE() << "expected a " << KindName(answers_.front().kind) << " but got a "
                  << KindName(kind) << ": \"" << what << "\"";
    return std::nullopt;
  }
  Answer answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

int ScriptedUser::MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                             unsigned style) {
  Prompt p;
  p.owner = owner;
  p.text = text;
  p.caption = caption;
  p.style = style;
  prompts_.push_back(p);
  auto answer = Take(Prompt::Kind::Message, text);
  return answer ? answer->result : platform::IDCANCEL;
}

int ScriptedUser::RunDialog(QWidget* owner, platform::TDialog& dialog) {
  Prompt p;
  p.kind = Prompt::Kind::Dialog;
  p.owner = owner;
  p.text = dialog.TemplateName();
  p.caption = dialog.Title();
  prompts_.push_back(p);
  auto answer = Take(Prompt::Kind::Dialog, p.text);
  if (!answer) return platform::IDCANCEL;
  if (answer->fill) answer->fill(dialog);
  return answer->result;
}

std::optional<std::string> ScriptedUser::ChooseFile(QWidget* owner,
                                                    platform::TOpenSaveDialogData& data,
                                                    platform::FileDialogKind kind) {
  Prompt p;
  p.kind = Prompt::Kind::File;
  p.owner = owner;
  p.text = data.filter;
  p.fileKind = kind;
  p.fileData = data;
  prompts_.push_back(p);
  auto answer = Take(Prompt::Kind::File, data.filter);
  if (answer && answer->path && answer->from > 0) data.filterIndex = answer->from;
  lastFilePaths_.reset();
  if (answer && answer->path)
    lastFilePaths_ = answer->paths.empty() ? std::vector{*answer->path} : answer->paths;
  return answer ? answer->path : std::nullopt;
}

std::optional<std::vector<std::string>> ScriptedUser::ChooseFiles(
    QWidget* owner, const platform::TOpenSaveDialogData& data) {
  platform::TOpenSaveDialogData chosen = data;
  ChooseFile(owner, chosen, platform::FileDialogKind::Open);
  if (!lastFilePaths_) return std::nullopt;
  return std::move(*lastFilePaths_);
}

void ScriptedUser::Help(QWidget* owner, const std::string& helpFile, int command) {
  Prompt p;
  p.kind = Prompt::Kind::Help;
  p.owner = owner;
  p.text = helpFile;
  p.helpCommand = command;
  prompts_.push_back(p);
}

}  // namespace testing_support

namespace testing_support {

bool ScriptedUser::PrintDialog(QWidget* owner, QPrinter& printer, platform::TPrintDialogData& data) {
  Prompt p;
  p.kind = Prompt::Kind::Print;
  p.owner = owner;
  p.printData = data;
  prompts_.push_back(p);
  auto answer = Take(Prompt::Kind::Print, "print");
  if (!answer || answer->result != platform::IDOK) return false;
  if (answer->path && !answer->path->empty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(*answer->path));
  }
  if (answer->from > 0) {
    data.fromPage = answer->from;
    data.toPage = answer->to;
  }
  if (!answer->pages.empty()) {
    printer.setPageRanges(QPageRanges::fromString(QString::fromStdString(answer->pages)));
    printer.setPrintRange(QPrinter::PageRange);
    data.fromPage = printer.fromPage();
    data.toPage = printer.toPage();
  }
  return true;
}

void ScriptedUser::PrintPreview(QWidget* owner, QPrintPreviewDialog& preview) {
  Prompt p;
  p.kind = Prompt::Kind::Preview;
  p.owner = owner;
  p.caption = preview.windowTitle().toStdString();
  prompts_.push_back(p);
  auto answer = Take(Prompt::Kind::Preview, p.caption);
  if (answer && answer->look) answer->look(preview);
}

bool ScriptedUser::PrintingCancelled(platform::TDialog& printingDialog, int page) {
  Prompt p;
  p.kind = Prompt::Kind::Printing;
  p.caption = printingDialog.Title();
  p.text = printingDialog.ControlText(101) + "\n" + printingDialog.ControlText(102) + "\n" +
           printingDialog.ControlText(103);
  p.page = page;
  prompts_.push_back(p);
  return page == cancelPrintingAt_;
}

}  // namespace testing_support
