#pragma once
#include "platform/frame_window.h"

namespace platform {
class TWindow;
}

namespace quizdesk {

// Quizdesk's main frame window.
class TTestWindow : public platform::TFrameWindow {
 public:
  TTestWindow();
  ~TTestWindow() override;

  platform::TWindow& ListWindow() const { return *listWindow_; }

 private:
  platform::TWindow* listWindow_;
};

}  // namespace quizdesk
