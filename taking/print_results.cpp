#include <optional>

#include "core/dialogs.h"
#include "platform/printer.h"
#include "taking/results_file.h"
#include "taking/test_window.h"
#include "taking/text_print.h"

namespace quizdesk {

namespace {

constexpr char kPrintAgain[] =
    "Do you want to print another set of results from"
    " the same drive? If so put the next disk into the drive and make sure the printer"
    " is ready.";

// The Print Options dialog on five cleared flags; nothing when it was cancelled.
std::optional<TPrintOptions> ChoosePrintOptions(QWidget* owner) {
  core::TPrintOptionsRecord record{0, 0, 0, 0, 0};
  core::TPrintThisDialog dialog(owner, &record);
  if (dialog.Execute() != platform::IDOK) return std::nullopt;
  return TPrintOptions{record.course, record.period, record.instructor, record.questionAndAnswer,
                       record.answerOnly};
}

}  // namespace

void TTestWindow::CmPrintResults() {
  // Only the idle menus offer it; a question being answered keeps the window.
  if (Answering()) return;
  const std::string path = ChooseResultsPath(this);
  if (path.empty()) return;
  if (!ResultsFileExists(path)) {
    Warn("There are no test results on the specified drive!!");
    return;
  }
  const std::optional<TPrintOptions> options = ChoosePrintOptions(this);
  if (!options) return;
  for (;;) {
    PrintResultsOnce(*options, path);
    if (!core::AskForAnotherDisk(this, path, kPrintAgain, "Print Again")) return;
  }
}

void TTestWindow::PrintResultsOnce(const TPrintOptions& options, const std::string& path) {
  TTextPrint printout(options, path);
  // Read before the print dialog: a missing or damaged file has been reported and nothing,
  // not even an empty page, goes to the printer.
  if (!printout.ReadResults(this)) return;
  printout.SetName(ResultsName(printout.information, path));
  printer->Print(this, printout, true);
}

}  // namespace quizdesk
