#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/records.h"

namespace core {

// The results file: a 199-byte header (the five class fields, the test path in 80 bytes,
// year, month, day, correct count, question count, response count) and one 3018-byte record
// per response (number, verdict, given and expected answers in 51 bytes each, the question's
// 500 characters and 500 marks, then 51 pairs of given and expected marks). Integers are
// little-endian int32; text fields end in a zero byte and are zero-filled after it.
inline constexpr int kResultsHeaderSize = 199;
inline constexpr int kResponseRecordSize = 3018;

std::vector<uint8_t> EncodeResults(const TInformation& information);

enum class ResultsDecodeError {
  None,
  TooShort,  // shorter than the header
  Damaged,   // a negative count, or a size that is not the header and the records it counts
};

// A new TInformation with the file's fields, or nullptr when the bytes are not a whole
// results file. No field is read past the bytes given.
std::unique_ptr<TInformation> DecodeResults(std::span<const uint8_t> bytes,
                                            ResultsDecodeError* error = nullptr);

}  // namespace core
