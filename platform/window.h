#pragma once
#include <memory>
#include <optional>
#include <string>

#include <QImage>
#include <QTimer>
#include <QWidget>

#include "platform/accessible_view.h"
#include "platform/command_target.h"
#include "platform/dc.h"
#include "platform/geometry.h"

class QScrollBar;

namespace platform {

class TScroller;

// A child window of the old kind. It owns an image of its client area: Paint runs only when
// the window was invalidated (or first shown, or resized) and draws onto that image; drawing
// through a client DC outside Paint goes onto the same image at once. Qt's own paint event
// only copies the image to the screen and draws the caret over it.
class TWindow : public QWidget, public TCommandTarget {
  Q_OBJECT  // gives the accessibility factory a class name of its own to answer

 public:
  explicit TWindow(QWidget* parent = nullptr);
  ~TWindow() override;

  // InvalidateRect over the whole client area; erase fills it with the background first.
  void Invalidate(bool erase = true);
  // Runs a pending Paint now instead of waiting for Qt's paint event.
  void UpdateWindow();
  bool NeedsPaint() const { return dirty_; }
  std::unique_ptr<TDC> GetClientDC();
  TRect GetClientRect() const;

  // Tests: every device context of this window (Paint's and client DCs) becomes this recorder
  // (or any other device context a test draws with), and nothing is drawn on the surface.
  // nullptr switches back.
  void RecordDrawingInto(TDC* recorder) { recorder_ = recorder; }
  const QImage& Surface() const { return surface_; }
  int PaintCount() const { return paintCount_; }

  // The old messages, in the old order; public so tests can send them directly.
  virtual void EvChar(unsigned code) { (void)code; }
  virtual void EvKeyDown(unsigned virtualKey) { (void)virtualKey; }
  virtual void EvKeyUp(unsigned virtualKey) { (void)virtualKey; }
  virtual void EvLButtonDown(TPoint point) { (void)point; }
  virtual void EvLButtonUp(TPoint point) { (void)point; }
  virtual void EvMouseMove(TPoint point) { (void)point; }
  // The may-close query.
  virtual bool CanClose() { return true; }

  // Caret, one per window, drawn over the surface and blinking.
  void CreateCaret(int width, int height);
  void SetCaretPos(int x, int y);
  void ShowCaret();
  void HideCaret();
  void DestroyCaret();
  bool CaretVisible() const { return caretExists_ && caretHidden_ == 0; }
  TPoint CaretPos() const { return caretPos_; }
  TSize CaretSize() const { return caretSize_; }

  void SetCapture() { captured_ = true; }
  void ReleaseCapture() { captured_ = false; }
  bool HasCapture() const { return captured_; }

  // A vertical scroll bar at the right edge, driving the scroller; across adds one along the
  // bottom, shown once a range set on the scroller lets it scroll sideways.
  void SetScroller(std::unique_ptr<TScroller> scroller, bool across = false);
  TScroller* Scroller() const { return scroller_.get(); }
  void SetInitialSize(int width, int height);
  QSize sizeHint() const override { return initialSize_; }
  // The size the window's fixed layout needs to be seen whole; where the frame cannot give
  // that much, the window scrolls. Nothing (0, 0) for a window that lays itself out.
  virtual TSize ContentSize() const { return {0, 0}; }
  void SetCursorResource(int number);

  // What a screen reader sees of the drawn content; a window without one shows only its
  // child widgets.
  virtual TAccessibleView AccessibleView() { return {}; }
  // Called after anything that may change the view (painting, the caret, input, focus): the
  // differences are told to assistive technology once the event in hand is done. Costs
  // nothing while no screen reader listens.
  void AccessibleChanged();
  // The view, built once for the event in hand: a screen reader asks many questions at once,
  // and the view of a long list is costly to build.
  const TAccessibleView& CurrentAccessibleView();

 protected:
  virtual void Paint(TDC& dc, bool erase) { (void)dc; (void)erase; }
  // Called whenever the client area changes size, before the repaint.
  virtual void EvSize(TSize clientSize) { (void)clientSize; }

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  friend class TScroller;
  void RunPaint();
  // An image for the client area at the screen's pixel ratio, blank or with the old
  // surface copied in.
  QImage NewSurface(QSize size, bool keep) const;
  // Scrolls the caret into view where the window lies in a scroll area: later, since the
  // caret moves while painting.
  void RevealCaret();
  std::unique_ptr<TDC> MakeDC(QPainter& painter);
  void LayoutScrollBar();
  bool AcrossBarShown() const;
  // Shown while a range set on the scroller lets it scroll sideways.
  void ShowAcrossBar(bool shown);
  TPoint ToClient(const QPointF& point) const;

  QImage surface_;
  bool dirty_ = true;
  bool erase_ = true;
  int paintCount_ = 0;
  TDC* recorder_ = nullptr;

  bool caretExists_ = false;
  int caretHidden_ = 0;
  bool caretBlinkOn_ = true;
  TPoint caretPos_;
  TSize caretSize_;
  QTimer caretTimer_;

  bool revealPending_ = false;

  bool captured_ = false;
  std::unique_ptr<TScroller> scroller_;
  QScrollBar* scrollBar_ = nullptr;
  QScrollBar* horizontalBar_ = nullptr;
  QSize initialSize_{400, 300};

  TAccessibleView toldView_;  // the view assistive technology last heard of
  bool accessibleCheckPending_ = false;
  std::optional<TAccessibleView> currentView_;
};

}  // namespace platform
