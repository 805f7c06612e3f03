#pragma once
#include <string>

#include <QImage>

namespace platform {

// A device-independent bitmap, from the program's resources or from a .bmp file.
class TBitmap {
 public:
  TBitmap() = default;
  explicit TBitmap(QImage image) : image_(std::move(image)) {}

  static TBitmap FromResource(const std::string& name);  // "Bitmap_1"
  // The file is opened by the path as given, so a bare name is looked up in the current
  // directory. A missing or unreadable file gives an empty bitmap.
  static TBitmap FromFile(const std::string& path);

  bool IsNull() const { return image_.isNull(); }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
};

}  // namespace platform
