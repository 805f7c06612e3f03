#pragma once
#include <string>
#include <vector>

#include "platform/dc.h"

namespace platform {

// One drawing call as a recording device context saw it.
struct DrawCall {
  enum class Kind { SelectFont, RestoreFont, Text, Invert, BitBlt, StretchBlt, Picture };
  Kind kind;
  int x = 0, y = 0, width = 0, height = 0;
  // Text: the bytes; SelectFont: the face; blits and pictures: the source's size "WxH"
  std::string text;
  int srcX = 0, srcY = 0;
};

// A device context for tests: records every call and reports fixed font metrics, so that
// coordinates computed from them are exact.
class TRecordingDC : public TDC {
 public:
  explicit TRecordingDC(int charWidth = 8, int charHeight = 13)
      : charWidth_(charWidth), charHeight_(charHeight) {}

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

  const std::vector<DrawCall>& Calls() const { return calls_; }
  std::vector<DrawCall> TextCalls() const;
  std::vector<DrawCall> Inversions() const;
  void Clear() { calls_.clear(); }
  int SelectedFonts() const { return selected_; }

 private:
  int charWidth_;
  int charHeight_;
  int selected_ = 0;
  std::vector<DrawCall> calls_;
};

}  // namespace platform
