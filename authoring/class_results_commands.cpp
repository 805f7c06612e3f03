#include <memory>

#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "gradebook/class_print.h"
#include "gradebook/class_results_window.h"
#include "gradebook/gradebook_thread.h"
#include "gradebook/hand_in_listener.h"
#include "gradebook/hand_in_window.h"
#include "gradebook/location_dialog.h"
#include "gradebook/store.h"
#include "platform/modal.h"

namespace quizloom {

gradebook::TGradebookThread* TTestWindow::Gradebook() {
  if (!gradebookThread) gradebookThread = std::make_unique<gradebook::TGradebookThread>();
  if (!gradebookThread->Store()) {
    std::string error;
    // This computer's file or the school's server, as Gradebook Location chose.
    gradebookThread->Keep(gradebook::OpenChosen(*gradebookThread, this, error));
    if (!gradebookThread->Store() && !error.empty()) Warn(error.c_str());
  }
  return gradebookThread->Store() ? gradebookThread.get() : nullptr;
}

std::optional<int64_t> TTestWindow::ChooseClassResults(std::string& name) {
  gradebook::TGradebookThread* gradebook = Gradebook();
  if (!gradebook) return std::nullopt;
  return gradebook::ChooseClassTest(this, *gradebook, &listWindow->openTest, name);
}

// One window at a time: asking for another test's results shows that test in its place.
void TTestWindow::CmClassResults() {
  // The open test's hand-ins first: they may be all the gradebook will hold of it.
  if (!Gradebook()) return;
  CollectHandInsOf(std::nullopt);
  std::string name;
  const std::optional<int64_t> test = ChooseClassResults(name);
  if (!test) return;
  if (!classResultsWindow || classResultsWindow->TestId() != *test)
    classResultsWindow = std::make_unique<gradebook::TClassResultsWindow>(*gradebookThread, *test,
                                                                         name, *printer, this);
  // What was handed in while nobody watched is collected first; arrivals are then followed.
  FollowHandIns();
  CollectHandInsOf(*test);
  if (!classResultsWindow->Reload()) return;
  classResultsWindow->show();
  classResultsWindow->raise();
  classResultsWindow->activateWindow();
}

// An open Class Results window shows what was just collected.
void TTestWindow::RefreshClassResults() {
  if (classResultsWindow && classResultsWindow->isVisible()) classResultsWindow->Reload();
}

// The next Class Results reads the gradebook at its new place.
void TTestWindow::ForgetGradebook() {
  handInWindow.reset();
  handInListener = nullptr;  // ended on the thread by Close
  classResultsWindow.reset();
  if (gradebookThread) gradebookThread->Close();
}

void TTestWindow::CmPrintClassResults() {
  std::string name;
  const std::optional<int64_t> test = ChooseClassResults(name);
  gradebook::TLoadedClass loaded;
  if (!test || !loaded.Load(*gradebookThread, *test, this)) return;
  gradebook::TClassPrint printout(name, loaded.data, gradebook::ByName(loaded.data), *printer);
  printer->Print(this, printout, true);
}

}  // namespace quizloom
