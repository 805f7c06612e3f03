#include "authoring/text_decoding.h"

#include <algorithm>
#include <optional>

#include "platform/code_page.h"

namespace quizloom {

namespace {

// Collects the window's text one character of the file at a time.
class TextSink {
 public:
  TextSink(DecodedText& out, int limit, std::size_t size) : out_(out), limit_(limit) {
    out_.text.reserve(std::min(size, static_cast<std::size_t>(limit)));
  }

  // False once a character past the limit arrived: the text is complete.
  bool Put(char32_t c) {
    // The line feed of a CR LF pair belongs to the line end already taken.
    const bool afterReturn = afterReturn_;
    afterReturn_ = c == '\r';
    if (c == '\n' && afterReturn) return true;
    if (count_ == limit_) {
      out_.cut = true;
      return false;
    }
    ++count_;
    if (c >= 0x20 && c < 0x7F) {
      out_.text.push_back(static_cast<char>(c));
      return true;
    }
    if (c == '\r' || c == '\n') {
      out_.text.push_back('\n');
      return true;
    }
    const std::optional<unsigned char> byte = platform::CodePointToCp1252(c);
    if (c == 0 || !byte) {
      out_.text.push_back('?');
      ++out_.replaced;
    } else {
      out_.text.push_back(static_cast<char>(*byte));
    }
    return true;
  }

 private:
  DecodedText& out_;
  int limit_;
  int count_ = 0;
  bool afterReturn_ = false;
};

bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The code point starting at bytes[i] and its length, or nothing when the bytes there are
// not well-formed UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
std::optional<char32_t> NextCodePoint(std::span<const uint8_t> bytes, std::size_t i,
                                      std::size_t& length) {
  const uint8_t lead = bytes[i];
  if (lead < 0x80) {
    length = 1;
    return lead;
  }
  char32_t c = 0;
  uint8_t low = 0x80;
  uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    c = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    c = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return std::nullopt;
  }
  if (bytes.size() - i < length) return std::nullopt;
  for (std::size_t k = 1; k < length; ++k) {
    const uint8_t next = bytes[i + k];
    if (k == 1 ? (next < low || next > high) : !IsContinuation(next)) return std::nullopt;
    c = (c << 6) | (next & 0x3F);
  }
  return c;
}

// Writes a whole platform file as UTF-16, line ends as they are. No file needs more units
// than it has bytes.
class Utf16Sink {
 public:
  explicit Utf16Sink(char16_t* text) : text_(text) {}

  bool Put(char32_t c) {
    if (c < 0x10000) {
      text_[length++] = static_cast<char16_t>(c);
    } else {
      text_[length++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      text_[length++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
    return true;
  }
  std::size_t length = 0;

 private:
  char16_t* text_;
};

template <class Sink>
void DecodeWindows1252(std::span<const uint8_t> bytes, Sink& sink) {
  for (uint8_t byte : bytes) {
    // The five empty bytes become U+FFFD, which the window's sink replaces.
    const char32_t c = platform::Cp1252ToCodePoint(byte).value_or(0xFFFD);
    if (!sink.Put(c)) break;
  }
}

// The bytes read as UTF-8, each byte that begins no valid sequence taken as the Windows-1252
// character it names, with the counts that tell whether the file is UTF-8 at all.
struct Utf8Reading {
  int evidence = 0;  // multi-byte sequences of characters Windows-1252 holds
  int invalid = 0;   // bytes that begin no valid sequence
  bool beyondAscii = false;

  // A stray byte in UTF-8 text leaves the rest UTF-8. Windows-1252 text can hold a valid
  // sequence by chance, but rarely one of a character Windows-1252 has: only those count.
  bool IsUtf8() const { return invalid == 0 || evidence > invalid; }
};

template <class Sink>
Utf8Reading DecodeUtf8(std::span<const uint8_t> bytes, Sink& sink) {
  Utf8Reading reading;
  std::size_t i = 0;
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    i = 3;
    reading.beyondAscii = true;
  }
  while (i < bytes.size()) {
    if (bytes[i] < 0x80) {  // most of a file
      if (!sink.Put(bytes[i])) break;
      ++i;
      continue;
    }
    std::size_t length = 0;
    std::optional<char32_t> c = NextCodePoint(bytes, i, length);
    if (!c) {
      length = 1;
      c = platform::Cp1252ToCodePoint(bytes[i]).value_or(0xFFFD);
    }
    if (!sink.Put(*c)) break;
    if (length == 1 && bytes[i] >= 0x80) ++reading.invalid;
    if (length > 1 && platform::CodePointToCp1252(*c)) ++reading.evidence;
    if (*c >= 0x80) reading.beyondAscii = true;
    i += length;
  }
  return reading;
}

// UTF-16 after its byte-order mark. A surrogate without its partner and an odd last byte
// stand for characters the window cannot hold.
template <class Sink>
void DecodeUtf16(std::span<const uint8_t> bytes, bool bigEndian, Sink& sink) {
  const auto unitAt = [&](std::size_t i) -> char32_t {
    return bigEndian ? bytes[i] << 8 | bytes[i + 1] : bytes[i + 1] << 8 | bytes[i];
  };
  const auto isHigh = [](char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
  const auto isLow = [](char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    char32_t c = unitAt(i);
    if (isHigh(c) && i + 3 < bytes.size() && isLow(unitAt(i + 2))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
      i += 2;
    } else if (isHigh(c) || isLow(c)) {
      c = 0xFFFD;
    }
    if (!sink.Put(c)) return;
  }
  if (i < bytes.size()) sink.Put(0xFFFD);
}

// The byte-order mark of UTF-16 and which way round it is, when the bytes begin with one.
std::optional<bool> Utf16BigEndian(std::span<const uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return false;
  if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return true;
  return std::nullopt;
}

}  // namespace

DecodedText DecodeTextFile(std::span<const uint8_t> bytes, int limit) {
  DecodedText out;
  if (const std::optional<bool> bigEndian = Utf16BigEndian(bytes)) {
    out.encoding = *bigEndian ? TextEncoding::Utf16BigEndian : TextEncoding::Utf16LittleEndian;
    TextSink sink(out, limit, bytes.size() / 2);
    DecodeUtf16(bytes.subspan(2), *bigEndian, sink);
    return out;
  }
  {
    TextSink sink(out, limit, bytes.size());
    const Utf8Reading utf8 = DecodeUtf8(bytes, sink);
    if (utf8.IsUtf8()) {
      // ASCII reads the same both ways.
      out.encoding = utf8.beyondAscii ? TextEncoding::Utf8 : TextEncoding::Windows1252;
      return out;
    }
  }
  out = {};
  TextSink sink(out, limit, bytes.size());
  DecodeWindows1252(bytes, sink);
  return out;
}

std::size_t DecodeWholeText(std::span<const uint8_t> bytes, char16_t* text) {
  if (const std::optional<bool> bigEndian = Utf16BigEndian(bytes)) {
    Utf16Sink sink(text);
    DecodeUtf16(bytes.subspan(2), *bigEndian, sink);
    return sink.length;
  }
  Utf16Sink utf8(text);
  if (DecodeUtf8(bytes, utf8).IsUtf8()) return utf8.length;
  Utf16Sink cp1252(text);
  DecodeWindows1252(bytes, cp1252);
  return cp1252.length;
}

}  // namespace quizloom
