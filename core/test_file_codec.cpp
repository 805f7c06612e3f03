#include "core/test_file_codec.h"

#include <algorithm>
#include <cstring>

#include "core/byte_io.h"
#include "core/byte_source.h"

namespace core {

namespace {

constexpr char kMagic[] = "Quizloom95";

void WriteLetters(ByteWriter& out, const TLetters& letters) {
  out.Int32(static_cast<int32_t>(letters.size()));
  uint8_t* p = out.Grow(letters.size() * kLetterSize);
  for (const TLetter& letter : letters) {
    const auto mark = static_cast<uint32_t>(letter.mark);
    p[0] = letter.ch;
    p[1] = static_cast<uint8_t>(mark);
    p[2] = static_cast<uint8_t>(mark >> 8);
    p[3] = static_cast<uint8_t>(mark >> 16);
    p[4] = static_cast<uint8_t>(mark >> 24);
    p += kLetterSize;
  }
}

// A count is believed only as far as the bytes left can hold its records.
bool ReadLetters(SourceReader& in, TLetters& letters) {
  int32_t count;
  if (!in.Int32(count)) return false;
  if (count <= 0) return true;
  if (static_cast<uint64_t>(count) * kLetterSize > in.Left()) return false;
  // Sized first and filled through a plain pointer: a loop of appends would check the
  // capacity and reload the vector's ends for every letter, which doubles a load's time.
  letters.resize(static_cast<std::size_t>(count));
  TLetter* letter = letters.data();
  for (std::size_t missing = letters.size(); missing > 0;) {
    if (!in.Need(kLetterSize)) return false;
    const std::size_t here = std::min(missing, in.Buffered() / kLetterSize);
    const uint8_t* p = in.Here();
    for (std::size_t i = 0; i < here; ++i, p += kLetterSize) {
      letter[i].ch = p[0];
      letter[i].mark = static_cast<int32_t>(uint32_t{p[1]} | uint32_t{p[2]} << 8 | uint32_t{p[3]} << 16 |
                                            uint32_t{p[4]} << 24);
    }
    letter += here;
    in.Skip(here * kLetterSize);
    missing -= here;
  }
  return true;
}

void WriteHeader(ByteWriter& out, int32_t count) {
  out.Field(kMagic, 11);
  for (int i = 0; i < 4; ++i) out.Byte(0);
  out.Int32(count);
}

void WriteQuestion(ByteWriter& out, const TQuestion& question) {
  out.Field(question.picture, sizeof question.picture);
  WriteLetters(out, question.text);
  WriteLetters(out, question.answer);
}

}  // namespace

std::vector<uint8_t> EncodeTestFile(const TList<TQuestion>& questions) {
  ByteWriter out;
  std::size_t size = kMagicSize + 4;
  for (const auto& q : questions) size += kQuestionHeaderSize + kLetterSize * (q->text.size() + q->answer.size());
  out.Reserve(size);
  WriteHeader(out, questions.Count());
  for (const auto& q : questions) WriteQuestion(out, *q);
  return out.Take();
}

bool EncodeTestFile(const TList<TQuestion>& questions, const ByteSink& sink) {
  ByteWriter out;
  out.Reserve(kEncodePiece + kQuestionHeaderSize + kLetterSize * 600);
  WriteHeader(out, questions.Count());
  for (const auto& q : questions) {
    WriteQuestion(out, *q);
    if (out.Size() >= kEncodePiece) {
      if (!sink(out.View())) return false;
      out.Clear();
    }
  }
  return out.Size() == 0 || sink(out.View());
}

DecodeResult DecodeTestFile(const ByteSource& source, uint64_t size, TList<TQuestion>& out) {
  SourceReader in(source, size);
  if (!in.Need(kMagicSize)) {
    // Too short to hold the magic: a foreign file unless it starts as ours.
    const std::size_t n = std::min<std::size_t>(in.Buffered(), sizeof kMagic);
    return n > 0 && std::memcmp(in.Here(), kMagic, n) == 0 ? DecodeResult::Damaged
                                                           : DecodeResult::WrongMagic;
  }
  // The magic is compared as the string before its terminator; the bytes after it are free.
  const char* magic = reinterpret_cast<const char*>(in.Here());
  if (strnlen(magic, kMagicSize) != sizeof kMagic - 1 || std::memcmp(magic, kMagic, sizeof kMagic) != 0)
    return DecodeResult::WrongMagic;
  in.Skip(kMagicSize);

  int32_t count;
  if (!in.Int32(count)) return DecodeResult::Damaged;
  if (count > 0 && static_cast<uint64_t>(count) * kQuestionHeaderSize > in.Left())
    return DecodeResult::Damaged;
  TList<TQuestion> questions;
  for (int32_t i = 0; i < count; ++i) {
    auto question = std::make_unique<TQuestion>();
    constexpr int kPicture = sizeof question->picture;
    if (!in.Need(kPicture)) return DecodeResult::Damaged;
    // Up to the first NUL, at most 79 characters; the rest of the field is ignored.
    const char* picture = reinterpret_cast<const char*>(in.Here());
    std::memcpy(question->picture, picture, strnlen(picture, kPicture - 1));
    in.Skip(kPicture);
    if (!ReadLetters(in, question->text) || !ReadLetters(in, question->answer))
      return DecodeResult::Damaged;
    questions.Add(std::move(question));
  }
  out.Swap(questions);
  return DecodeResult::Ok;
}

DecodeResult DecodeTestFile(std::span<const uint8_t> bytes, TList<TQuestion>& out) {
  std::size_t position = 0;
  const ByteSource source = [&](uint8_t* destination, std::size_t size) {
    const std::size_t n = std::min(size, bytes.size() - position);
    if (n > 0) std::memcpy(destination, bytes.data() + position, n);
    position += n;
    return n;
  };
  return DecodeTestFile(source, bytes.size(), out);
}

}  // namespace core
