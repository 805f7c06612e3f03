#pragma once
#include <vector>

#include <QFont>
#include <QImage>
#include <QPainter>

#include "platform/dc.h"

namespace platform {
class TWindow;
}

namespace testing_support {

// The reference for the screen's drawing in the fixed-pitch face: every byte drawn by itself
// in its own cell (the width of "X") with the real font, the cell filled white first, a
// control character left blank, as the programs draw formatted text one letter at a time.
// The screen's device context must draw the same pixels.
class TLetterByLetterDC : public platform::TDC {
 public:
  explicit TLetterByLetterDC(QImage& image);

  void SelectFont(const platform::TFont& font) override;
  void RestoreFont() override;
  void TextOut(int x, int y, std::string_view text) override;
  platform::TSize GetTextExtent(std::string_view text) override;
  void InvertRect(const platform::TRect& rect) override;
  void BitBlt(int x, int y, int width, int height, const platform::TBitmap& bitmap, int srcX,
              int srcY) override;
  void StretchBlt(int x, int y, int width, int height, const platform::TBitmap& bitmap) override;
  void PlayPicture(const platform::TRect& rect, const QPicture& picture) override;
  int GetDeviceCaps(platform::DeviceCap index) override;

 private:
  QPainter painter_;
  std::vector<QFont> fonts_;
};

// The first pixel where two images differ, as "(x, y)", or "" when they are the same.
std::string FirstDifference(const QImage& a, const QImage& b);

// Paints the window on its surface and again letter by letter; the first pixel that differs,
// or "". The surface keeps the window's own drawing.
std::string DifferenceFromLetterByLetter(platform::TWindow& window);

}  // namespace testing_support
