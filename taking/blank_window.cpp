#include "taking/blank_window.h"

#include <memory>

#include "platform/code_page.h"
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

const char* TBlankWindow::Hint() const {
  return mainWindow_.testTaken == 0 ? "To start go to Start on the Test Menu."
                                    : "To check your answers select Check Answers.";
}

void TBlankWindow::Paint(platform::TDC& dc, bool) {
  dc.SelectFont(font_);
  // The first paint replaces the program's name in the caption.
  if (mainWindow_.testTaken == 0) mainWindow_.SetCaption("No test active");
  dc.TextOut(5, 5, Hint());
  dc.RestoreFont();
}

platform::TAccessibleView TBlankWindow::AccessibleView() {
  platform::TAccessibleNode hint;
  hint.name = hint.text = platform::Cp1252ToUtf16(Hint());
  hint.marks.assign(hint.text.size(), 0);
  hint.bounds = {5, 5, GetClientRect().right, 20};
  hint.focused = hasFocus();
  platform::TAccessibleView view;
  view.nodes.push_back(std::move(hint));
  return view;
}

}  // namespace quizdesk
