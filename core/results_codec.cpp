#include "core/results_codec.h"

#include "core/byte_io.h"

namespace core {

std::vector<uint8_t> EncodeResults(const core::TInformation& information) {
  core::ByteWriter out;
  const int count = information.responses.Count();
  out.Reserve(kResultsHeaderSize + static_cast<std::size_t>(count) * kResponseRecordSize);
  out.Field(information.firstName, sizeof information.firstName);
  out.Field(information.lastName, sizeof information.lastName);
  out.Field(information.course, sizeof information.course);
  out.Field(information.period, sizeof information.period);
  out.Field(information.instructor, sizeof information.instructor);
  out.Field(information.testFile, sizeof information.testFile);
  out.Int32(information.year);
  out.Int32(information.month);
  out.Int32(information.day);
  out.Int32(information.correctCount);
  out.Int32(information.questionCount);
  out.Int32(count);
  for (const auto& response : information.responses) {
    out.Int32(response->number);
    out.Int32(response->correct);
    out.Field(response->given, sizeof response->given);
    out.Field(response->expected, sizeof response->expected);
    out.Field(response->questionText, sizeof response->questionText);
    for (int32_t mark : response->questionMarks) out.Int32(mark);
    for (int k = 0; k < 51; ++k) {
      out.Int32(response->givenMarks[k]);
      out.Int32(response->expectedMarks[k]);
    }
  }
  return out.Take();
}

namespace {

bool ReadResponse(core::ByteReader& in, core::TResponse& response) {
  if (!in.Int32(response.number) || !in.Int32(response.correct)) return false;
  if (!in.Field(response.given, sizeof response.given)) return false;
  if (!in.Field(response.expected, sizeof response.expected)) return false;
  if (!in.Field(response.questionText, sizeof response.questionText)) return false;
  for (int32_t& mark : response.questionMarks)
    if (!in.Int32(mark)) return false;
  for (int k = 0; k < 51; ++k)
    if (!in.Int32(response.givenMarks[k]) || !in.Int32(response.expectedMarks[k])) return false;
  return true;
}

std::unique_ptr<core::TInformation> Fail(ResultsDecodeError* error, ResultsDecodeError why) {
  if (error) *error = why;
  return nullptr;
}

}  // namespace

std::unique_ptr<core::TInformation> DecodeResults(std::span<const uint8_t> bytes,
                                                  ResultsDecodeError* error) {
  if (error) *error = ResultsDecodeError::None;
  if (bytes.size() < static_cast<std::size_t>(kResultsHeaderSize))
    return Fail(error, ResultsDecodeError::TooShort);
  core::ByteReader in(bytes);
  auto information = std::make_unique<core::TInformation>();
  in.Field(information->firstName, sizeof information->firstName);
  in.Field(information->lastName, sizeof information->lastName);
  in.Field(information->course, sizeof information->course);
  in.Field(information->period, sizeof information->period);
  in.Field(information->instructor, sizeof information->instructor);
  in.Field(information->testFile, sizeof information->testFile);
  int32_t count = 0;
  in.Int32(information->year);
  in.Int32(information->month);
  in.Int32(information->day);
  in.Int32(information->correctCount);
  in.Int32(information->questionCount);
  in.Int32(count);
  // The count must describe exactly the bytes that follow: a file of ours always does.
  if (count < 0 || in.Left() % kResponseRecordSize != 0 ||
      in.Left() / kResponseRecordSize != static_cast<std::size_t>(count))
    return Fail(error, ResultsDecodeError::Damaged);
  for (int32_t i = 0; i < count; ++i) {
    auto response = std::make_unique<core::TResponse>();
    if (!ReadResponse(in, *response)) return Fail(error, ResultsDecodeError::Damaged);
    information->responses.Add(std::move(response));
  }
  return information;
}

}  // namespace core
