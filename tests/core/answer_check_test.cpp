#include "core/answer_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace core {
namespace {

struct Answer {
  char text[51] = {};
  int32_t marks[51] = {};
  Answer(const char* t, std::initializer_list<std::pair<int, int32_t>> marked = {}) {
    std::strncpy(text, t, 50);
    for (auto [index, mark] : marked) marks[index] = mark;
  }
};

TEST(AnswerCheck, ParisIsJudgedByEveryByte) {
  const Answer expected("Paris");
  const struct {
    const char* given;
    bool correct;
  } cases[] = {
      {"Paris", true},   {"paris", false},  {"PARIS", false}, {"Paris ", false},
      {" Paris", false}, {"Par is", false}, {"Pari", false},  {"", false},
      {"Parisx", false},
  };
  for (const auto& c : cases) {
    Answer given(c.given);
    EXPECT_EQ(AnswerIsCorrect(given.text, given.marks, expected.text, expected.marks), c.correct)
        << "'" << c.given << "'";
  }
}

TEST(AnswerCheck, H2OWithTheSubscriptTwo) {
  const Answer expected("H2O", {{1, 2}});
  const struct {
    int32_t markOfTwo;
    bool correct;
  } cases[] = {{2, true}, {0, false}, {1, false}};
  for (const auto& c : cases) {
    Answer given("H2O", {{1, c.markOfTwo}});
    EXPECT_EQ(AnswerIsCorrect(given.text, given.marks, expected.text, expected.marks), c.correct)
        << "mark " << c.markOfTwo;
  }
}

TEST(AnswerCheck, MarksPastTheEndOfTheTextCountToo) {
  const Answer expected("X");
  for (int position : {1, 2, 49, 50}) {
    Answer given("X", {{position, 1}});
    EXPECT_FALSE(AnswerIsCorrect(given.text, given.marks, expected.text, expected.marks))
        << "mark at " << position;
  }
}

TEST(AnswerCheck, AFullAnswerOfFiftyCharactersWithoutTerminatorIsReadNoFurther) {
  // Both buffers hold 51 characters and no terminator: the check stops at 51 bytes.
  struct Padded {
    char text[51];
    char guard[8];
  } given{}, expected{};
  std::memset(given.text, 'a', sizeof given.text);
  std::memset(expected.text, 'a', sizeof expected.text);
  std::memcpy(given.guard, "given!!", 8);
  std::memcpy(expected.guard, "expect!", 8);
  int32_t marks[51] = {};
  EXPECT_TRUE(AnswerIsCorrect(given.text, marks, expected.text, marks));
}

}  // namespace
}  // namespace core
