#include "tests/support/letter_by_letter_dc.h"

#include <algorithm>
#include <string>

#include <QFontMetrics>

#include "platform/bitmap.h"
#include "platform/cp1252.h"
#include "platform/font.h"
#include "platform/qt_dc.h"
#include "platform/window.h"

namespace testing_support {

constexpr int kDotsPerInch = 96;

TLetterByLetterDC::TLetterByLetterDC(QImage& image) : painter_(&image) {
  SelectFont(platform::TFont{"System", 16});
}

void TLetterByLetterDC::SelectFont(const platform::TFont& font) {
  fonts_.push_back(platform::ToQFont(font, kDotsPerInch));
  painter_.setFont(fonts_.back());
}

void TLetterByLetterDC::RestoreFont() {
  if (fonts_.size() > 1) fonts_.pop_back();
  painter_.setFont(fonts_.back());
}

void TLetterByLetterDC::TextOut(int x, int y, std::string_view text) {
  const QFontMetrics metrics(fonts_.back());
  const int cell = metrics.horizontalAdvance(QLatin1Char('X'));
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    painter_.fillRect(QRect(x, y, cell, metrics.height()), Qt::white);
    if (byte >= 0x20 && byte != 0x7F) {
      painter_.setPen(Qt::black);
      painter_.drawText(x, y + metrics.ascent(), QString(platform::FromCp1252(byte)));
    }
    x += cell;
  }
}

platform::TSize TLetterByLetterDC::GetTextExtent(std::string_view text) {
  const QFontMetrics metrics(fonts_.back());
  return {static_cast<int>(text.size()) * metrics.horizontalAdvance(QLatin1Char('X')),
          metrics.height()};
}

void TLetterByLetterDC::InvertRect(const platform::TRect& rect) {
  painter_.save();
  painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), Qt::white);
  painter_.restore();
}

void TLetterByLetterDC::BitBlt(int x, int y, int width, int height,
                               const platform::TBitmap& bitmap, int srcX, int srcY) {
  if (bitmap.IsNull()) return;
  const int w = std::min(width, bitmap.Width() - srcX);
  const int h = std::min(height, bitmap.Height() - srcY);
  if (w > 0 && h > 0) painter_.drawImage(QPoint(x, y), bitmap.Image(), QRect(srcX, srcY, w, h));
}

void TLetterByLetterDC::StretchBlt(int x, int y, int width, int height,
                                   const platform::TBitmap& bitmap) {
  if (!bitmap.IsNull()) painter_.drawImage(QRect(x, y, width, height), bitmap.Image());
}

void TLetterByLetterDC::PlayPicture(const platform::TRect& rect, const QPicture& picture) {
  platform::PlayPictureScaled(painter_, rect, picture);
}

int TLetterByLetterDC::GetDeviceCaps(platform::DeviceCap index) {
  switch (index) {
    case platform::HORZRES: return painter_.device()->width();
    case platform::VERTRES: return painter_.device()->height();
    case platform::LOGPIXELSX:
    case platform::LOGPIXELSY: return kDotsPerInch;
  }
  return 0;
}

std::string FirstDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return "sizes differ";
  const QImage first = a.convertToFormat(QImage::Format_RGB32);
  const QImage second = b.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < first.height(); ++y)
    for (int x = 0; x < first.width(); ++x)
      if (first.pixel(x, y) != second.pixel(x, y))
        return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
  return "";
}

std::string DifferenceFromLetterByLetter(platform::TWindow& window) {
  window.Invalidate(true);
  window.UpdateWindow();
  QImage reference(window.Surface().size(), QImage::Format_RGB32);
  reference.fill(Qt::white);
  {
    TLetterByLetterDC dc(reference);
    window.RecordDrawingInto(&dc);
    window.Invalidate(true);
    window.UpdateWindow();
    window.RecordDrawingInto(nullptr);
  }
  return FirstDifference(window.Surface(), reference);
}

}  // namespace testing_support
