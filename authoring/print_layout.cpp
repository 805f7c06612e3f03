#include "authoring/print_layout.h"

#include "editor/formatted_text.h"

namespace quizloom {

int QuestionCost(const core::TQuestion& question, bool answerKey) {
  const int lines = editor::CountTextLines(question);
  const int cost = question.picture[0] != '\0' ? lines + 16 : lines + 3;
  return answerKey ? cost + 1 : cost;
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
