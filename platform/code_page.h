#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Windows-1252 without Qt, for the pure decoders: byte <-> Unicode code point.

// 0x80..0x9F; 0 marks the five bytes that have no character.
inline constexpr std::array<char16_t, 32> kCp1252HighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character of a byte, or nothing for the five bytes without one.
constexpr std::optional<char32_t> Cp1252ToCodePoint(unsigned char byte) {
  if (byte < 0x80 || byte > 0x9F) return byte;
  const char16_t c = kCp1252HighControls[byte - 0x80];
  if (c == 0) return std::nullopt;
  return c;
}

// A character of Windows-1252 as one UTF-16 unit; the five bytes without one become U+FFFD.
constexpr char16_t Cp1252ToUtf16(unsigned char byte) {
  return static_cast<char16_t>(Cp1252ToCodePoint(byte).value_or(0xFFFD));
}
inline std::u16string Cp1252ToUtf16(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (char c : bytes) text.push_back(Cp1252ToUtf16(static_cast<unsigned char>(c)));
  return text;
}

// A character as UTF-8, appended to out.
inline void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Windows-1252 bytes as UTF-8 (for a spreadsheet, a list's cells); the five bytes without a
// character become U+FFFD.
inline std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(out, Cp1252ToUtf16(static_cast<unsigned char>(c)));
  return out;
}

// The byte of a character, or nothing when Windows-1252 cannot hold it.
constexpr std::optional<unsigned char> CodePointToCp1252(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
    return static_cast<unsigned char>(codePoint);
  for (std::size_t i = 0; i < kCp1252HighControls.size(); ++i)
    if (kCp1252HighControls[i] != 0 && kCp1252HighControls[i] == codePoint)
      return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

// The small letter of a capital of Windows-1252: ASCII, À to Þ but ×, and the four pairs
// it keeps elsewhere. Picture names and accepted answers fold their letter case with it.
constexpr char16_t LetterLower(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= u'\u00C0' && c <= u'\u00DE' && c != u'\u00D7'))
    return static_cast<char16_t>(c + 0x20);
  switch (c) {
    case u'\u0160': return u'\u0161';  // Š
    case u'\u0152': return u'\u0153';  // Œ
    case u'\u017D': return u'\u017E';  // Ž
    case u'\u0178': return u'\u00FF';  // Ÿ
    default: return c;
  }
}

// Whether two bytes of Windows-1252 are one letter but for its case; the five bytes without a
// character equal only themselves.
constexpr bool SameLetterButCase(unsigned char a, unsigned char b) {
  if (a == b) return true;
  const std::optional<char32_t> x = Cp1252ToCodePoint(a), y = Cp1252ToCodePoint(b);
  return x && y && LetterLower(static_cast<char16_t>(*x)) == LetterLower(static_cast<char16_t>(*y));
}

}  // namespace platform
