#include <memory>

#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "gradebook/class_print.h"
#include "gradebook/class_results_window.h"
#include "gradebook/store.h"
#include "platform/modal.h"

namespace quizloom {

gradebook::TStore* TTestWindow::Gradebook() {
  if (!gradebookStore) {
    std::string error;
    gradebookStore = gradebook::TStore::Open(gradebook::TStore::DefaultPath(), error);
    if (!gradebookStore) Warn(error.c_str());
  }
  return gradebookStore.get();
}

// One window at a time: asking for another test's results shows that test in its place.
void TTestWindow::CmClassResults() {
  gradebook::TStore* store = Gradebook();
  if (!store) return;
  std::string name;
  const std::optional<int64_t> test =
      gradebook::ChooseClassTest(this, *store, &listWindow->openTest, name);
  if (!test) return;
  if (!classResultsWindow || classResultsWindow->TestId() != *test)
    classResultsWindow =
        std::make_unique<gradebook::TClassResultsWindow>(*store, *test, name, *printer, this);
  if (!classResultsWindow->Reload()) return;
  classResultsWindow->show();
  classResultsWindow->raise();
  classResultsWindow->activateWindow();
}

void TTestWindow::CmPrintClassResults() {
  gradebook::TStore* store = Gradebook();
  if (!store) return;
  std::string name;
  const std::optional<int64_t> test =
      gradebook::ChooseClassTest(this, *store, &listWindow->openTest, name);
  gradebook::TLoadedClass loaded;
  if (!test || !loaded.Load(*store, *test, this)) return;
  gradebook::TClassPrint printout(name, loaded.data, *printer);
  printer->Print(this, printout, true);
}

}  // namespace quizloom
