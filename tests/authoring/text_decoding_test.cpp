#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/text_decoding.h"

namespace quizloom {
namespace {

using E = TextEncoding;

DecodedText Decode(const std::string& bytes, int limit = kImportLimit) {
  return DecodeTextFile({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, limit);
}

// The message about a truncated file is given only when characters were left out.
TEST(TextDecoding, LineEndsCodePagesReplacedCharactersAndTheLimit) {
  const std::string full(kImportLimit, 'a');
  const std::string less = full.substr(1);
  const auto Utf8 = [](std::string text, int32_t replaced = 0) {
    return DecodedText{std::move(text), replaced, false, E::Utf8};
  };
  struct Case {
    const char* name;
    std::string bytes;
    DecodedText decoded;  // text, replaced, cut, encoding (Windows-1252 unless said)
  } cases[] = {
      {"CR LF", "one\r\ntwo\r\n", {"one\ntwo\n"}},
      {"LF", "one\ntwo", {"one\ntwo"}},
      {"lone CR", "one\rtwo\r", {"one\ntwo\n"}},
      {"CR CR LF", "one\r\r\ntwo", {"one\n\ntwo"}},
      {"LF CR", "one\n\rtwo", {"one\n\ntwo"}},
      {"byte 255 kept", "na\xFFve \xFF", {"na\xFFve \xFF"}},
      {"Windows-1252 e acute", "caf\xE9 \x80 5", {"caf\xE9 \x80 5"}},
      {"the five empty bytes", "a\x81\x8D\x8F\x90\x9D" "b", {"a?????b", 5}},
      {"NUL", std::string("a\0b", 3), {"a?b", 1}},
      {"UTF-8 e acute", "caf\xC3\xA9", Utf8("caf\xE9")},
      {"UTF-8 with BOM", "\xEF\xBB\xBFplain", Utf8("plain")},
      {"BOM alone", "\xEF\xBB\xBF", Utf8("")},
      {"UTF-8 Greek replaced", "\xCE\xB1 = 2 caf\xC3\xA9s \xE2\x88\x9A",
       Utf8("? = 2 caf\xE9s ?", 2)},
      {"UTF-8 euro and quotes", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D", Utf8("\x80 \x93x\x94")},
      {"UTF-8 four bytes", "a\xF0\x9F\x8C\x8D", Utf8("a?", 1)},
      {"UTF-8 CR LF", "\xC3\xA9\r\nb", Utf8("\xE9\nb")},
      // Not UTF-8: every byte read as Windows-1252.
      {"overlong form", "\xC0\xAF", {"\xC0\xAF"}},
      {"surrogate", "\xED\xA0\x80", {"\xED\xA0\x80"}},
      {"past U+10FFFF", "\xF4\xA0\xA0\xA0", {"\xF4\xA0\xA0\xA0"}},
      {"cut sequence at the end", "caf\xC3", {"caf\xC3"}},
      {"BOM then bad UTF-8", "\xEF\xBB\xBF\xE9", {"\xEF\xBB\xBF\xE9"}},
      // UTF-8 with a stray byte stays UTF-8 when more of its sequences hold Windows-1252
      // letters than it has stray bytes; U+07D3 (DF 93 in "Fu\xDF\x93") is no evidence.
      {"UTF-8 with a stray byte", "Caf\xC3\xA9 \xC3\xBC" "ber Stra\xC3\x9F" "e it\x92s",
       Utf8("Caf\xE9 \xFC" "ber Stra\xDF" "e it\x92s")},
      {"as many stray bytes as letters", "\xC3\xA9\x92", {"\xC3\xA9\x92"}},
      {"Windows-1252 like UTF-8 by chance", "\x84" "Fu\xDF\x93 na\xEFve",
       {"\x84" "Fu\xDF\x93 na\xEFve"}},
      {"UTF-16 LE", std::string("\xFF\xFEH\0\xE9\0\r\0\n\0\xB1\x03\x3C\xD8\x0D\xDF!\0", 18),
       {"H\xE9\n??!", 2, false, E::Utf16LittleEndian}},
      {"UTF-16 BE", std::string("\xFE\xFF\0H\x20\xAC\xDC\0\0i\0", 11),
       {"H\x80?i?", 2, false, E::Utf16BigEndian}},
      {"empty", "", {""}},
      {"limit less one", less, {less}},
      {"exactly the limit", full, {full}},
      {"one more", full + "xyz", {full, 0, true}},
      {"a line end after the limit", full + "\r\n", {full, 0, true}},
      {"a CR LF as the last character", less + "\r\n", {less + "\n"}},
      {"a lone CR as the last character", less + "\r", {less + "\n"}},
      {"CR LF pairs count one each", std::string(kImportLimit, '\n') + "\r\n",
       {std::string(kImportLimit, '\n'), 0, true}},
      {"UTF-8 counts characters", "\xEF\xBB\xBF" + less + "\xC3\xA9", Utf8(less + "\xE9")},
  };
  for (const Case& c : cases) {
    const DecodedText decoded = Decode(c.bytes);
    EXPECT_TRUE(decoded.text == c.decoded.text) << c.name;  // no 63,000-character dump on failure
    EXPECT_EQ(decoded, c.decoded) << c.name;
  }
}

// The window reads only ReadLimitFor(limit) bytes of a file; what lies after them never
// changes the result, whatever the encoding or the width of the characters.
TEST(TextDecoding, BytesAfterTheReadLimitNeverMatter) {
  const int limit = 5;
  const std::string emoji = "\xF0\x9F\x8C\x8D";
  std::string fourBytes;
  for (int i = 0; i < 10; ++i) fourBytes += emoji;
  const std::string inputs[] = {
      "\xEF\xBB\xBF" + fourBytes,           fourBytes + "\xFF",
      std::string(20, 'x') + "\xC3",       "\r\n\r\n\r\n\r\n\r\n\r\nab",
      "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xE9",
      "\x92\x92\xC3\xA9\xC3\xA9\xC3\xA9\x92\x92\x92",
      "\xFF\xFE" + std::string(10, '\0') + "\x3C\xD8\x0D\xDF",
      "\xFE\xFF" + fourBytes,
  };
  for (const std::string& input : inputs) {
    const DecodedText whole = Decode(input, limit);
    EXPECT_TRUE(whole.cut) << input;
    EXPECT_EQ(Decode(input.substr(0, ReadLimitFor(limit)), limit), whole) << input;
  }
  const DecodedText emojis = Decode("\xEF\xBB\xBF" + fourBytes, limit);
  EXPECT_EQ(emojis.text, "?????");
  EXPECT_EQ(emojis.encoding, E::Utf8);
}

}  // namespace
}  // namespace quizloom
