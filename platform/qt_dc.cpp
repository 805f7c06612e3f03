#include "platform/qt_dc.h"

#include <QFontMetrics>
#include <QPaintDevice>

#include "platform/bitmap.h"
#include "platform/cp1252.h"

namespace platform {

TQtDC::TQtDC(QPainter& painter, int dotsPerInch) : painter_(painter), dotsPerInch_(dotsPerInch) {
  fonts_.push_back(ToQFont(TFont{"System", 16}, dotsPerInch_));
  ApplyFont();
}

TQtDC::~TQtDC() { FlushRun(); }

void TQtDC::ApplyFont() { painter_.setFont(fonts_.back()); }

void TQtDC::SelectFont(const TFont& font) {
  FlushRun();
  fonts_.push_back(ToQFont(font, dotsPerInch_));
  ApplyFont();
}

void TQtDC::RestoreFont() {
  FlushRun();
  if (fonts_.size() > 1) fonts_.pop_back();
  ApplyFont();
}

void TQtDC::TextOut(int x, int y, std::string_view text) {
  if (text.empty()) return;
  QString s = FromCp1252(text);
  if (text.size() == 1 && fonts_.back().fixedPitch()) {
    if (!run_.isEmpty() && y == runY_ && x == runEnd_) {
      run_.append(s);
      runEnd_ += QFontMetrics(fonts_.back()).horizontalAdvance(s);
      return;
    }
    FlushRun();
    run_ = s;
    runX_ = x;
    runY_ = y;
    runEnd_ = x + QFontMetrics(fonts_.back()).horizontalAdvance(s);
    return;
  }
  FlushRun();
  QFontMetrics metrics(fonts_.back());
  QRect cell(x, y, metrics.horizontalAdvance(s), metrics.height());
  painter_.fillRect(cell, Qt::white);
  painter_.setPen(Qt::black);
  painter_.drawText(x, y + metrics.ascent(), s);
}

void TQtDC::FlushRun() {
  if (run_.isEmpty()) return;
  QFontMetrics metrics(fonts_.back());
  painter_.fillRect(QRect(runX_, runY_, runEnd_ - runX_, metrics.height()), Qt::white);
  painter_.setPen(Qt::black);
  painter_.drawText(runX_, runY_ + metrics.ascent(), run_);
  run_.clear();
}

TSize TQtDC::GetTextExtent(std::string_view text) {
  QFontMetrics metrics(fonts_.back());
  return {metrics.horizontalAdvance(FromCp1252(text)), metrics.height()};
}

void TQtDC::InvertRect(const TRect& rect) {
  FlushRun();
  painter_.save();
  painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), Qt::white);
  painter_.restore();
}

void TQtDC::BitBlt(int x, int y, int width, int height, const TBitmap& bitmap, int srcX,
                   int srcY) {
  FlushRun();
  if (bitmap.IsNull()) return;
  int w = std::min(width, bitmap.Width() - srcX);
  int h = std::min(height, bitmap.Height() - srcY);
  if (w <= 0 || h <= 0) return;
  painter_.drawImage(QPoint(x, y), bitmap.Image(), QRect(srcX, srcY, w, h));
}

void TQtDC::StretchBlt(int x, int y, int width, int height, const TBitmap& bitmap) {
  FlushRun();
  if (bitmap.IsNull()) return;
  painter_.drawImage(QRect(x, y, width, height), bitmap.Image());
}

int TQtDC::GetDeviceCaps(DeviceCap index) {
  QPaintDevice* device = painter_.device();
  switch (index) {
    case HORZRES: return device->width();
    case VERTRES: return device->height();
    case LOGPIXELSX: return device->logicalDpiX();
    case LOGPIXELSY: return device->logicalDpiY();
  }
  return 0;
}

}  // namespace platform
