#include "taking/blank_window.h"

#include <memory>

#include "platform/scroller.h"
#include "platform/system.h"
#include "taking/test_window.h"

namespace quizdesk {

TBlankWindow::TBlankWindow(QWidget* parent, TTestWindow& mainWindow)
    : TWindow(parent), mainWindow_(mainWindow), font_{"Courier", 10, 400} {
  // Built as Quizloom's question list is: the main window shrinks to this size.
  SetScroller(std::make_unique<platform::TScroller>(*this, 8, 15, 80, 200));
  SetInitialSize(platform::ScreenWidth() * 5 / 6, platform::ScreenHeight() * 2 / 3);
}

void TBlankWindow::Paint(platform::TDC& dc, bool) {
  dc.SelectFont(font_);
  if (mainWindow_.testTaken == 0) {
    // The first paint replaces the program's name in the caption.
    mainWindow_.SetCaption("No test active");
    dc.TextOut(5, 5, "To start go to Start on the Test Menu.");
  } else {
    dc.TextOut(5, 5, "To check your answers select Check Answers.");
  }
  dc.RestoreFont();
}

}  // namespace quizdesk
