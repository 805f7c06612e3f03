#include "platform/window.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

#include "platform/accessible.h"
#include "platform/keys.h"
#include "platform/qt_dc.h"
#include "platform/scroller.h"
#include "resources/resource_types.h"

namespace platform {

namespace {
// The old system's caret blink time.
constexpr int kCaretBlinkMs = 530;

// A client DC that does not own its device: the recorder stays with the test.
class TBorrowedDC : public TDC {
 public:
  explicit TBorrowedDC(TDC& dc) : dc_(dc) {}
  void SelectFont(const TFont& font) override { dc_.SelectFont(font); }
  void RestoreFont() override { dc_.RestoreFont(); }
  void TextOut(int x, int y, std::string_view text) override { dc_.TextOut(x, y, text); }
  TSize GetTextExtent(std::string_view text) override { return dc_.GetTextExtent(text); }
  void InvertRect(const TRect& rect) override { dc_.InvertRect(rect); }
  void BitBlt(int x, int y, int w, int h, const TBitmap& b, int sx, int sy) override {
    dc_.BitBlt(x, y, w, h, b, sx, sy);
  }
  void StretchBlt(int x, int y, int w, int h, const TBitmap& b) override {
    dc_.StretchBlt(x, y, w, h, b);
  }
  void PlayPicture(const TRect& r, const QPicture& p) override { dc_.PlayPicture(r, p); }
  int GetDeviceCaps(DeviceCap index) override { return dc_.GetDeviceCaps(index); }

 private:
  TDC& dc_;
};

// A client DC on the window's surface: a painter that lives as long as the DC.
class TSurfaceDC : public TDC {
 public:
  TSurfaceDC(QImage& surface, QPoint origin, int dotsPerInch)
      : painter_(&surface), dc_((painter_.translate(origin), painter_), dotsPerInch) {}
  void SelectFont(const TFont& font) override { dc_.SelectFont(font); }
  void RestoreFont() override { dc_.RestoreFont(); }
  void TextOut(int x, int y, std::string_view text) override { dc_.TextOut(x, y, text); }
  TSize GetTextExtent(std::string_view text) override { return dc_.GetTextExtent(text); }
  void InvertRect(const TRect& rect) override { dc_.InvertRect(rect); }
  void BitBlt(int x, int y, int w, int h, const TBitmap& b, int sx, int sy) override {
    dc_.BitBlt(x, y, w, h, b, sx, sy);
  }
  void StretchBlt(int x, int y, int w, int h, const TBitmap& b) override {
    dc_.StretchBlt(x, y, w, h, b);
  }
  void PlayPicture(const TRect& r, const QPicture& p) override { dc_.PlayPicture(r, p); }
  int GetDeviceCaps(DeviceCap index) override { return dc_.GetDeviceCaps(index); }

 private:
  QPainter painter_;
  TQtDC dc_;
};
}  // namespace

TWindow::TWindow(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  caretTimer_.setInterval(kCaretBlinkMs);
  QObject::connect(&caretTimer_, &QTimer::timeout, this, [this] {
    caretBlinkOn_ = !caretBlinkOn_;
    if (CaretVisible()) update();
  });
}

TWindow::~TWindow() = default;

void TWindow::Invalidate(bool erase) {
  dirty_ = true;
  erase_ = erase_ || erase;
  update();
  AccessibleChanged();
}

void TWindow::AccessibleChanged() {
  if (!QAccessible::isActive() || accessibleCheckPending_) return;
  accessibleCheckPending_ = true;
  QTimer::singleShot(0, this, [this] {
    accessibleCheckPending_ = false;
    TAccessibleView view = AccessibleView();
    // A hidden window says nothing; it is compared with what it shows when it comes back.
    if (isVisible()) SendAccessibleChanges(*this, toldView_, view);
    toldView_ = std::move(view);
  });
}

void TWindow::UpdateWindow() {
  if (dirty_) RunPaint();
}

TRect TWindow::GetClientRect() const {
  int width = this->width() - (scrollBar_ && scrollBar_->isVisible() ? scrollBar_->width() : 0);
  return {0, 0, std::max(width, 0), height()};
}

static QPoint ScrollOrigin(const TScroller* scroller) {
  if (!scroller) return {};
  return {-scroller->XPos() * scroller->XUnit(), -scroller->YPos() * scroller->YUnit()};
}

std::unique_ptr<TDC> TWindow::GetClientDC() {
  if (recorder_) return std::make_unique<TBorrowedDC>(*recorder_);
  TRect client = GetClientRect();
  if (surface_.size() != QSize(client.Width(), client.Height()) || surface_.isNull()) {
    QImage grown(std::max(client.Width(), 1), std::max(client.Height(), 1), QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!surface_.isNull()) QPainter(&grown).drawImage(0, 0, surface_);
    surface_ = std::move(grown);
  }
  update();
  return std::make_unique<TSurfaceDC>(surface_, ScrollOrigin(scroller_.get()), logicalDpiY());
}

void TWindow::RunPaint() {
  TRect client = GetClientRect();
  QSize size(std::max(client.Width(), 1), std::max(client.Height(), 1));
  bool erase = erase_;
  if (surface_.size() != size) {
    surface_ = QImage(size, QImage::Format_RGB32);
    erase = true;
  }
  dirty_ = false;
  erase_ = false;
  ++paintCount_;
  if (recorder_) {
    Paint(*recorder_, erase);
  } else {
    if (erase) surface_.fill(Qt::white);
    QPainter painter(&surface_);
    painter.translate(ScrollOrigin(scroller_.get()));
    TQtDC dc(painter, logicalDpiY());
    Paint(dc, erase);
  }
  update();
}

void TWindow::paintEvent(QPaintEvent*) {
  if (dirty_) RunPaint();
  QPainter painter(this);
  painter.drawImage(0, 0, surface_);
  if (CaretVisible() && caretBlinkOn_ && caretSize_.cx > 0 && caretSize_.cy > 0) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(QRect(caretPos_.x, caretPos_.y, caretSize_.cx, caretSize_.cy), Qt::white);
  }
}

void TWindow::resizeEvent(QResizeEvent*) {
  LayoutScrollBar();
  TRect client = GetClientRect();
  if (scroller_) scroller_->SetPageSize();
  EvSize({client.Width(), client.Height()});
  Invalidate(true);
}

void TWindow::keyPressEvent(QKeyEvent* event) {
  // Alt combinations are system keys: accelerators and the menu bar take them.
  if (event->modifiers() & Qt::AltModifier || event->key() == Qt::Key_Alt) {
    event->ignore();
    return;
  }
  if (unsigned vk = VirtualKeyOf(event->key())) EvKeyDown(vk);
  if (auto code = CharacterOf(*event)) EvChar(*code);
  AccessibleChanged();
}

void TWindow::keyReleaseEvent(QKeyEvent* event) {
  // Auto-repeat sends key-downs only.
  if (event->isAutoRepeat()) return;
  if (event->modifiers() & Qt::AltModifier || event->key() == Qt::Key_Alt) {
    event->ignore();
    return;
  }
  if (unsigned vk = VirtualKeyOf(event->key())) EvKeyUp(vk);
  AccessibleChanged();
}

TPoint TWindow::ToClient(const QPointF& point) const {
  return {static_cast<int>(point.x()), static_cast<int>(point.y())};
}

void TWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) EvLButtonDown(ToClient(event->position()));
  AccessibleChanged();
}

void TWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) EvLButtonUp(ToClient(event->position()));
  AccessibleChanged();
}

void TWindow::mouseMoveEvent(QMouseEvent* event) {
  EvMouseMove(ToClient(event->position()));
  if (event->buttons() & Qt::LeftButton) AccessibleChanged();
}

void TWindow::wheelEvent(QWheelEvent* event) {
  // The wheel anywhere over a scrolled window moves it as the wheel over its scroll bar does:
  // by the scroller's line step, so many lines a notch.
  if (scrollBar_)
    QApplication::sendEvent(scrollBar_, event);
  else
    event->ignore();
}

bool TWindow::focusNextPrevChild(bool) { return false; }  // Tab is a character here

void TWindow::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  AccessibleChanged();
}

void TWindow::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  AccessibleChanged();
}

void TWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  AccessibleChanged();
}

void TWindow::CreateCaret(int width, int height) {
  caretExists_ = true;
  caretHidden_ = 1;  // a new caret starts hidden
  caretSize_ = {width, height};
  caretBlinkOn_ = true;
  caretTimer_.start();
  update();
}

void TWindow::SetCaretPos(int x, int y) {
  caretPos_ = {x, y};
  caretBlinkOn_ = true;
  update();
  AccessibleChanged();
}

void TWindow::ShowCaret() {
  if (caretExists_ && caretHidden_ > 0) --caretHidden_;
  update();
}

void TWindow::HideCaret() {
  if (caretExists_) ++caretHidden_;
  update();
}

void TWindow::DestroyCaret() {
  caretExists_ = false;
  caretHidden_ = 0;
  caretTimer_.stop();
  update();
}

void TWindow::SetScroller(std::unique_ptr<TScroller> scroller) {
  scroller_ = std::move(scroller);
  if (!scrollBar_) {
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    QObject::connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
      if (scroller_ && value != scroller_->YPos()) scroller_->ScrollTo(scroller_->XPos(), value);
    });
  }
  LayoutScrollBar();
  scroller_->SetPageSize();
}

void TWindow::LayoutScrollBar() {
  if (!scrollBar_) return;
  int w = scrollBar_->sizeHint().width();
  scrollBar_->setGeometry(width() - w, 0, w, height());
  scrollBar_->show();
}

void TWindow::SetInitialSize(int width, int height) {
  initialSize_ = QSize(width, height);
  resize(initialSize_);
}

void TWindow::SetCursorResource(int number) {
  QPixmap pixmap(QString::fromStdString(resources::CursorResourcePath(number)));
  if (pixmap.isNull())
    setCursor(Qt::IBeamCursor);
  else
    setCursor(QCursor(pixmap, pixmap.width() / 2, pixmap.height() / 2));
}

}  // namespace platform
