#include <gtest/gtest.h>

#include <cstring>

#include "core/records.h"
#include "core/search.h"

namespace {

core::TQuestion Question(const std::string& text) {
  core::TQuestion q;
  for (char c : text) q.text.emplace_back(static_cast<unsigned char>(c), 1);
  return q;
}

TEST(SearchMatch, EdgeCases) {
  struct Case {
    const char* text;
    const char* search;
    bool caseSensitive;
    bool found;
  };
  const std::vector<Case> cases = {
      {"", "A", false, false},                          // empty text never matches
      {"The cell wall", "CELL", false, true},           // folded search finds cell
      {"The Cell wall", "CELL", false, true},
      {"THE CELL WALL", "CELL", false, true},
      {"The Cell wall", "cell", true, false},           // case sensitive: only cell
      {"The cell wall", "cell", true, true},
      {"cell", "cells", false, false},                  // longer than the text
      {"mitochondria", "DRIA", false, true},            // at the very end
      {"first line\r\nsecond", "LINE SECOND", false, false},  // a break is no space
      {"first line\r\nsecond", "LINE\r\nSECOND", false, true},
      {"Straße", "STRAßE", false, true},                // only a..z fold
      {"straÃŸe", "STRAÃŸE", false, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(core::questionTextContains(Question(c.text), c.search, c.caseSensitive), c.found)
        << c.text << " / " << c.search;
  EXPECT_EQ(core::FoldToCapitals("cell wäll 1z"), "CELL WäLL 1Z");
}

TEST(Records, NewInformationCarriesTheLocalDate) {
  const core::TLocalDate march7{1997, 3, 7};
  core::FixTodayForTests(&march7);
  core::TInformation info;
  core::FixTodayForTests(nullptr);
  EXPECT_EQ(info.year, 1997);
  EXPECT_EQ(info.month, 3);
  EXPECT_EQ(info.day, 7);
  EXPECT_EQ(info.correctCount, 0);
  EXPECT_EQ(info.responses.Count(), 0);
  EXPECT_STREQ(info.firstName, "");
  core::TInformation now;
  EXPECT_GE(now.year, 2024);
}

TEST(Records, ResponseCopiesItsValuesAndCutsLongTexts) {
  int32_t given[51] = {0, 2}, expected[51] = {0, 2}, question[500] = {1};
  const std::string longText(600, 'q');
  core::TResponse r(5, "H2O", "H2O", longText.c_str(), 1, given, expected, question);
  EXPECT_EQ(r.number, 5);
  EXPECT_EQ(r.correct, 1);
  EXPECT_STREQ(r.given, "H2O");
  EXPECT_EQ(std::strlen(r.questionText), 499u);
  EXPECT_EQ(r.givenMarks[1], 2);
  EXPECT_EQ(r.questionMarks[0], 1);
}

TEST(Records, ListsOwnAndKeepOrder) {
  core::TList<core::TQuestion> list;
  list.Add(std::make_unique<core::TQuestion>(Question("a")));
  list.Add(std::make_unique<core::TQuestion>(Question("c")));
  list.Insert(1, std::make_unique<core::TQuestion>(Question("b")));
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[1].text[0].ch, 'b');
  auto detached = list.Detach(0);
  EXPECT_EQ(detached->text[0].ch, 'a');
  EXPECT_EQ(list.IndexOf(&list[1]), 1);
  EXPECT_EQ(list.IndexOf(detached.get()), -1);
  list.Clear();
  EXPECT_TRUE(list.IsEmpty());
}

}  // namespace
