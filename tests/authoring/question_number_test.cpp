#include <gtest/gtest.h>

#include <string>

#include "authoring/question_number.h"

namespace quizloom {
namespace {

TEST(QuestionNumber, ReadsLeadingDigitsAfterWhiteSpaceAndASign) {
  struct Case {
    std::string text;
    int64_t number;
  } cases[] = {
      {"3", 3},          {"3x", 3},        {"12", 12},        {"  7", 7},
      {"\t\n 8", 8},     {"+4", 4},        {"-1", -1},        {"-0", 0},
      {"0", 0},          {"", 0},          {"abc", 0},        {"x3", 0},
      {"+", 0},          {"- 5", 0},       {"1 2", 1},        {"007", 7},
      {"2147483648", 2147483648},          {"9999999999", 9999999999},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseQuestionNumber(c.text), c.number) << c.text;
}

TEST(QuestionNumber, HugeNumbersStayFarOutOfRangeInsteadOfOverflowing) {
  const int64_t huge = ParseQuestionNumber(std::string(400, '9'));
  EXPECT_GT(huge, int64_t(1) << 31);
  EXPECT_LT(ParseQuestionNumber("-" + std::string(400, '9')), -(int64_t(1) << 31));
  EXPECT_EQ(ParseQuestionNumber(std::string(400, '9')), ParseQuestionNumber(std::string(401, '9')));
}

}  // namespace
}  // namespace quizloom
