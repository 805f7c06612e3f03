#include "platform/application.h"

#include <QApplication>

#include "platform/frame_window.h"

namespace platform {

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
