#pragma once
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/printout.h"

class QPrinter;
class QWidget;

namespace platform {

class TDC;
class TRecordingDC;

// Why no printer can be reached, or empty when one can; by default the print server is asked.
// Tests replace it (nullptr brings back the print server's answer).
using TPrinterProbe = std::function<std::string()>;
void SetPrinterProbe(TPrinterProbe probe);

// The printer of a main window. It keeps the print dialog's data and the chosen printer (or
// PDF file) between prints, shows the print dialog and the printing dialog "Printing", and
// drives the printout's pages on a high-resolution QPrinter, inside margins of at least 10 mm.
// A job is drawn once and whole, into a PDF, before anything reaches the print server or the
// chosen file, so Cancel in the printing dialog wastes no paper and leaves no half-written
// file. Failures, the print server's refusals included, are reported in a "Print Error" box.
// When no printer can be reached, the user is asked before the print dialog whether to print
// to a PDF file instead, rather than being given one unasked.
class TPrinter {
 public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // The printouts keep a reference to it: the first and last page chosen.
  TPrintDialogData& DialogData() { return data_; }

  // Asks the printout for its page limits, shows the print dialog with them when prompt is
  // set, and prints the chosen pages. True when every chosen page was printed; false when
  // the dialog or the printing was cancelled or printing failed (the user has been told).
  bool Print(QWidget* parent, TPrintout& printout, bool prompt);
  // Shows the pages Print would print in the print preview, whose own print button prints
  // them through the same job.
  void Preview(QWidget* parent, TPrintout& printout);

  // The page numbers the last job printed, in order; empty when nothing was printed.
  const std::vector<int>& PrintedPages() const { return printed_; }
  // Tests: jobs draw into this recorder instead of a printer (nullptr switches back).
  void RecordDrawingInto(TRecordingDC* recorder) { recorder_ = recorder; }

 private:
  enum class Outcome { Printed, Cancelled, Failed };
  class PrintingDialog;

  QPrinter& Device();
  bool PrinterOrPdfFile(QWidget* parent);
  void AskDialogInfo(TPrintout& printout);
  bool PrintJob(QWidget* parent, TPrintout& printout, QPrinter& printer);
  Outcome PrintToFile(TPrintout& printout, QPrinter& printer, PrintingDialog& dialog);
  Outcome PrintToPrinter(TPrintout& printout, QPrinter& printer, PrintingDialog& dialog);
  Outcome DrawOn(QPrinter& device, TPrintout& printout, PrintingDialog* dialog);
  Outcome RunPages(TPrintout& printout, TDC& dc, TSize pageSize, QPrinter* device,
                   PrintingDialog* dialog);
  void DrawPreview(TPrintout& printout, QPrinter& device);
  void ChooseSpans(const QPrinter& printer);
  // reason is one of the string table's reasons or the print server's own, in Windows-1252.
  void ReportError(QWidget* parent, const std::string& title, const std::string& reason);

  TPrintDialogData data_;
  TPrintDialogData offered_;  // what the printout proposed for this job
  std::unique_ptr<QPrinter> printer_;
  bool pdfInstead_ = false;  // the user chose a PDF file because no printer could be reached
  std::vector<int> printed_;
  TRecordingDC* recorder_ = nullptr;
  std::string failure_;  // the last failure's reason
  // The chosen pages as stretches from first to last, in order: a page list or one range.
  std::vector<std::pair<int, int>> spans_;
};

}  // namespace platform
