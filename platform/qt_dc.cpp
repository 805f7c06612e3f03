#include "platform/qt_dc.h"

#include <algorithm>
#include <array>
#include <memory>

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPicture>
#include <QRawFont>

#include "platform/bitmap.h"
#include "platform/cp1252.h"

namespace platform {

// What drawing with a font needs to know, measured once: its metrics, and for each of the
// 256 bytes the character shown, its glyph and whether it can join a batch of cells.
struct TMeasuredFont {
  TFont request;
  int dotsPerInch = 0;
  QFont font;
  QFontMetrics metrics{font};
  QRawFont raw;
  bool fixedPitch = false;
  int ascent = 0;
  int height = 0;
  int cell = 0;  // the width of "X"
  std::array<QChar, 256> shown{};
  std::array<quint32, 256> glyph{};
  // Left out of the glyph run: the fill alone draws its cell. A space still goes in, so that
  // text read back from a printed file keeps its spaces.
  std::array<bool, 256> blank{};
  // Drawn by itself: the face lacks the letter, or its advance is not one cell.
  std::array<bool, 256> alone{};
  // The ink reaches into the next cell, which the next letter's fill would have covered.
  std::array<bool, 256> inkRight{};
};

namespace {

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

std::unique_ptr<TMeasuredFont> Measure(const TFont& request, int dotsPerInch) {
  auto measured = std::make_unique<TMeasuredFont>();
  TMeasuredFont& m = *measured;
  m.request = request;
  m.dotsPerInch = dotsPerInch;
  m.font = ToQFont(request, dotsPerInch);
  m.metrics = QFontMetrics(m.font);
  m.fixedPitch = m.font.fixedPitch();
  m.ascent = m.metrics.ascent();
  m.height = m.metrics.height();
  m.cell = m.metrics.horizontalAdvance(QLatin1Char('X'));
  m.raw = QRawFont::fromFont(m.font);
  for (int byte = 0; byte < 256; ++byte) {
    const unsigned char b = static_cast<unsigned char>(byte);
    const bool control = m.fixedPitch && IsControl(b);
    const QChar shown = control ? QLatin1Char(' ') : FromCp1252(b);
    m.shown[byte] = shown;
    // Qt's text drawing leaves a soft hyphen out, and so do we.
    m.blank[byte] = shown.category() == QChar::Other_Format;
    const QList<quint32> glyphs = m.raw.isValid() ? m.raw.glyphIndexesForString(QString(shown))
                                                  : QList<quint32>();
    const bool inFace = glyphs.size() == 1 && glyphs[0] != 0 && m.metrics.inFont(shown);
    m.glyph[byte] = inFace ? glyphs[0] : 0;
    m.alone[byte] = !m.blank[byte] && (!inFace || m.metrics.horizontalAdvance(shown) != m.cell);
    m.inkRight[byte] = inFace && m.raw.boundingRect(glyphs[0]).right() > m.cell;
  }
  return measured;
}

// Fonts are few and drawing asks for the same ones on every paint: each is measured once.
// Kept for the life of the process, as the fonts of the old system were.
const TMeasuredFont* MeasuredFont(const TFont& request, int dotsPerInch) {
  static auto* fonts = new std::vector<std::unique_ptr<TMeasuredFont>>;
  for (const auto& font : *fonts)
    if (font->request == request && font->dotsPerInch == dotsPerInch) return font.get();
  fonts->push_back(Measure(request, dotsPerInch));
  return fonts->back().get();
}

}  // namespace

TQtDC::TQtDC(QPainter& painter, int dotsPerInch, TextMode mode)
    : painter_(painter), dotsPerInch_(dotsPerInch), mode_(mode) {
  fonts_.push_back(MeasuredFont(TFont{"System", 16}, dotsPerInch_));
  ApplyFont();
}

TQtDC::~TQtDC() { Flush(); }

void TQtDC::ApplyFont() { painter_.setFont(Font().font); }

void TQtDC::SelectFont(const TFont& font) {
  Flush();
  fonts_.push_back(MeasuredFont(font, dotsPerInch_));
  ApplyFont();
}

void TQtDC::RestoreFont() {
  Flush();
  if (fonts_.size() > 1) fonts_.pop_back();
  ApplyFont();
}

void TQtDC::TextOut(int x, int y, std::string_view text) {
  if (text.empty()) return;
  const TMeasuredFont& font = Font();
  if (!font.fixedPitch) {
    Flush();
    const QString shown = FromCp1252(text);
    DrawNow(x, y, shown, font.metrics.horizontalAdvance(shown));
    return;
  }
  // Cells to the left of the batch's end could overlap it: drawn in order, after it.
  if (x < batchRight_) Flush();
  for (char c : text) {
    AddCell(x, y, static_cast<unsigned char>(c));
    x += font.cell;
  }
  // As one call draws its text, its own letters may overlap; the next call's fill may not.
  if (font.inkRight[static_cast<unsigned char>(text.back())]) Flush();
}

void TQtDC::AddCell(int x, int y, unsigned char byte) {
  const TMeasuredFont& font = Font();
  if (font.alone[byte]) {
    Flush();
    DrawNow(x, y, QString(font.shown[byte]), font.cell);
    return;
  }
  if (!fills_.empty() && fills_.back().top() == y && fills_.back().right() + 1 == x)
    fills_.back().setRight(x + font.cell - 1);
  else
    fills_.emplace_back(x, y, font.cell, font.height);
  if (!font.blank[byte]) {
    glyphs_.push_back(font.glyph[byte]);
    points_.emplace_back(x, y + font.ascent);
  }
  batchRight_ = x + font.cell;
}

void TQtDC::Flush() {
  if (fills_.empty()) return;
  if (mode_ == TextMode::Opaque)
    for (const QRect& fill : fills_) painter_.fillRect(fill, Qt::white);
  if (!glyphs_.empty()) {
    QGlyphRun run;
    run.setRawFont(Font().raw);
    run.setGlyphIndexes(QList<quint32>(glyphs_.begin(), glyphs_.end()));
    run.setPositions(QList<QPointF>(points_.begin(), points_.end()));
    painter_.setPen(Qt::black);
    painter_.drawGlyphRun(QPointF(0, 0), run);
  }
  glyphs_.clear();
  points_.clear();
  fills_.clear();
  batchRight_ = 0;
}

void TQtDC::DrawNow(int x, int y, const QString& text, int width) {
  const TMeasuredFont& font = Font();
  if (mode_ == TextMode::Opaque) painter_.fillRect(QRect(x, y, width, font.height), Qt::white);
  painter_.setPen(Qt::black);
  painter_.drawText(x, y + font.ascent, text);
}

TSize TQtDC::GetTextExtent(std::string_view text) {
  const TMeasuredFont& font = Font();
  if (font.fixedPitch) return {static_cast<int>(text.size()) * font.cell, font.height};
  return {font.metrics.horizontalAdvance(FromCp1252(text)), font.height};
}

void TQtDC::InvertRect(const TRect& rect) {
  Flush();
  painter_.save();
  painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter_.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), Qt::white);
  painter_.restore();
}

void TQtDC::BitBlt(int x, int y, int width, int height, const TBitmap& bitmap, int srcX,
                   int srcY) {
  Flush();
  if (bitmap.IsNull()) return;
  int w = std::min(width, bitmap.Width() - srcX);
  int h = std::min(height, bitmap.Height() - srcY);
  if (w <= 0 || h <= 0) return;
  painter_.drawImage(QPoint(x, y), bitmap.Image(), QRect(srcX, srcY, w, h));
}

void TQtDC::StretchBlt(int x, int y, int width, int height, const TBitmap& bitmap) {
  Flush();
  if (bitmap.IsNull()) return;
  painter_.drawImage(QRect(x, y, width, height), bitmap.Image());
}

void TQtDC::PlayPicture(const TRect& rect, const QPicture& picture) {
  Flush();
  PlayPictureScaled(painter_, rect, picture);
}

void PlayPictureScaled(QPainter& painter, const TRect& rect, const QPicture& picture) {
  const QRect bounds = picture.boundingRect();
  if (bounds.isEmpty() || rect.Width() <= 0 || rect.Height() <= 0) return;
  // Playing scales a picture by the device's resolution against the one it was drawn at,
  // which the rectangle already accounts for.
  const QPaintDevice& device = *painter.device();
  painter.save();
  painter.translate(rect.left, rect.top);
  painter.scale(static_cast<double>(rect.Width()) / bounds.width(),
                static_cast<double>(rect.Height()) / bounds.height());
  painter.translate(-bounds.topLeft());
  painter.scale(static_cast<double>(picture.logicalDpiX()) / device.logicalDpiX(),
                static_cast<double>(picture.logicalDpiY()) / device.logicalDpiY());
  painter.drawPicture(0, 0, picture);
  painter.restore();
}

int TQtDC::GetDeviceCaps(DeviceCap index) {
  QPaintDevice* device = painter_.device();
  switch (index) {
    // In the device's own coordinates: a window's surface counts its pixels at the pixel ratio.
    case HORZRES: return qRound(device->width() / device->devicePixelRatio());
    case VERTRES: return qRound(device->height() / device->devicePixelRatio());
    case LOGPIXELSX: return device->logicalDpiX();
    case LOGPIXELSY: return device->logicalDpiY();
  }
  return 0;
}

}  // namespace platform
