#include "platform/application.h"

#include <QApplication>

#include "platform/accessible.h"
#include "platform/contrast.h"
#include "platform/frame_window.h"
#include "platform/screen_fit.h"

namespace platform {

TApplication::TApplication(std::string name) : name_(std::move(name)) {
  InstallAccessibility();
  InstallScreenFit();
  InstallReadableColours();
}

TApplication::~TApplication() = default;

void TApplication::SetMainWindow(TFrameWindow* window) {
  mainWindow_ = window;
  if (window) window->SetApplication(this);
}

int TApplication::Run() {
  if (mainWindow_) mainWindow_->show();
  return QApplication::exec();
}

}  // namespace platform
