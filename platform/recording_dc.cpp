#include "platform/recording_dc.h"

#include <QPicture>

#include "platform/bitmap.h"

namespace platform {

namespace {
std::string SizeText(const TBitmap& bitmap) {
  return std::to_string(bitmap.Width()) + "x" + std::to_string(bitmap.Height());
}
}  // namespace

void TRecordingDC::SelectFont(const TFont& font) {
  ++selected_;
  calls_.push_back({DrawCall::Kind::SelectFont, 0, 0, 0, font.height, font.face});
}

void TRecordingDC::RestoreFont() {
  --selected_;
  calls_.push_back({DrawCall::Kind::RestoreFont, 0, 0, 0, 0, {}});
}

void TRecordingDC::TextOut(int x, int y, std::string_view text) {
  calls_.push_back({DrawCall::Kind::Text, x, y, 0, 0, std::string(text)});
}

TSize TRecordingDC::GetTextExtent(std::string_view text) {
  return {charWidth_ * static_cast<int>(text.size()), charHeight_};
}

void TRecordingDC::InvertRect(const TRect& rect) {
  calls_.push_back({DrawCall::Kind::Invert, rect.left, rect.top, rect.Width(), rect.Height(), {}});
}

void TRecordingDC::BitBlt(int x, int y, int width, int height, const TBitmap& bitmap, int srcX,
                          int srcY) {
  calls_.push_back({DrawCall::Kind::BitBlt, x, y, width, height, SizeText(bitmap), srcX, srcY});
}

void TRecordingDC::StretchBlt(int x, int y, int width, int height, const TBitmap& bitmap) {
  calls_.push_back({DrawCall::Kind::StretchBlt, x, y, width, height, SizeText(bitmap), 0, 0});
}

// One call, whatever the picture holds.
void TRecordingDC::PlayPicture(const TRect& rect, const QPicture& picture) {
  const QRect bounds = picture.boundingRect();
  calls_.push_back({DrawCall::Kind::Picture, rect.left, rect.top, rect.Width(), rect.Height(),
                    std::to_string(bounds.width()) + "x" + std::to_string(bounds.height())});
}

int TRecordingDC::GetDeviceCaps(DeviceCap index) {
  switch (index) {
    case HORZRES: return 640;
    case VERTRES: return 480;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
  }
  return 0;
}

std::vector<DrawCall> TRecordingDC::TextCalls() const {
  std::vector<DrawCall> result;
  for (const DrawCall& c : calls_)
    if (c.kind == DrawCall::Kind::Text) result.push_back(c);
  return result;
}

std::vector<DrawCall> TRecordingDC::Inversions() const {
  std::vector<DrawCall> result;
  for (const DrawCall& c : calls_)
    if (c.kind == DrawCall::Kind::Invert) result.push_back(c);
  return result;
}

}  // namespace platform
