#pragma once
#include <string>

class QFont;

namespace platform {

// A font as the programs ask for it: a face name and a height in logical units (positive:
// cell height; 0: the device's default size for the face).
struct TFont {
  std::string face = "Courier";
  int height = 10;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;

  bool operator==(const TFont&) const = default;
};

// The Qt font that stands for it. Faces of the old system are mapped to the fonts we ship
// with: "Courier" and "Courier New" to a fixed-pitch face. dotsPerInch matters only for
// height 0, which means ten points on that device.
QFont ToQFont(const TFont& font, int dotsPerInch);

}  // namespace platform
