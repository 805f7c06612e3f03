#include "platform/cp1252.h"

#include <QList>

#include "platform/code_page.h"

namespace platform {

QChar FromCp1252(unsigned char byte) {
  const std::optional<char32_t> c = Cp1252ToCodePoint(byte);
  return c ? QChar(static_cast<char16_t>(*c)) : QChar(0xFFFD);
}

QString FromCp1252(std::string_view bytes) {
  // Filled in place: a whole text file of the import passes through here.
  QString result(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = result.data();
  for (char c : bytes) *out++ = FromCp1252(static_cast<unsigned char>(c));
  return result;
}

std::optional<unsigned char> ToCp1252Char(char32_t codePoint) {
  return CodePointToCp1252(codePoint);
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
