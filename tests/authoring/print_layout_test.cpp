#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "authoring/print_layout.h"

namespace quizloom {
namespace {

// A question of so many text lines (hard breaks), with or without a picture.
struct Shape {
  int lines;
  bool picture;
};

core::TList<core::TQuestion> Questions(const std::vector<Shape>& shapes) {
  core::TList<core::TQuestion> list;
  for (const Shape& shape : shapes) {
    auto question = std::make_unique<core::TQuestion>();
    for (int line = 0; line < shape.lines; ++line) {
      if (line > 0) question->text.emplace_back('\r', 0);
      question->text.emplace_back('q', 0);
    }
    if (shape.picture) std::strcpy(question->picture, "cell.bmp");
    list.Add(std::move(question));
  }
  return list;
}

std::vector<Shape> Repeat(int count, Shape shape) { return std::vector<Shape>(count, shape); }

using Pages = std::vector<std::pair<int, int>>;

TEST(Pagination, PagesFollowTheBudget) {
  struct Case {
    const char* name;
    std::vector<Shape> shapes;
    bool answerKey;
    Pages pages;
  };
  std::vector<Shape> mixed = {{1, false}, {60, false}, {1, false}, {1, false}};
  const std::vector<Case> cases = {
      {"twelve one-line questions fill a page", Repeat(12, {1, false}), false, {{0, 11}}},
      {"the 13th starts page 2", Repeat(13, {1, false}), false, {{0, 11}, {12, 12}}},
      {"two per page with pictures", Repeat(5, {1, true}), false, {{0, 1}, {2, 3}, {4, 4}}},
      {"six lines with pictures, two per page", Repeat(4, {6, true}), false, {{0, 1}, {2, 3}}},
      {"a 60-line question alone on its page", mixed, false, {{0, 0}, {1, 1}, {2, 3}}},
      {"a 60-line question alone in the test", Repeat(1, {60, true}), false, {{0, 0}}},
      {"46 lines cost 49 and still take no other", {{46, false}, {1, false}}, false, {{0, 0}, {1, 1}}},
      {"33 lines with a picture cost 49", {{1, false}, {33, true}}, false, {{0, 0}, {1, 1}}},
      {"answer key: nine one-line questions a page", Repeat(13, {1, false}), true, {{0, 8}, {9, 12}}},
      {"answer key: two with pictures a page", Repeat(3, {1, true}), true, {{0, 1}, {2, 2}}},
      {"answer key: six lines with pictures cost 23", Repeat(3, {6, true}), true, {{0, 1}, {2, 2}}},
  };
  for (const Case& c : cases) {
    const core::TList<core::TQuestion> questions = Questions(c.shapes);
    Pages pages;
    for (const core::TStart& page : Paginate(questions, c.answerKey)) pages.emplace_back(page.first, page.last);
    EXPECT_EQ(pages, c.pages) << c.name;
  }
}

TEST(Pagination, QuestionCosts) {
  struct Case { Shape shape; bool answerKey; int cost; };
  for (const Case& c : std::vector<Case>{{{1, false}, false, 4}, {{1, true}, false, 17},
                                         {{6, true}, false, 22}, {{6, false}, true, 10},
                                         {{1, true}, true, 18}}) {
    const core::TList<core::TQuestion> questions = Questions({c.shape});
    EXPECT_EQ(QuestionCost(questions[0], c.answerKey), c.cost)
        << c.shape.lines << " lines, picture " << c.shape.picture << ", key " << c.answerKey;
  }
}

// A 640x480 bitmap at the sheet's scale is 8040 by 6120 dots; its room on A4 inside 10 mm
// margins is 8971 wide and 15 lines of 191 high.
TEST(Pagination, PictureThatWouldLeaveItsRoomIsReducedInProportion) {
  struct Case { platform::TSize scaled, room, printed; };
  for (const Case& c : std::vector<Case>{{{1000, 800}, {8971, 2865}, {1000, 800}},
                                         {{8971, 2865}, {8971, 2865}, {8971, 2865}},
                                         {{8040, 6120}, {8971, 2865}, {3763, 2865}},
                                         {{20000, 1000}, {8971, 2865}, {8971, 448}},
                                         {{30000, 15000}, {8971, 2865}, {5730, 2865}},
                                         {{0, 480}, {8971, 2865}, {0, 0}}}) {
    const platform::TSize printed = FitPicture(c.scaled, c.room);
    EXPECT_EQ(std::make_pair(printed.cx, printed.cy), std::make_pair(c.printed.cx, c.printed.cy))
        << c.scaled.cx << "x" << c.scaled.cy;
  }
}

}  // namespace
}  // namespace quizloom
