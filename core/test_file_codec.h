#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "core/records.h"

namespace core {

// The test file: the magic "Quizloom95" in 15 bytes, the question count, then per question
// an 80-byte picture field, the text letters and the answer letters, each list behind its
// count; a letter is its byte and an int32 mark. Integers are little-endian.
std::vector<uint8_t> EncodeTestFile(const TList<TQuestion>& questions);

enum class DecodeResult {
  Ok,
  WrongMagic,  // not a test file
  Damaged,     // ends before its counts say, or counts more than the file can hold
};

// Decodes into out, which is replaced only on success. Counts of zero or less mean no
// records; marks are taken as stored.
DecodeResult DecodeTestFile(std::span<const uint8_t> bytes, TList<TQuestion>& out);

inline constexpr int kMagicSize = 15;
inline constexpr int kQuestionHeaderSize = 88;  // picture field and the two counts
inline constexpr int kLetterSize = 5;

}  // namespace core
