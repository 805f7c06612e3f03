#pragma once
#include <optional>
#include <string>
#include <string_view>

#include <QString>

namespace platform {

// Every stored character is one byte of Windows-1252. Typed keys, screen text and text files
// cross into the program through these functions only.
QString FromCp1252(std::string_view bytes);
QChar FromCp1252(unsigned char byte);
// Characters that Windows-1252 cannot hold are left out.
std::string ToCp1252(const QString& text);
std::optional<unsigned char> ToCp1252Char(char32_t codePoint);

// File paths are kept as the system's own bytes (UTF-8). For a caption or a stored text field
// they are shown in Windows-1252; characters it cannot hold become '?'.
std::string PathToText(const std::string& path);
QString PathToQt(const std::string& path);
std::string PathFromQt(const QString& path);
// A file name stored in a test file: the system's bytes as Windows-1252, or nothing when a
// character cannot be held; and back to the system's bytes to open the file.
std::optional<std::string> FileNameToText(const std::string& name);
std::string FileNameFromText(std::string_view text);

}  // namespace platform
