#pragma once
#include "platform/font.h"
#include "platform/window.h"

namespace quizdesk {

class TTestWindow;

// The idle view: fills the main window whenever no question is on screen, and tells the
// student what to do next.
class TBlankWindow : public platform::TWindow {
 public:
  TBlankWindow(QWidget* parent, TTestWindow& mainWindow);

  // The line that tells the student what to do next, and the view's words for it.
  const char* Hint() const;
  platform::TAccessibleView AccessibleView() override;

 protected:
  void Paint(platform::TDC& dc, bool erase) override;

 private:
  TTestWindow& mainWindow_;
  platform::TFont font_;
};

}  // namespace quizdesk
