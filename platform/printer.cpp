#include "platform/printer.h"

#include <filesystem>
#include <new>
#include <system_error>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include "platform/cp1252.h"
#include "platform/dialog.h"
#include "platform/modal.h"
#include "platform/qt_dc.h"
#include "platform/recording_dc.h"
#include "resources/resource_types.h"

namespace platform {

namespace {

// The pattern with each "%s" or "%d" replaced by the next value, in order.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string result;
  auto value = values.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == 's' || pattern[i + 1] == 'd') &&
        value != values.end()) {
      result += *value++;
      ++i;
    } else {
      result += pattern[i];
    }
  }
  return result;
}

// A PDF written whole ends with its end-of-file marker; a full disk cuts it short.
bool EndsLikePdf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() < 16) return false;
  file.seek(file.size() - 16);
  return file.read(16).contains("%%EOF");
}

// The finished PDF takes the permissions of the file it replaces, or those of any new file;
// a temporary file is readable by its owner alone, which would hide the PDF from colleagues.
void GiveUsualPermissions(const QString& part, const QString& target) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::perms perms = fs::status(target.toStdString(), error).permissions();
  if (error || perms == fs::perms::unknown) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    perms = static_cast<fs::perms>(0666 & ~mask);
  }
  fs::permissions(part.toStdString(), perms, error);
}

// Why writing into this folder failed, as one of the string table's reasons.
int WriteFailure(const QString& folder) {
  QStorageInfo storage(folder);
  const qint64 lowSpace = 1 << 20;
  if (storage.isValid() && storage.bytesAvailable() < lowSpace) return resources::IDS_PRN_OUT_OF_DISK;
  return resources::IDS_PRN_GENERIC_ERROR;
}

}  // namespace

// Dialog 32599, shown while the pages of a job are drawn; its Cancel stops the job between
// pages.
class TPrinter::PrintingDialog {
 public:
  PrintingDialog(QWidget* parent, const std::string& title, const QPrinter& printer)
      : dialog_(parent, resources::kPrintingDialog, nullptr), pageLine_(dialog_.ControlText(101)) {
    dialog_.SetControlText(102, Fill(dialog_.ControlText(102), {title}));
    std::string device, port;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
      device = "PDF";
      port = PathToText(PathFromQt(QFileInfo(printer.outputFileName()).fileName()));
    } else {
      device = ToCp1252(printer.printerName());
      const QString location = QPrinterInfo(printer).location();
      port = location.isEmpty() ? "localhost" : ToCp1252(location);
    }
    dialog_.SetControlText(103, Fill(dialog_.ControlText(103), {device, port}));
    dialog_.Widget()->show();
  }
  ~PrintingDialog() { dialog_.Widget()->hide(); }

  bool Cancelled(int page) {
    dialog_.SetControlText(101, Fill(pageLine_, {std::to_string(page)}));
    return Modal().PrintingCancelled(dialog_, page);
  }

 private:
  TDialog dialog_;
  std::string pageLine_;
};

TPrinter::TPrinter() = default;
TPrinter::~TPrinter() = default;

QPrinter& TPrinter::Device() {
  // Made on first use: finding the printers asks the print server.
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void TPrinter::AskDialogInfo(TPrintout& printout) {
  TPrintDialogData info;
  printout.GetDialogInfo(info.minPage, info.maxPage, info.fromPage, info.toPage);
  data_ = offered_ = info;
  // The job's name, from which the print dialog also proposes a PDF file name.
  Device().setDocName(QFileInfo(FromCp1252(printout.Title())).fileName());
}

bool TPrinter::Print(QWidget* parent, TPrintout& printout, bool prompt) {
  printed_.clear();
  try {
    AskDialogInfo(printout);
    QPrinter& printer = Device();
    if (prompt && !Modal().PrintDialog(parent, printer, data_)) return false;
    return PrintJob(parent, printout, printer);
  } catch (const std::bad_alloc&) {
    printed_.clear();
    ReportError(parent, printout.Title(), resources::IDS_PRN_OUT_OF_MEMORY);
    return false;
  }
}

bool TPrinter::PrintJob(QWidget* parent, TPrintout& printout, QPrinter& printer) {
  PrintingDialog dialog(parent, printout.Title(), printer);
  failure_ = resources::IDS_PRN_GENERIC_ERROR;
  Outcome outcome;
  if (recorder_) {
    const TSize size{recorder_->GetDeviceCaps(HORZRES), recorder_->GetDeviceCaps(VERTRES)};
    outcome = RunPages(printout, *recorder_, size, nullptr, &dialog);
  } else if (printer.outputFormat() == QPrinter::PdfFormat) {
    outcome = PrintToFile(printout, printer, dialog);
  } else {
    outcome = PrintToPrinter(printout, printer, dialog);
  }
  if (outcome == Outcome::Printed) return true;
  printed_.clear();
  // A job the user cancelled was discarded whole; there is nothing more to say.
  if (outcome == Outcome::Failed) ReportError(parent, printout.Title(), failure_);
  return false;
}

// The pages go to a temporary file beside the chosen one, which replaces it only when every
// page has been written.
TPrinter::Outcome TPrinter::PrintToFile(TPrintout& printout, QPrinter& printer,
                                        PrintingDialog& dialog) {
  const QString target = printer.outputFileName();
  const QString folder = QFileInfo(target).absolutePath();
  QTemporaryFile part(folder + "/.quiz-print-XXXXXX.pdf");
  if (target.isEmpty() || !part.open()) {
    failure_ = WriteFailure(folder);
    return Outcome::Failed;
  }
  part.close();
  printer.setOutputFileName(part.fileName());
  Outcome outcome = DrawOn(printer, printout, &dialog);
  printer.setOutputFileName(target);
  if (outcome != Outcome::Printed) return outcome;
  std::error_code error;
  if (!EndsLikePdf(part.fileName())) {
    failure_ = WriteFailure(folder);
    return Outcome::Failed;
  }
  GiveUsualPermissions(part.fileName(), target);
  std::filesystem::rename(part.fileName().toStdString(), target.toStdString(), error);
  if (error) {
    failure_ = WriteFailure(folder);
    return Outcome::Failed;
  }
  part.setAutoRemove(false);
  return Outcome::Printed;
}

// The job is first drawn into a temporary PDF with the printer's page layout while Cancel is
// offered; only a job drawn whole is then drawn again onto the printer, which sends it.
TPrinter::Outcome TPrinter::PrintToPrinter(TPrintout& printout, QPrinter& printer,
                                           PrintingDialog& dialog) {
  if (!printer.isValid() || printer.printerName().isEmpty()) return Outcome::Failed;
  QTemporaryFile spool(QDir::tempPath() + "/quiz-print-XXXXXX.pdf");
  if (!spool.open()) {
    failure_ = WriteFailure(QDir::tempPath());
    return Outcome::Failed;
  }
  spool.close();
  QPrinter rehearsal(QPrinter::HighResolution);
  rehearsal.setOutputFormat(QPrinter::PdfFormat);
  rehearsal.setOutputFileName(spool.fileName());
  rehearsal.setResolution(printer.resolution());
  rehearsal.setPageLayout(printer.pageLayout());
  rehearsal.setFullPage(printer.fullPage());
  Outcome outcome = DrawOn(rehearsal, printout, &dialog);
  if (outcome != Outcome::Printed) return outcome;
  if (!EndsLikePdf(spool.fileName())) {
    failure_ = WriteFailure(QDir::tempPath());
    return Outcome::Failed;
  }
  outcome = DrawOn(printer, printout, nullptr);
  if (outcome == Outcome::Printed && printer.printerState() == QPrinter::Aborted) {
    failure_ = resources::IDS_PRN_MANAGER_ABORT;
    return Outcome::Failed;
  }
  return outcome;
}

TPrinter::Outcome TPrinter::DrawOn(QPrinter& device, TPrintout& printout, PrintingDialog* dialog) {
  QPainter painter;
  if (!painter.begin(&device)) return Outcome::Failed;
  Outcome outcome;
  {
    TQtDC dc(painter, device.resolution());
    outcome = RunPages(printout, dc, {device.width(), device.height()}, &device, dialog);
  }
  if (!painter.end() && outcome == Outcome::Printed) return Outcome::Failed;
  return outcome;
}

TPrinter::Outcome TPrinter::RunPages(TPrintout& printout, TDC& dc, TSize pageSize,
                                     QPrinter* device, PrintingDialog* dialog) {
  printed_.clear();
  printout.SetPrintParams(&dc, pageSize);
  for (int page = data_.fromPage; page <= data_.toPage && printout.HasPage(page); ++page) {
    if (dialog && dialog->Cancelled(page)) return Outcome::Cancelled;
    if (!printed_.empty() && device && !device->newPage()) return Outcome::Failed;
    TRect rect{0, 0, pageSize.cx, pageSize.cy};
    printout.PrintPage(page, rect, 0);
    dc.Flush();
    printed_.push_back(page);
  }
  return Outcome::Printed;
}

void TPrinter::Preview(QWidget* parent, TPrintout& printout) {
  printed_.clear();
  AskDialogInfo(printout);
  QPrinter& printer = Device();
  // Its print button prints what it shows, whatever range the last print chose.
  printer.setPrintRange(QPrinter::AllPages);
  QPrintPreviewDialog preview(&printer, parent);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&](QPrinter* device) {
    // The preview draws its pages on a picture engine; anything else is its print button,
    // after Qt's print dialog has chosen the printer and the pages.
    if (device->paintEngine() && device->paintEngine()->type() == QPaintEngine::Picture) {
      DrawPreview(printout, *device);
      return;
    }
    data_ = offered_;
    if (device->printRange() == QPrinter::PageRange && device->fromPage() > 0) {
      data_.fromPage = std::clamp(device->fromPage(), offered_.minPage, offered_.maxPage);
      data_.toPage = std::clamp(device->toPage(), data_.fromPage, offered_.maxPage);
    }
    try {
      PrintJob(&preview, printout, *device);
    } catch (const std::bad_alloc&) {
      printed_.clear();
      ReportError(&preview, printout.Title(), resources::IDS_PRN_OUT_OF_MEMORY);
    }
  });
  Modal().PrintPreview(parent, preview);
}

void TPrinter::DrawPreview(TPrintout& printout, QPrinter& device) {
  data_ = offered_;
  QPainter painter;
  if (!painter.begin(&device)) return;
  TQtDC qtDC(painter, device.resolution());
  TDC& dc = recorder_ ? static_cast<TDC&>(*recorder_) : qtDC;
  RunPages(printout, dc, {device.width(), device.height()}, &device, nullptr);
}

void TPrinter::ReportError(QWidget* parent, const std::string& title, int reason) {
  const std::string text =
      Fill(resources::LoadString(resources::IDS_PRN_NOT_PRINTED), {title, resources::LoadString(reason)});
  MessageBox(parent, text, resources::LoadString(resources::IDS_PRN_ERROR_CAPTION),
             MB_OK | MB_ICONHAND);
}

}  // namespace platform
