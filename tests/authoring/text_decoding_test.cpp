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

TEST(TextDecoding, LineEndsCodePagesAndReplacedCharacters) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
    int32_t replaced;
    E encoding;
  } cases[] = {
      {"CR LF", "one\r\ntwo\r\n", "one\ntwo\n", 0, E::Windows1252},
      {"LF", "one\ntwo", "one\ntwo", 0, E::Windows1252},
      {"lone CR", "one\rtwo\r", "one\ntwo\n", 0, E::Windows1252},
      {"CR CR LF", "one\r\r\ntwo", "one\n\ntwo", 0, E::Windows1252},
      {"LF CR", "one\n\rtwo", "one\n\ntwo", 0, E::Windows1252},
      {"byte 255 kept", "na\xFFve \xFF", "na\xFFve \xFF", 0, E::Windows1252},
      {"Windows-1252 e acute", "caf\xE9 \x80 5", "caf\xE9 \x80 5", 0, E::Windows1252},
      {"the five empty bytes", "a\x81\x8D\x8F\x90\x9D" "b", "a?????b", 5, E::Windows1252},
      {"NUL", std::string("a\0b", 3), "a?b", 1, E::Windows1252},
      {"UTF-8 e acute", "caf\xC3\xA9", "caf\xE9", 0, E::Utf8},
      {"UTF-8 with BOM", "\xEF\xBB\xBFplain", "plain", 0, E::Utf8},
      {"BOM alone", "\xEF\xBB\xBF", "", 0, E::Utf8},
      {"UTF-8 Greek replaced", "\xCE\xB1 = 2 caf\xC3\xA9s \xE2\x88\x9A", "? = 2 caf\xE9s ?", 2,
       E::Utf8},
      {"UTF-8 euro and quotes", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D", "\x80 \x93x\x94", 0,
       E::Utf8},
      {"UTF-8 four bytes", "a\xF0\x9F\x8C\x8D", "a?", 1, E::Utf8},
      {"UTF-8 CR LF", "\xC3\xA9\r\nb", "\xE9\nb", 0, E::Utf8},
      {"overlong form", "\xC0\xAF", "\xC0\xAF", 0, E::Windows1252},
      {"surrogate", "\xED\xA0\x80", "\xED\xA0\x80", 0, E::Windows1252},
      {"past U+10FFFF", "\xF4\xA0\xA0\xA0", "\xF4\xA0\xA0\xA0", 0, E::Windows1252},
      {"cut sequence at the end", "caf\xC3", "caf\xC3", 0, E::Windows1252},
      {"BOM then bad UTF-8", "\xEF\xBB\xBF\xE9", "\xEF\xBB\xBF\xE9", 0, E::Windows1252},
      {"empty", "", "", 0, E::Windows1252},
  };
  for (const Case& c : cases) {
    const DecodedText decoded = Decode(c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.name;
    EXPECT_EQ(decoded.replaced, c.replaced) << c.name;
    EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
    EXPECT_FALSE(decoded.cut) << c.name;
  }
}

// The message about a truncated file is given only when characters were left out.
TEST(TextDecoding, CutOnlyWhenCharactersAfterTheLimitWereLeftOut) {
  const std::string full(kImportLimit, 'a');
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t length;
    bool cut;
  } cases[] = {
      {"limit less one", full.substr(1), kImportLimit - 1, false},
      {"exactly the limit", full, kImportLimit, false},
      {"one more", full + "b", kImportLimit, true},
      {"a line end after the limit", full + "\r\n", kImportLimit, true},
      {"a CR LF as the last character", full.substr(1) + "\r\n", kImportLimit, false},
      {"a lone CR as the last character", full.substr(1) + "\r", kImportLimit, false},
      {"CR LF pairs count one each", std::string(kImportLimit, '\n') + "\r\n", kImportLimit, true},
      {"UTF-8 counts characters", "\xEF\xBB\xBF" + std::string(kImportLimit - 1, 'a') + "\xC3\xA9",
       kImportLimit, false},
  };
  for (const Case& c : cases) {
    const DecodedText decoded = Decode(c.bytes);
    EXPECT_EQ(decoded.text.size(), c.length) << c.name;
    EXPECT_EQ(decoded.cut, c.cut) << c.name;
  }
  EXPECT_EQ(Decode(full + "xyz").text, full);
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
  };
  for (const std::string& input : inputs) {
    const DecodedText whole = Decode(input, limit);
    EXPECT_TRUE(whole.cut) << input;
    EXPECT_EQ(Decode(input.substr(0, ReadLimitFor(limit)), limit), whole) << input;
  }
  EXPECT_EQ(Decode("\xEF\xBB\xBF" + fourBytes, limit).text, "?????");
  EXPECT_EQ(Decode("\xEF\xBB\xBF" + fourBytes, limit).encoding, E::Utf8);
}

}  // namespace
}  // namespace quizloom
