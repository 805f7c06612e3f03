#include "core/results_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace core {
namespace {

int32_t IntAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
  return static_cast<int32_t>(uint32_t(bytes.at(offset)) | uint32_t(bytes.at(offset + 1)) << 8 |
                              uint32_t(bytes.at(offset + 2)) << 16 |
                              uint32_t(bytes.at(offset + 3)) << 24);
}

// The field at offset holds text, then zero bytes up to its size.
void ExpectField(const std::vector<uint8_t>& bytes, std::size_t offset, std::size_t size,
                 const std::string& text) {
  ASSERT_LE(offset + size, bytes.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[offset]), text.size()), text)
      << "at " << offset;
  for (std::size_t i = offset + text.size(); i < offset + size; ++i)
    ASSERT_EQ(bytes[i], 0) << "byte " << i << " of the field at " << offset;
}

std::unique_ptr<core::TResponse> MakeResponse(int32_t number, const char* given,
                                              const char* expected, int32_t correct) {
  int32_t givenMarks[51] = {}, expectedMarks[51] = {}, questionMarks[500] = {};
  givenMarks[1] = 2;
  expectedMarks[1] = 2;
  expectedMarks[50] = 1;
  questionMarks[0] = 1;
  questionMarks[499] = 2;
  return std::make_unique<core::TResponse>(number, given, expected, "What is\rwater?", correct,
                                           givenMarks, expectedMarks, questionMarks);
}

core::TInformation Example() {
  core::TInformation information;
  std::strcpy(information.firstName, "Ann");
  std::strcpy(information.lastName, "Lee");
  std::strcpy(information.course, "Biology");
  std::strcpy(information.period, "3");
  std::strcpy(information.instructor, "Smith");
  std::strcpy(information.testFile, "/t/water.tst");
  information.year = 1997;
  information.month = 3;
  information.day = 7;
  information.correctCount = 8;
  information.questionCount = 10;
  return information;
}

TEST(ResultsCodec, HeaderByteForByte) {
  core::TInformation information = Example();
  const std::vector<uint8_t> bytes = core::EncodeResults(information);
  ASSERT_EQ(bytes.size(), 199u);
  ExpectField(bytes, 0, 21, "Ann");
  ExpectField(bytes, 21, 21, "Lee");
  ExpectField(bytes, 42, 21, "Biology");
  ExpectField(bytes, 63, 6, "3");
  ExpectField(bytes, 69, 26, "Smith");
  ExpectField(bytes, 95, 80, "/t/water.tst");
  const int32_t integers[] = {1997, 3, 7, 8, 10, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(IntAt(bytes, 175 + 4 * i), integers[i]) << "integer " << i;
}

TEST(ResultsCodec, ResponseRecordByteForByte) {
  core::TInformation information = Example();
  information.responses.Add(MakeResponse(5, "H2O", "H2O", 1));
  const std::vector<uint8_t> bytes = core::EncodeResults(information);
  ASSERT_EQ(bytes.size(), 199u + 3018u);
  EXPECT_EQ(IntAt(bytes, 195), 1);
  const std::size_t r = 199;
  EXPECT_EQ(IntAt(bytes, r + 0), 5);
  EXPECT_EQ(IntAt(bytes, r + 4), 1);
  ExpectField(bytes, r + 8, 51, "H2O");
  ExpectField(bytes, r + 59, 51, "H2O");
  ExpectField(bytes, r + 110, 500, "What is\rwater?");
  EXPECT_EQ(IntAt(bytes, r + 610), 1);
  for (int k = 1; k < 499; ++k) ASSERT_EQ(IntAt(bytes, r + 610 + 4 * k), 0) << k;
  EXPECT_EQ(IntAt(bytes, r + 610 + 4 * 499), 2);
  // 51 pairs: given mark, expected mark.
  for (int k = 0; k < 51; ++k) {
    const int32_t given = k == 1 ? 2 : 0;
    const int32_t expected = k == 1 ? 2 : (k == 50 ? 1 : 0);
    EXPECT_EQ(IntAt(bytes, r + 2610 + 8 * k), given) << "given mark " << k;
    EXPECT_EQ(IntAt(bytes, r + 2614 + 8 * k), expected) << "expected mark " << k;
  }
}

TEST(ResultsCodec, SizeIsTheHeaderAndOneRecordPerResponse) {
  for (int count : {0, 1, 3, 10}) {
    core::TInformation information = Example();
    for (int i = 0; i < count; ++i) information.responses.Add(MakeResponse(i + 1, "a", "b", 0));
    EXPECT_EQ(core::EncodeResults(information).size(), 199u + 3018u * static_cast<unsigned>(count));
  }
}

TEST(ResultsCodec, ReadsBackFieldForField) {
  core::TInformation information = Example();
  information.responses.Add(MakeResponse(2, "paris", "Paris", 0));
  information.responses.Add(MakeResponse(1, "H2O", "H2O", 1));
  auto read = core::DecodeResults(core::EncodeResults(information));
  ASSERT_TRUE(read);
  EXPECT_STREQ(read->firstName, "Ann");
  EXPECT_STREQ(read->lastName, "Lee");
  EXPECT_STREQ(read->course, "Biology");
  EXPECT_STREQ(read->period, "3");
  EXPECT_STREQ(read->instructor, "Smith");
  EXPECT_STREQ(read->testFile, "/t/water.tst");
  EXPECT_EQ(read->year, 1997);
  EXPECT_EQ(read->month, 3);
  EXPECT_EQ(read->day, 7);
  EXPECT_EQ(read->correctCount, 8);
  EXPECT_EQ(read->questionCount, 10);
  ASSERT_EQ(read->responses.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    const core::TResponse& a = information.responses[i];
    const core::TResponse& b = read->responses[i];
    EXPECT_EQ(b.number, a.number);
    EXPECT_EQ(b.correct, a.correct);
    EXPECT_STREQ(b.given, a.given);
    EXPECT_STREQ(b.expected, a.expected);
    EXPECT_STREQ(b.questionText, a.questionText);
    EXPECT_EQ(0, std::memcmp(b.givenMarks, a.givenMarks, sizeof a.givenMarks));
    EXPECT_EQ(0, std::memcmp(b.expectedMarks, a.expectedMarks, sizeof a.expectedMarks));
    EXPECT_EQ(0, std::memcmp(b.questionMarks, a.questionMarks, sizeof a.questionMarks));
  }
  EXPECT_EQ(core::EncodeResults(*read), core::EncodeResults(information));
}

TEST(ResultsCodec, RefusesEveryTruncation) {
  core::TInformation information = Example();
  information.responses.Add(MakeResponse(1, "a", "a", 1));
  information.responses.Add(MakeResponse(2, "b", "b", 1));
  const std::vector<uint8_t> bytes = core::EncodeResults(information);
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    core::ResultsDecodeError error = core::ResultsDecodeError::None;
    EXPECT_FALSE(core::DecodeResults({bytes.data(), length}, &error)) << "length " << length;
    EXPECT_EQ(error, length < 199 ? core::ResultsDecodeError::TooShort : core::ResultsDecodeError::Damaged)
        << "length " << length;
  }
}

TEST(ResultsCodec, RefusesCountsThatDoNotDescribeTheFile) {
  core::TInformation information = Example();
  information.responses.Add(MakeResponse(1, "a", "a", 1));
  const std::vector<uint8_t> good = core::EncodeResults(information);
  for (int32_t count : {-1, 0, 2, 1000, 0x7FFFFFFF, int32_t(0x80000000)}) {
    std::vector<uint8_t> bytes = good;
    for (int i = 0; i < 4; ++i) bytes[195 + i] = static_cast<uint8_t>(uint32_t(count) >> (8 * i));
    core::ResultsDecodeError error = core::ResultsDecodeError::None;
    EXPECT_FALSE(core::DecodeResults(bytes, &error)) << "count " << count;
    EXPECT_EQ(error, core::ResultsDecodeError::Damaged) << "count " << count;
  }
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_FALSE(core::DecodeResults(longer));
}

TEST(ResultsCodec, FieldsWithoutTerminatorAreCutToTheirWidth) {
  std::vector<uint8_t> bytes(199 + 3018, 'A');
  for (int i = 175; i < 199; ++i) bytes[i] = 0;
  bytes[195] = 1;
  for (int i = 199; i < 207; ++i) bytes[i] = 0;
  auto read = core::DecodeResults(bytes);
  ASSERT_TRUE(read);
  EXPECT_EQ(std::string(read->firstName), std::string(20, 'A'));
  EXPECT_EQ(std::string(read->period), std::string(5, 'A'));
  EXPECT_EQ(std::string(read->testFile), std::string(79, 'A'));
  ASSERT_EQ(read->responses.Count(), 1);
  EXPECT_EQ(std::string(read->responses[0].given), std::string(50, 'A'));
  EXPECT_EQ(std::string(read->responses[0].questionText), std::string(499, 'A'));
  // Marks are taken as stored.
  EXPECT_EQ(read->responses[0].questionMarks[0], 0x41414141);
}

}  // namespace
}  // namespace core
