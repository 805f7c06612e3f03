#pragma once
#include <vector>

#include <QPainter>
#include <QPointF>
#include <QRect>

#include "platform/dc.h"

namespace platform {

struct TMeasuredFont;

// TDC over a QPainter: a window's surface or a printer page. The painter must outlive it.
//
// A fixed-pitch face follows the cell model: every byte, control characters included, is one
// cell (the width of "X") wide, and a control character is drawn as a blank cell. Each font is
// measured once per process. Letters are not drawn one by one: they are gathered, left to
// right, into one batch of cells that may lie on several baselines (a superscript does not end
// it), then drawn with one fill per stretch of cells and one glyph run. The pixels are those of
// drawing the letters one at a time, because the cells of a batch never overlap and a glyph
// whose ink reaches into the next cell ends the batch.
class TQtDC : public TDC {
 public:
  // Opaque fills each letter's cell first, as a window's surface needs to cover what was
  // there; on paper nothing is behind the letters, and a raised or lowered letter's cell would
  // erase the ink of the lines next to it, so paper draws the letters alone.
  enum class TextMode { Opaque, Transparent };
  TQtDC(QPainter& painter, int dotsPerInch, TextMode mode = TextMode::Opaque);
  ~TQtDC() override;

  void SelectFont(const TFont& font) override;
  void RestoreFont() override;
  void TextOut(int x, int y, std::string_view text) override;
  TSize GetTextExtent(std::string_view text) override;
  void InvertRect(const TRect& rect) override;
  void BitBlt(int x, int y, int width, int height, const TBitmap& bitmap, int srcX,
              int srcY) override;
  void StretchBlt(int x, int y, int width, int height, const TBitmap& bitmap) override;
  void PlayPicture(const TRect& rect, const QPicture& picture) override;
  int GetDeviceCaps(DeviceCap index) override;
  void Flush() override;

 private:
  const TMeasuredFont& Font() const { return *fonts_.back(); }
  void ApplyFont();
  // Draws text at once, its cell filled first: proportional faces, and letters a glyph run
  // cannot stand for (a face that lacks them).
  void DrawNow(int x, int y, const QString& text, int width);
  void AddCell(int x, int y, unsigned char byte);

  QPainter& painter_;
  int dotsPerInch_;
  TextMode mode_;
  std::vector<const TMeasuredFont*> fonts_;
  // The batch: its glyphs and their baseline points, the stretches of cells to fill, and
  // the right edge of its last cell.
  std::vector<quint32> glyphs_;
  std::vector<QPointF> points_;
  std::vector<QRect> fills_;
  int batchRight_ = 0;
};

// The picture's bounding rectangle drawn scaled into rect.
void PlayPictureScaled(QPainter& painter, const TRect& rect, const QPicture& picture);

}  // namespace platform
