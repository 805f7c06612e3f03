#include "platform/window.h"

#include <algorithm>
#include <cstdlib>

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
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
  currentView_.reset();
  if (!QAccessible::isActive() || accessibleCheckPending_) return;
  accessibleCheckPending_ = true;
  QTimer::singleShot(0, this, [this] {
    accessibleCheckPending_ = false;
    TAccessibleView view = CurrentAccessibleView();
    // A hidden window says nothing; it is compared with what it shows when it comes back.
    if (isVisible()) SendAccessibleChanges(*this, toldView_, view);
    toldView_ = std::move(view);
  });
}

const TAccessibleView& TWindow::CurrentAccessibleView() {
  if (!currentView_) {
    currentView_ = AccessibleView();
    QTimer::singleShot(0, this, [this] { currentView_.reset(); });
  }
  return *currentView_;
}

void TWindow::UpdateWindow() {
  if (dirty_) RunPaint();
}

TRect TWindow::GetClientRect() const {
  int width = this->width() - (scrollBar_ && scrollBar_->isVisible() ? scrollBar_->width() : 0);
  int height = this->height() - (AcrossBarShown() ? horizontalBar_->height() : 0);
  return {0, 0, std::max(width, 0), std::max(height, 0)};
}

static QPoint ScrollOrigin(const TScroller* scroller) {
  if (!scroller) return {};
  return {-scroller->XPos() * scroller->XUnit(), -scroller->YPos() * scroller->YUnit()};
}

// The surface holds the screen's own pixels (two for one at twice the scale): text is drawn
// at that resolution instead of being enlarged afterwards, while everything that draws on it
// still speaks in the window's coordinates.
QImage TWindow::NewSurface(QSize size, bool keep) const {
  const qreal ratio = devicePixelRatio();
  QImage image(size * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  if (keep && !surface_.isNull()) QPainter(&image).drawImage(0, 0, surface_);
  return image;
}

static bool SurfaceFits(const QImage& surface, QSize size, qreal ratio) {
  return !surface.isNull() && surface.devicePixelRatio() == ratio &&
         surface.deviceIndependentSize().toSize() == size;
}

std::unique_ptr<TDC> TWindow::GetClientDC() {
  if (recorder_) return std::make_unique<TBorrowedDC>(*recorder_);
  TRect client = GetClientRect();
  const QSize size(std::max(client.Width(), 1), std::max(client.Height(), 1));
  if (!SurfaceFits(surface_, size, devicePixelRatio())) surface_ = NewSurface(size, true);
  update();
  return std::make_unique<TSurfaceDC>(surface_, ScrollOrigin(scroller_.get()), logicalDpiY());
}

void TWindow::RunPaint() {
  TRect client = GetClientRect();
  QSize size(std::max(client.Width(), 1), std::max(client.Height(), 1));
  bool erase = erase_;
  if (!SurfaceFits(surface_, size, devicePixelRatio())) {
    surface_ = NewSurface(size, false);
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
  // On a screen of another pixel ratio the surface is painted anew rather than stretched.
  if (dirty_ || surface_.devicePixelRatio() != devicePixelRatio()) RunPaint();
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
  const bool across = std::abs(event->angleDelta().x()) > std::abs(event->angleDelta().y());
  if (across && AcrossBarShown())
    QApplication::sendEvent(horizontalBar_, event);
  else if (scrollBar_)
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
  RevealCaret();
}

// The scroll area the frame put this window in, if any.
static QScrollArea* EnclosingScrollArea(QWidget& window) {
  QWidget* viewport = window.parentWidget();
  auto* area = viewport ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
  return area && area->widget() == &window ? area : nullptr;
}

void TWindow::RevealCaret() {
  if (revealPending_ || !EnclosingScrollArea(*this)) return;
  revealPending_ = true;
  QTimer::singleShot(0, this, [this] {
    revealPending_ = false;
    QScrollArea* area = EnclosingScrollArea(*this);
    if (!area || !caretExists_) return;
    // The caret's line from its start, and the caret, with a little room around them.
    const int middle = caretPos_.y + caretSize_.cy / 2;
    const int margin = std::max(caretSize_.cy / 2, 4);
    area->ensureVisible(0, middle, 0, caretSize_.cy / 2 + margin);
    area->ensureVisible(caretPos_.x, middle, margin, caretSize_.cy / 2 + margin);
  });
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

void TWindow::SetScroller(std::unique_ptr<TScroller> scroller, bool across) {
  scroller_ = std::move(scroller);
  if (!scrollBar_) {
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    QObject::connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
      if (scroller_ && value != scroller_->YPos()) scroller_->ScrollTo(scroller_->XPos(), value);
    });
  }
  if (across && !horizontalBar_) {
    horizontalBar_ = new QScrollBar(Qt::Horizontal, this);
    horizontalBar_->setFocusPolicy(Qt::NoFocus);
    horizontalBar_->hide();
    QObject::connect(horizontalBar_, &QScrollBar::valueChanged, this, [this](int value) {
      if (scroller_ && value != scroller_->XPos()) scroller_->ScrollTo(value, scroller_->YPos());
    });
  }
  LayoutScrollBar();
  scroller_->SetPageSize();
}

bool TWindow::AcrossBarShown() const { return horizontalBar_ && !horizontalBar_->isHidden(); }

void TWindow::LayoutScrollBar() {
  if (!scrollBar_) return;
  const int w = scrollBar_->sizeHint().width();
  const int h = AcrossBarShown() ? horizontalBar_->sizeHint().height() : 0;
  scrollBar_->setGeometry(width() - w, 0, w, height() - h);
  scrollBar_->show();
  if (horizontalBar_) horizontalBar_->setGeometry(0, height() - h, width() - w, h);
}

void TWindow::ShowAcrossBar(bool shown) {
  if (!horizontalBar_ || shown == AcrossBarShown()) return;
  // The bar takes its height from the client area, or gives it back.
  horizontalBar_->setVisible(shown);
  LayoutScrollBar();
  scroller_->SetPageSize();
  Invalidate(true);
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
