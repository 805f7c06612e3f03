#include "platform/font.h"

#include <QFont>
#include <QFontDatabase>

namespace platform {

namespace {

QString FixedFace() {
  static const QString face = [] {
    for (const char* candidate : {"Liberation Mono", "DejaVu Sans Mono", "Courier New"})
      if (QFontDatabase::hasFamily(candidate)) return QString(candidate);
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
  }();
  return face;
}

}  // namespace

QFont ToQFont(const TFont& font, int dotsPerInch) {
  QFont result;
  const bool fixed = font.face == "Courier" || font.face == "Courier New";
  if (fixed) {
    result.setFamily(FixedFace());
    result.setStyleHint(QFont::Monospace);
    result.setFixedPitch(true);
  } else {
    result.setFamily(QString::fromStdString(font.face));
  }
  if (font.height > 0) {
    // The old "Courier" was a bitmap face whose smallest size has a 13-pixel cell and an
    // 8-pixel advance; asking for less gave that size.
    int pixels = font.face == "Courier" && font.height < 13 ? 13 : font.height;
    result.setPixelSize(pixels);
  } else {
    result.setPixelSize(dotsPerInch * 10 / 72);
  }
  result.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
  result.setItalic(font.italic);
  result.setUnderline(font.underline);
  result.setStrikeOut(font.strikeOut);
  result.setKerning(false);
  result.setHintingPreference(QFont::PreferFullHinting);
  return result;
}

}  // namespace platform
