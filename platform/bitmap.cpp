#include "platform/bitmap.h"

#include "platform/cp1252.h"
#include "resources/resource_types.h"

namespace platform {

TBitmap TBitmap::FromResource(const std::string& name) {
  return TBitmap(QImage(QString::fromStdString(resources::BitmapResourcePath(name)), "BMP"));
}

TBitmap TBitmap::FromFile(const std::string& path) {
  if (path.empty()) return {};
  return TBitmap(QImage(PathToQt(path), "BMP"));
}

}  // namespace platform
