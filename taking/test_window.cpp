#include "taking/test_window.h"

#include "platform/system.h"
#include "platform/window.h"

namespace quizdesk {

TTestWindow::TTestWindow() : TFrameWindow("Quizloom") {
  SetMenu(11);
  move(platform::ScreenWidth() / 10, platform::ScreenHeight() / 10);
  listWindow_ = new platform::TWindow(ClientArea());
  listWindow_->SetInitialSize(platform::ScreenWidth() * 5 / 6, platform::ScreenHeight() * 2 / 3);
  SetClient(listWindow_);
}

TTestWindow::~TTestWindow() = default;

}  // namespace quizdesk
