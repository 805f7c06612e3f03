#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quizloom {

// The import window takes at most this many characters of a text file; a line end of the
// file counts as one.
inline constexpr int kImportLimit = 62999;

// The bytes a reader must hand over so that the decoding sees everything it keeps: one
// character more than the limit takes at most 4 bytes each, after a byte-order mark.
constexpr std::size_t ReadLimitFor(int limit) {
  return 3 + 4 * (static_cast<std::size_t>(limit) + 1);
}

enum class TextEncoding { Windows1252, Utf8, Utf16LittleEndian, Utf16BigEndian };

struct DecodedText {
  std::string text;       // Windows-1252 bytes; each line end of the file is one line feed
  int32_t replaced = 0;   // characters Windows-1252 cannot hold, each now a '?'
  bool cut = false;       // characters after the limit were left out
  TextEncoding encoding = TextEncoding::Windows1252;

  bool operator==(const DecodedText&) const = default;
};

// Reads the start of a text file as teachers have them. UTF-16 with its byte-order mark, little
// or big endian, is read as such. Valid UTF-8 holding characters beyond ASCII is read as UTF-8
// (a byte-order mark is dropped), and so is UTF-8 with a few stray bytes, each taken as the
// Windows-1252 character it names, when more of its multi-byte sequences stand for characters
// Windows-1252 holds than it has stray bytes; anything else is read as Windows-1252. Line
// ends of every kind (CR LF, LF, a lone CR) become one line feed. What the window cannot hold
// (a character outside Windows-1252, a NUL, the five bytes Windows-1252 leaves empty) becomes
// '?' and is counted. Only the characters up to the limit and one after it are looked at, so
// bytes past ReadLimitFor(limit) never matter.
DecodedText DecodeTextFile(std::span<const uint8_t> bytes, int limit = kImportLimit);

// A whole file by the same choice of encoding, for readers that take files larger than the
// window: every byte counts as evidence. Writes it as UTF-16 to text, which has room for one
// unit per byte, with its line ends as they are, and returns the units written. Characters are
// kept as they are, but for the five empty bytes of Windows-1252 and broken UTF-16, U+FFFD.
std::size_t DecodeWholeText(std::span<const uint8_t> bytes, char16_t* text);

}  // namespace quizloom
