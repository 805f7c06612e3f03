#include "platform/application.h"

#include <QApplication>

#include "platform/accessible.h"
#include "platform/frame_window.h"

namespace platform {

TApplication::TApplication(std::string name) : name_(std::move(name)) {
  InstallAccessibility();
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
