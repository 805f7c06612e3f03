#include "authoring/application.h"

#include "authoring/test_window.h"
#include "platform/system.h"

namespace quizloom {

enum { CM_EXIT = 24340 };

TMyApp::TMyApp(bool showSplash) : TApplication("Quizloom") {
  if (showSplash) platform::ShowSplash("Bitmap_1");
  window_ = std::make_unique<TTestWindow>();
  SetMainWindow(window_.get());
  window_->SetIconResource("ICON_2");
  window_->LoadAccelerators("ACCELERATORS_1");
  Respond(CM_EXIT, [this] { CmExit(); });
}

TMyApp::~TMyApp() = default;

void TMyApp::CmExit() { window_->CloseWindow(); }

}  // namespace quizloom
