#include "taking/random_order.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quizdesk {
namespace {

TEST(RandomGenerator, GivesTheOldLibrarysValuesForASeed) {
  TRandomGenerator generator(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (int value : expected) EXPECT_EQ(generator.Next(), value);
  generator.Seed(1);
  EXPECT_EQ(generator.Next(), 41);
}

TEST(ChooseUnasked, DrawsUntilItHitsAQuestionNotYetAsked) {
  // Seed 1 draws 41, 18467, 6334, ...: mod 3 that is 2, 2, 1, 1, 2, 1, 0.
  TRandomGenerator generator(1);
  std::vector<bool> asked(3, false);
  std::vector<int> order;
  for (int i = 0; i < 3; ++i) {
    int k = ChooseUnasked(generator, asked);
    ASSERT_GE(k, 0);
    order.push_back(k);
    asked[static_cast<std::size_t>(k)] = true;
  }
  EXPECT_EQ(order, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(ChooseUnasked(generator, asked), -1);
}

TEST(ChooseUnasked, EveryQuestionOnceForManySeedsAndSizes) {
  for (int size : {1, 2, 5, 17, 100}) {
    for (uint32_t seed : {0u, 1u, 12345u, 0xFFFFFFFFu}) {
      TRandomGenerator generator(seed);
      std::vector<bool> asked(static_cast<std::size_t>(size), false);
      for (int i = 0; i < size; ++i) {
        int k = ChooseUnasked(generator, asked);
        ASSERT_GE(k, 0);
        ASSERT_FALSE(asked[static_cast<std::size_t>(k)]) << "asked twice: " << k;
        asked[static_cast<std::size_t>(k)] = true;
      }
      EXPECT_TRUE(std::all_of(asked.begin(), asked.end(), [](bool b) { return b; }));
    }
  }
}

TEST(ChooseUnasked, QuestionsBeyondTheGeneratorsRangeAreStillReached) {
  // r mod 40000 never reaches an index above 32767: the bounded draw ends in the one left.
  TRandomGenerator generator(7);
  std::vector<bool> asked(40000, true);
  asked[39999] = false;
  EXPECT_EQ(ChooseUnasked(generator, asked), 39999);
}

TEST(ChooseUnasked, AnEmptyTestHasNothingToChoose) {
  TRandomGenerator generator(1);
  EXPECT_EQ(ChooseUnasked(generator, {}), -1);
}

}  // namespace
}  // namespace quizdesk
