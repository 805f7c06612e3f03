#include "platform/cp1252.h"

#include <array>

#include <QList>

namespace platform {

namespace {

// 0x80..0x9F; 0 marks the five bytes that have no character.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

QChar FromCp1252(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    char16_t c = kHighControls[byte - 0x80];
    return c ? QChar(c) : QChar(0xFFFD);
  }
  return QChar(static_cast<char16_t>(byte));
}

QString FromCp1252(std::string_view bytes) {
  QString result;
  result.reserve(static_cast<qsizetype>(bytes.size()));
  for (char c : bytes) result.append(FromCp1252(static_cast<unsigned char>(c)));
  return result;
}

std::optional<unsigned char> ToCp1252Char(char32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
    return static_cast<unsigned char>(codePoint);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] != 0 && kHighControls[i] == codePoint)
      return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

std::string ToCp1252(const QString& text) {
  std::string result;
  result.reserve(static_cast<std::size_t>(text.size()));
  for (char32_t c : text.toUcs4())
    if (auto byte = ToCp1252Char(c)) result.push_back(static_cast<char>(*byte));
  return result;
}

std::string PathToText(const std::string& path) {
  std::string result;
  for (char32_t c : QString::fromUtf8(path).toUcs4()) {
    auto byte = ToCp1252Char(c);
    result.push_back(byte ? static_cast<char>(*byte) : '?');
  }
  return result;
}

std::optional<std::string> FileNameToText(const std::string& name) {
  std::string text;
  for (char32_t c : QString::fromUtf8(name).toUcs4()) {
    auto byte = ToCp1252Char(c);
    if (!byte) return std::nullopt;
    text.push_back(static_cast<char>(*byte));
  }
  return text;
}

std::string FileNameFromText(std::string_view text) { return PathFromQt(FromCp1252(text)); }

QString PathToQt(const std::string& path) { return QString::fromUtf8(path); }
std::string PathFromQt(const QString& path) { return path.toUtf8().toStdString(); }

}  // namespace platform
