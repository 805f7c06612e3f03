#include "authoring/print_layout.h"

#include <algorithm>
#include <cstdint>

#include "editor/formatted_text.h"

namespace quizloom {

int QuestionCost(const core::TQuestion& question, bool answerKey) {
  const int lines = editor::CountTextLines(question);
  const int cost = question.picture[0] != '\0' ? lines + 16 : lines + 3;
  return answerKey ? cost + 1 : cost;
}

platform::TSize FitPicture(platform::TSize scaled, platform::TSize room) {
  if (scaled.cx <= 0 || scaled.cy <= 0) return {0, 0};
  const int64_t width = scaled.cx, height = scaled.cy;
  const int64_t roomWidth = std::max(room.cx, 0), roomHeight = std::max(room.cy, 0);
  if (width <= roomWidth && height <= roomHeight) return scaled;
  // The smaller of the two ratios, compared without rounding: roomWidth / width against
  // roomHeight / height.
  if (roomWidth * height <= roomHeight * width)
    return {static_cast<int>(roomWidth), static_cast<int>(height * roomWidth / width)};
  return {static_cast<int>(width * roomHeight / height), static_cast<int>(roomHeight)};
}

std::vector<core::TStart> Paginate(const core::TList<core::TQuestion>& questions, bool answerKey) {
  std::vector<core::TStart> pages;
  core::TStart open(0, 0);
  int sum = 0;
  int i = 0;
  while (i < questions.Count()) {
    const int cost = QuestionCost(questions[i], answerKey);
    // Every cost is at least 4, so an empty sum means an empty page.
    if (sum + cost < kPageBudget || sum == 0) {
      sum += cost;
      ++i;
    } else {
      open.last = i - 1;
      pages.push_back(open);
      open = core::TStart(i, i);
      sum = 0;
    }
  }
  open.last = questions.Count() - 1;
  pages.push_back(open);
  return pages;
}

}  // namespace quizloom
