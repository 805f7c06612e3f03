#pragma once
#include <vector>

#include <QFont>
#include <QPainter>

#include "platform/dc.h"

namespace platform {

// TDC over a QPainter: a window's surface or a printer page. The painter must outlive it.
class TQtDC : public TDC {
 public:
  TQtDC(QPainter& painter, int dotsPerInch);
  ~TQtDC() override;

  void SelectFont(const TFont& font) override;
  void RestoreFont() override;
  void TextOut(int x, int y, std::string_view text) override;
  TSize GetTextExtent(std::string_view text) override;
  void InvertRect(const TRect& rect) override;
  void BitBlt(int x, int y, int width, int height, const TBitmap& bitmap, int srcX,
              int srcY) override;
  void StretchBlt(int x, int y, int width, int height, const TBitmap& bitmap) override;
  int GetDeviceCaps(DeviceCap index) override;

 private:
  void ApplyFont();
  void FlushRun();

  QPainter& painter_;
  int dotsPerInch_;
  std::vector<QFont> fonts_;
  // Consecutive one-character calls on one baseline, drawn as one run: with a fixed-pitch
  // face the pixels are the same and the painter calls far fewer.
  QString run_;
  int runX_ = 0, runY_ = 0, runEnd_ = 0;
};

}  // namespace platform
