#include "core/test_file_codec.h"

#include <cstring>

#include "core/byte_io.h"

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
bool ReadLetters(ByteReader& in, TLetters& letters) {
  int32_t count;
  if (!in.Int32(count)) return false;
  if (count <= 0) return true;
  if (static_cast<uint64_t>(count) * kLetterSize > in.Left()) return false;
  letters.reserve(static_cast<std::size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    uint8_t ch = 0;
    int32_t mark = 0;
    in.Byte(ch);
    in.Int32(mark);
    letters.emplace_back(ch, mark);
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

DecodeResult DecodeTestFile(std::span<const uint8_t> bytes, TList<TQuestion>& out) {
  ByteReader in(bytes);
  if (in.Left() < kMagicSize) {
    // Too short to hold the magic: a foreign file unless it starts as ours.
    const std::size_t n = std::min<std::size_t>(bytes.size(), sizeof kMagic);
    return std::memcmp(bytes.data(), kMagic, n) == 0 && n > 0 ? DecodeResult::Damaged
                                                               : DecodeResult::WrongMagic;
  }
  // The magic is compared as the string before its terminator; the bytes after it are free.
  const char* magic = reinterpret_cast<const char*>(in.Here());
  if (strnlen(magic, kMagicSize) != sizeof kMagic - 1 || std::memcmp(magic, kMagic, sizeof kMagic) != 0)
    return DecodeResult::WrongMagic;
  in.Skip(kMagicSize);

  int32_t count;
  if (!in.Int32(count)) return DecodeResult::Damaged;
  TList<TQuestion> questions;
  if (count > 0 && static_cast<uint64_t>(count) * kQuestionHeaderSize > in.Left())
    return DecodeResult::Damaged;
  for (int32_t i = 0; i < count; ++i) {
    auto question = std::make_unique<TQuestion>();
    if (!in.Field(question->picture, sizeof question->picture)) return DecodeResult::Damaged;
    if (!ReadLetters(in, question->text) || !ReadLetters(in, question->answer))
      return DecodeResult::Damaged;
    questions.Add(std::move(question));
  }
  out.Swap(questions);
  return DecodeResult::Ok;
}

}  // namespace core
