#include "authoring/application.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "platform/system.h"

namespace quizloom {

namespace {

// What lay under the splash paints again, as if the covered rectangle had been invalidated
// for every window on the screen.
void RepaintUnder(const platform::TRect& covered) {
  const QRect area(covered.left, covered.top, covered.Width(), covered.Height());
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    const QRect overlap = area.intersected(window->geometry());
    if (!overlap.isEmpty()) window->update(overlap.translated(-window->geometry().topLeft()));
  }
}

}  // namespace

TMyApp::TMyApp(bool showSplash) : TApplication("Quizloom") {
  if (showSplash) RepaintUnder(platform::ShowSplash("Bitmap_1"));
  window_ = std::make_unique<TTestWindow>();
  SetMainWindow(window_.get());
  window_->SetIconResource("ICON_2");
  window_->LoadAccelerators("ACCELERATORS_1");
  Respond(CM_EXIT, [this] { CmExit(); });
}

TMyApp::~TMyApp() = default;

void TMyApp::OpenAtStart(const std::string& path) {
  QTimer::singleShot(0, window_.get(), [this, path] { window_->listWindow->OpenFile(path); });
}

void TMyApp::CmExit() { window_->CloseWindow(); }

}  // namespace quizloom
