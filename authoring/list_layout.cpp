#include "authoring/list_layout.h"

#include <algorithm>
#include <string>

namespace quizloom {

namespace {
constexpr int kPictureAdvance = 200;
}  // namespace

int LineBreaks(const core::TQuestion& question) {
  return static_cast<int>(std::count_if(question.text.begin(), question.text.end(),
                                        [](const core::TLetter& letter) { return letter.ch == '\r'; }));
}

int WidestLine(const core::TQuestion& question, int number) {
  int widest = 0;
  int line = static_cast<int>(std::to_string(number).size()) + 2;
  for (const core::TLetter& letter : question.text) {
    if (letter.ch == '\r') {
      widest = std::max(widest, line);
      line = 0;
    } else if (letter.ch != '\n') {
      ++line;
    }
  }
  return std::max({widest, line, 9 + static_cast<int>(question.answer.size())});
}

int QuestionHeight(int lineBreaks, bool hasPicture, bool pictureLoads, int lineHeight) {
  int height = (lineBreaks + 1) * lineHeight;
  if (hasPicture)
    height += pictureLoads ? kPictureAdvance : lineHeight + kPictureAdvance;
  else
    height += lineHeight;
  return height + 2 * lineHeight;
}

int QuestionHeight(const core::TQuestion& question, int lineHeight, bool pictureLoads) {
  return QuestionHeight(LineBreaks(question), question.picture[0] != '\0', pictureLoads,
                        lineHeight);
}

}  // namespace quizloom
