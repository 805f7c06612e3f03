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

DecodedText DecodeWindows1252(std::span<const uint8_t> bytes, int limit) {
  DecodedText out;
  TextSink sink(out, limit, bytes.size());
  for (uint8_t byte : bytes) {
    // The five empty bytes become U+FFFD, which the sink replaces.
    const char32_t c = platform::Cp1252ToCodePoint(byte).value_or(0xFFFD);
    if (!sink.Put(c)) break;
  }
  return out;
}

// Nothing when the bytes are not UTF-8 up to the character after the limit.
std::optional<DecodedText> DecodeUtf8(std::span<const uint8_t> bytes, int limit) {
  DecodedText out;
  out.encoding = TextEncoding::Utf8;
  TextSink sink(out, limit, bytes.size());
  std::size_t i = 0;
  bool beyondAscii = false;
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    i = 3;
    beyondAscii = true;
  }
  while (i < bytes.size()) {
    std::size_t length = 0;
    const std::optional<char32_t> c = NextCodePoint(bytes, i, length);
    if (!c) return std::nullopt;
    if (*c >= 0x80) beyondAscii = true;
    if (!sink.Put(*c)) break;
    i += length;
  }
  if (!beyondAscii) out.encoding = TextEncoding::Windows1252;  // ASCII reads the same both ways
  return out;
}

}  // namespace

DecodedText DecodeTextFile(std::span<const uint8_t> bytes, int limit) {
  if (std::optional<DecodedText> utf8 = DecodeUtf8(bytes, limit)) return *std::move(utf8);
  return DecodeWindows1252(bytes, limit);
}

}  // namespace quizloom
