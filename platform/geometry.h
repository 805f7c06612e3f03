#pragma once
#include <cstdint>
#include <limits>

namespace platform {

// a * b / c with a 64-bit intermediate, rounded to the nearest integer (halves away from
// zero); -1 when c is 0 or the result does not fit an int, as the old system answered.
constexpr int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const uint64_t magnitude = product < 0 ? 0 - static_cast<uint64_t>(product) : product;
  const uint64_t divisor = c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : c;
  const uint64_t quotient = (magnitude + divisor / 2) / divisor;
  if (quotient > static_cast<uint64_t>(std::numeric_limits<int>::max())) return -1;
  return negative ? -static_cast<int>(quotient) : static_cast<int>(quotient);
}

struct TPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const TRect&) const = default;
};

}  // namespace platform
