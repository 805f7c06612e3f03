#include <memory>

#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "authoring/text_print.h"
#include "platform/cp1252.h"

namespace quizloom {

void TTestWindow::CmPrint() { PrintTest(PrintKind::Sheet); }
void TTestWindow::CmPrintPreview() { PrintTest(PrintKind::Preview); }
void TTestWindow::CmPrintAnswerKey() { PrintTest(PrintKind::AnswerKey); }

// The sheet's pictures are scaled by the printer's character cell over the screen's, so the
// list window's screen font is measured first.
void TTestWindow::PrintTest(PrintKind kind) {
  core::TOpenTest& test = listWindow->openTest;
  if (test.questions.IsEmpty()) return;
  std::unique_ptr<platform::TDC> dc = listWindow->GetClientDC();
  dc->SelectFont(listWindow->screenFont);
  const platform::TSize screenChar = dc->GetTextExtent("X");
  dc->RestoreFont();
  if (printer) {
    TTextPrint printout(platform::PathToText(test.fileName), test.questions, *printer,
                        screenChar.cx, screenChar.cy, kind == PrintKind::AnswerKey);
    if (kind == PrintKind::Preview)
      printer->Preview(this, printout);
    else
      printer->Print(this, printout, true);
  }
}

}  // namespace quizloom
