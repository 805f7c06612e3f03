#include "platform/printer.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>
#include <system_error>

#include <sys/stat.h>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageRanges>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include "platform/cp1252.h"
#include "platform/cups_job.h"
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

// Asked before the print dialog when no printer can be reached.
constexpr char kNoPrinter[] = "No printer can be reached (%s). Print to a PDF file instead?";
constexpr char kNoPrinterCaption[] = "No Printer";

TPrinterProbe& Probe() {
  static TPrinterProbe probe;
  return probe;
}

// Nothing is drawn nearer the paper's edge than this: many printers cannot print there, and a
// sheet may be punched for a binder.
constexpr double kMarginMillimetres = 10;

// The part of the page the printouts draw in, from the painter's origin: what the printer
// can print, and at least the margin from every edge of the paper.
QRect DrawingArea(const QPrinter& device) {
  const QRectF paper = device.paperRect(QPrinter::DevicePixel);
  const QRectF printable = device.pageRect(QPrinter::DevicePixel);
  const double margin = kMarginMillimetres / 25.4 * device.resolution();
  QRectF area = paper.adjusted(margin, margin, -margin, -margin).intersected(printable);
  if (!device.fullPage()) area.translate(-printable.topLeft());
  const int left = static_cast<int>(std::ceil(area.left()));
  const int top = static_cast<int>(std::ceil(area.top()));
  return QRect(left, top, std::max(0, static_cast<int>(std::floor(area.right())) - left),
               std::max(0, static_cast<int>(std::floor(area.bottom())) - top));
}

// Qt's print dialog keeps the choices of its job options page (pages per sheet, odd or even
// pages, banners, priority, ...) for the print server under this key of the engine.
const auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// What the print dialog chose besides the pages, for the print server. The PDF carries the
// orientation and only the chosen pages, so neither is asked for again.
TJobOptions JobOptions(QPrinter& printer) {
  TJobOptions options;
  const QStringList chosen = printer.printEngine()
                                 ? printer.printEngine()->property(kCupsOptionsKey).toStringList()
                                 : QStringList();
  // The pages are chosen here, odd or even ones included, so the print server is not asked to
  // choose among them again.
  const QStringList ours{"copies", "multiple-document-handling", "Collate", "collate", "sides",
                         "Duplex", "media", "PageSize", "page-ranges", "page-set",
                         "orientation-requested", "landscape", "print-color-mode", "outputorder"};
  for (qsizetype i = 0; i + 1 < chosen.size(); i += 2)
    if (!ours.contains(chosen[i])) options.emplace_back(chosen[i].toStdString(), chosen[i + 1].toStdString());
  options.emplace_back("copies", std::to_string(std::max(1, printer.copyCount())));
  options.emplace_back("multiple-document-handling", printer.collateCopies()
                                                         ? "separate-documents-collated-copies"
                                                         : "separate-documents-uncollated-copies");
  switch (printer.duplex()) {
    case QPrinter::DuplexNone: options.emplace_back("sides", "one-sided"); break;
    case QPrinter::DuplexLongSide: options.emplace_back("sides", "two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: options.emplace_back("sides", "two-sided-short-edge"); break;
    case QPrinter::DuplexAuto:
      options.emplace_back("sides", printer.pageLayout().orientation() == QPageLayout::Landscape
                                        ? "two-sided-short-edge"
                                        : "two-sided-long-edge");
      break;
  }
  const QString media = printer.pageLayout().pageSize().key();
  if (!media.isEmpty()) options.emplace_back("media", media.toStdString());
  if (printer.colorMode() == QPrinter::GrayScale) options.emplace_back("print-color-mode", "monochrome");
  if (printer.pageOrder() == QPrinter::LastPageFirst) options.emplace_back("outputorder", "reverse");
  return options;
}

// "odd" or "even" when the print dialog asked for those pages only; else empty.
QString ChosenPageSet(const QPrinter& printer) {
  if (printer.outputFormat() != QPrinter::NativeFormat || !printer.printEngine()) return {};
  const QStringList chosen = printer.printEngine()->property(kCupsOptionsKey).toStringList();
  for (qsizetype i = 0; i + 1 < chosen.size(); i += 2)
    if (chosen[i] == "page-set" && (chosen[i + 1] == "odd" || chosen[i + 1] == "even")) return chosen[i + 1];
  return {};
}

}  // namespace

void SetPrinterProbe(TPrinterProbe probe) { Probe() = std::move(probe); }

// Dialog 32599, shown while the pages of a job are drawn; its Cancel stops the job between
// pages.
class TPrinter::PrintingDialog {
 public:
  PrintingDialog(QWidget* parent, const std::string& title, const QPrinter& printer)
      : dialog_(parent, resources::kPrintingDialog, nullptr), pageLine_(dialog_.ControlText(101)) {
    // The file's name without its folder, then where the job goes: the queue on its
    // location, or the PDF file in its folder.
    dialog_.SetControlText(102, Fill(dialog_.ControlText(102), {title.substr(title.rfind('/') + 1)}));
    std::string device, port;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
      const QFileInfo file(printer.outputFileName());
      device = PathToText(PathFromQt(file.fileName()));
      const QString folder = file.absoluteDir().dirName();
      port = PathToText(PathFromQt(folder.isEmpty() ? file.absolutePath() : folder));
    } else {
      device = ToCp1252(printer.printerName());
      const QString location = QPrinterInfo(printer).location();
      port = location.isEmpty() ? "localhost" : ToCp1252(location);
    }
    dialog_.SetControlText(103, Fill(dialog_.ControlText(103), {device, port}));
    dialog_.Widget()->show();
  }
  ~PrintingDialog() { Close(); }
  void Close() { dialog_.Widget()->hide(); }

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
  if (!PrinterOrPdfFile(parent)) return false;
  try {
    AskDialogInfo(printout);
    QPrinter& printer = Device();
    // The last job's page list is not offered again: the dialog starts from the range.
    printer.setPageRanges(QPageRanges());
    printer.setPrintRange(QPrinter::AllPages);
    if (prompt && !Modal().PrintDialog(parent, printer, data_)) return false;
    return PrintJob(parent, printout, printer);
  } catch (const std::bad_alloc&) {
    printed_.clear();
    ReportError(parent, printout.Name(), std::string(resources::LoadString(resources::IDS_PRN_OUT_OF_MEMORY)));
    return false;
  }
}

// With no printer to reach, Qt's print dialog offers a PDF file alone and would write it
// unasked: the user says first whether a PDF file will do. False when it will not.
bool TPrinter::PrinterOrPdfFile(QWidget* parent) {
  const std::string reason = Probe() ? Probe()() : NoPrinterReason();
  if (reason.empty()) {
    // A printer can be reached again: the dialog opens on the default printer, not the file.
    if (pdfInstead_) printer_.reset();
    pdfInstead_ = false;
    return true;
  }
  const std::string question = Fill(kNoPrinter, {ToCp1252(QString::fromStdString(reason))});
  qWarning().noquote() << FromCp1252(question);
  if (MessageBox(parent, question, kNoPrinterCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  Device().setOutputFormat(QPrinter::PdfFormat);
  pdfInstead_ = true;
  return true;
}

void TPrinter::ChooseSpans(const QPrinter& printer) {
  spans_.clear();
  if (printer.printRange() == QPrinter::PageRange) {
    for (const QPageRanges::Range& range : printer.pageRanges().toRangeList()) {
      const int from = std::max(range.from, offered_.minPage);
      const int to = std::min(range.to, offered_.maxPage);
      if (from <= to) spans_.emplace_back(from, to);
    }
  }
  if (spans_.empty()) spans_.emplace_back(data_.fromPage, data_.toPage);
  // Odd or even pages are those of the sheet's own numbers, each a stretch of its own.
  const QString pageSet = ChosenPageSet(printer);
  if (pageSet.isEmpty()) return;
  const int parity = pageSet == "odd" ? 1 : 0;
  std::vector<std::pair<int, int>> chosen;
  for (const auto& [from, to] : spans_)
    for (int page = from; page <= to; ++page)
      if (page % 2 == parity) chosen.emplace_back(page, page);
  if (!chosen.empty()) spans_ = std::move(chosen);
}

bool TPrinter::PrintJob(QWidget* parent, TPrintout& printout, QPrinter& printer) {
  ChooseSpans(printer);
  // A printer that cannot take the job is named before a single page is drawn.
  if (!recorder_ && printer.outputFormat() != QPrinter::PdfFormat) {
    const std::string problem = DestinationProblem(printer.printerName().toStdString());
    if (!problem.empty()) {
      printed_.clear();
      ReportError(parent, printout.Name(), ToCp1252(QString::fromStdString(problem)));
      return false;
    }
  }
  PrintingDialog dialog(parent, printout.Title(), printer);
  failure_ = resources::LoadString(resources::IDS_PRN_GENERIC_ERROR);
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
  if (outcome == Outcome::Failed) ReportError(parent, printout.Name(), failure_);
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
    failure_ = resources::LoadString(WriteFailure(folder));
    return Outcome::Failed;
  }
  part.close();
  printer.setOutputFileName(part.fileName());
  Outcome outcome = DrawOn(printer, printout, &dialog);
  printer.setOutputFileName(target);
  if (outcome != Outcome::Printed) return outcome;
  std::error_code error;
  if (!EndsLikePdf(part.fileName())) {
    failure_ = resources::LoadString(WriteFailure(folder));
    return Outcome::Failed;
  }
  GiveUsualPermissions(part.fileName(), target);
  std::filesystem::rename(part.fileName().toStdString(), target.toStdString(), error);
  if (error) {
    failure_ = resources::LoadString(WriteFailure(folder));
    return Outcome::Failed;
  }
  part.setAutoRemove(false);
  return Outcome::Printed;
}

// The job is drawn once, into a temporary PDF with the printer's page layout while Cancel is
// offered; only a job drawn whole is handed to the print server, whose answer is heard.
TPrinter::Outcome TPrinter::PrintToPrinter(TPrintout& printout, QPrinter& printer,
                                           PrintingDialog& dialog) {
  if (!printer.isValid() || printer.printerName().isEmpty()) return Outcome::Failed;
  QTemporaryFile spool(QDir::tempPath() + "/quiz-print-XXXXXX.pdf");
  if (!spool.open()) {
    failure_ = resources::LoadString(WriteFailure(QDir::tempPath()));
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
    failure_ = resources::LoadString(WriteFailure(QDir::tempPath()));
    return Outcome::Failed;
  }
  // A Cancel pressed while the file was finished still stops the job; once the job leaves,
  // Cancel is no longer offered.
  if (!printed_.empty() && dialog.Cancelled(printed_.back())) return Outcome::Cancelled;
  dialog.Close();
  const std::string refused =
      SendToDestination(printer.printerName().toStdString(), printer.docName().toStdString(),
                        QFile::encodeName(spool.fileName()).toStdString(), JobOptions(printer));
  if (!refused.empty()) {
    failure_ = ToCp1252(QString::fromStdString(refused));
    return Outcome::Failed;
  }
  return Outcome::Printed;
}

TPrinter::Outcome TPrinter::DrawOn(QPrinter& device, TPrintout& printout, PrintingDialog* dialog) {
  QPainter painter;
  if (!painter.begin(&device)) return Outcome::Failed;
  Outcome outcome;
  {
    const QRect area = DrawingArea(device);
    painter.translate(area.topLeft());
    TQtDC dc(painter, device.resolution(), TQtDC::TextMode::Transparent);
    outcome = RunPages(printout, dc, {area.width(), area.height()}, &device, dialog);
  }
  if (!painter.end() && outcome == Outcome::Printed) return Outcome::Failed;
  return outcome;
}

TPrinter::Outcome TPrinter::RunPages(TPrintout& printout, TDC& dc, TSize pageSize,
                                     QPrinter* device, PrintingDialog* dialog) {
  printed_.clear();
  // Each stretch of the page list is a range of its own to the printout, in order; the
  // dialog's data keeps the first and last page chosen afterwards.
  const std::vector<std::pair<int, int>> spans = spans_;
  Outcome outcome = Outcome::Printed;
  for (const auto& [from, to] : spans) {
    data_.fromPage = from;
    data_.toPage = to;
    printout.SetPrintParams(&dc, pageSize);
    for (int page = from; page <= to && printout.HasPage(page); ++page) {
      if (dialog && dialog->Cancelled(page)) {
        outcome = Outcome::Cancelled;
        break;
      }
      if (!printed_.empty() && device && !device->newPage()) {
        outcome = Outcome::Failed;
        break;
      }
      TRect rect{0, 0, pageSize.cx, pageSize.cy};
      printout.PrintPage(page, rect, 0);
      dc.Flush();
      printed_.push_back(page);
    }
    if (outcome != Outcome::Printed) break;
  }
  data_.fromPage = spans.front().first;
  data_.toPage = spans.back().second;
  return outcome;
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
    try {
      PrintJob(&preview, printout, *device);
    } catch (const std::bad_alloc&) {
      printed_.clear();
      ReportError(&preview, printout.Name(), std::string(resources::LoadString(resources::IDS_PRN_OUT_OF_MEMORY)));
    }
  });
  Modal().PrintPreview(parent, preview);
}

void TPrinter::DrawPreview(TPrintout& printout, QPrinter& device) {
  data_ = offered_;
  spans_.assign(1, {offered_.fromPage, offered_.toPage});
  QPainter painter;
  if (!painter.begin(&device)) return;
  const QRect area = DrawingArea(device);
  painter.translate(area.topLeft());
  TQtDC qtDC(painter, device.resolution(), TQtDC::TextMode::Transparent);
  TDC& dc = recorder_ ? static_cast<TDC&>(*recorder_) : qtDC;
  RunPages(printout, dc, {area.width(), area.height()}, &device, nullptr);
}

void TPrinter::ReportError(QWidget* parent, const std::string& title, const std::string& reason) {
  const std::string text =
      Fill(resources::LoadString(resources::IDS_PRN_NOT_PRINTED), {title, reason});
  // Also on the error output, where an administrator looking into a lost job finds it.
  qWarning().noquote() << FromCp1252(text);
  MessageBox(parent, text, resources::LoadString(resources::IDS_PRN_ERROR_CAPTION),
             MB_OK | MB_ICONHAND);
}

}  // namespace platform
