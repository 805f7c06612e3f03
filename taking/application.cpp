#include "taking/application.h"

#include "platform/system.h"
#include "taking/test_window.h"

namespace quizdesk {

TMyApp::TMyApp(bool showSplash) : TApplication("Quizloom") {
  if (showSplash) platform::ShowSplash("Bitmap_2");
  window_ = std::make_unique<TTestWindow>();
  SetMainWindow(window_.get());
  window_->SetIconResource("ICON_1");
  window_->LoadAccelerators("ACCELERATORS_1");
  Respond(CM_EXIT, [this] { CmExit(); });
}

TMyApp::~TMyApp() = default;

void TMyApp::CmExit() { window_->CloseWindow(); }

}  // namespace quizdesk
