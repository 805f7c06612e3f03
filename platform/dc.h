#pragma once
#include <string_view>

#include "platform/font.h"
#include "platform/geometry.h"

class QPicture;

namespace platform {

class TBitmap;

enum DeviceCap : int { HORZRES = 8, VERTRES = 10, LOGPIXELSX = 88, LOGPIXELSY = 90 };

// A device context: the drawing calls of the old system, as the programs use them. Text is
// Windows-1252 bytes and is drawn opaque, its cell filled with the background first.
class TDC {
 public:
  virtual ~TDC() = default;

  virtual void SelectFont(const TFont& font) = 0;
  virtual void RestoreFont() = 0;
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  virtual TSize GetTextExtent(std::string_view text) = 0;
  virtual void InvertRect(const TRect& rect) = 0;
  // Copies the bitmap's part from (srcX, srcY), width by height, to (x, y) without scaling.
  virtual void BitBlt(int x, int y, int width, int height, const TBitmap& bitmap, int srcX,
                      int srcY) = 0;
  // Copies the whole bitmap scaled to width by height at (x, y).
  virtual void StretchBlt(int x, int y, int width, int height, const TBitmap& bitmap) = 0;
  // Plays a recorded vector drawing (its bounding rectangle) scaled into rect: lines and text
  // stay sharp at any resolution, as a chart on paper should.
  virtual void PlayPicture(const TRect& rect, const QPicture& picture) = 0;
  virtual int GetDeviceCaps(DeviceCap index) = 0;
  // Draws whatever the context still holds back; a page must be complete before the next begins.
  virtual void Flush() {}
};

}  // namespace platform
