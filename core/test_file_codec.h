#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/byte_source.h"
#include "core/records.h"

namespace core {

// The test file: the magic "Quizloom95" in 15 bytes, the question count, then per question
// an 80-byte picture field, the text letters and the answer letters, each list behind its
// count; a letter is its byte and an int32 mark. Integers are little-endian.
std::vector<uint8_t> EncodeTestFile(const TList<TQuestion>& questions);

// The same bytes handed to sink piece by piece (about kEncodePiece at a time, more only for a
// question larger than that), so a large test is never held twice in memory while it is
// saved. Stops at the first piece the sink refuses and returns false.
using ByteSink = std::function<bool(std::span<const uint8_t> piece)>;
bool EncodeTestFile(const TList<TQuestion>& questions, const ByteSink& sink);
inline constexpr std::size_t kEncodePiece = 64 * 1024;

enum class DecodeResult {
  Ok,
  WrongMagic,  // not a test file
  Damaged,     // ends before its counts say, or counts more than the file can hold
};

// Decodes into out, which is replaced only on success. Counts of zero or less mean no
// records; marks are taken as stored; bytes after the last question are ignored.
DecodeResult DecodeTestFile(std::span<const uint8_t> bytes, TList<TQuestion>& out);

// The same, pulling the file from source, which gives at most size bytes: the file is never
// held whole, and no count is believed beyond what size leaves.
DecodeResult DecodeTestFile(const ByteSource& source, uint64_t size, TList<TQuestion>& out);

inline constexpr int kMagicSize = 15;
inline constexpr int kQuestionHeaderSize = 88;  // picture field and the two counts
inline constexpr int kLetterSize = 5;

}  // namespace core
