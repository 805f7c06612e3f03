#pragma once
#include "platform/frame_window.h"

namespace platform {
class TWindow;
}

namespace quizloom {

// Quizloom's main frame window.
class TTestWindow : public platform::TFrameWindow {
 public:
  TTestWindow();
  ~TTestWindow() override;

  platform::TWindow& ListWindow() const { return *listWindow_; }

 private:
  platform::TWindow* listWindow_;
};

}  // namespace quizloom
