#include "platform/screen_fit.h"

#include <algorithm>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace platform {

namespace {

// The frame the window system draws around the window, as far as it is known yet.
QMargins FrameMargins(const QWidget& window) {
  const QRect outer = window.frameGeometry();
  const QRect inner = window.geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

// A dialog the program did not place is placed by Qt as it shows, beside its parent.
bool PlacedByQt(const QWidget& window) {
  return qobject_cast<const QDialog*>(&window) && !window.testAttribute(Qt::WA_Moved);
}

// No larger than the free area, as far as the window can shrink.
void ShrinkToScreen(QWidget& window, const QRect& free) {
  const QSize room = free.size().shrunkBy(FrameMargins(window));
  const QSize size = window.size().boundedTo(room).expandedTo(window.minimumSize());
  if (size != window.size()) window.resize(size);
}

void MoveOntoScreen(QWidget& window, const QRect& free) {
  const QSize outer = window.size().grownBy(FrameMargins(window));
  const QPoint at = window.frameGeometry().topLeft();
  const int right = std::max(free.left(), free.right() + 1 - outer.width());
  const int bottom = std::max(free.top(), free.bottom() + 1 - outer.height());
  const int x = std::clamp(at.x(), free.left(), right);
  const int y = std::clamp(at.y(), free.top(), bottom);
  if (QPoint(x, y) != at) window.move(x, y);
}

QRect FreeArea(const QWidget& window) {
  const QScreen* screen = window.screen();
  return screen ? screen->availableGeometry() : QRect();
}

// Windows as they are shown: made small enough before the window system maps them, and moved
// onto the screen, dialogs that Qt places once it has placed them.
class TOpeningWatch : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::ShowToParent) || !watched->isWidgetType())
      return false;
    auto* widget = static_cast<QWidget*>(watched);
    const Qt::WindowType kind = widget->windowType();
    // Menus and tips are placed by Qt itself, beside what opened them.
    if (!widget->isWindow() || kind == Qt::Popup || kind == Qt::ToolTip) return false;
    const QRect free = FreeArea(*widget);
    if (free.isEmpty()) return false;
    if (type == QEvent::ShowToParent) {
      MoveOntoScreen(*widget, free);
      return false;
    }
    ShrinkToScreen(*widget, free);
    if (!PlacedByQt(*widget)) MoveOntoScreen(*widget, free);
    // Qt marks the focus only once the keyboard has moved it, so the control a dialog starts
    // in would show nothing until the first Tab.
    if (qobject_cast<QDialog*>(widget)) widget->setAttribute(Qt::WA_KeyboardFocusChange);
    return false;
  }
};

}  // namespace

void FitToScreen(QWidget& window) {
  const QRect free = FreeArea(window);
  if (free.isEmpty()) return;
  ShrinkToScreen(window, free);
  MoveOntoScreen(window, free);
}

void InstallScreenFit() {
  static TOpeningWatch* watch = nullptr;
  if (watch) return;
  watch = new TOpeningWatch(qApp);
  qApp->installEventFilter(watch);
}

}  // namespace platform
