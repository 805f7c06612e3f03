#include "authoring/list_layout.h"

#include <algorithm>

namespace quizloom {

namespace {
constexpr int kPictureAdvance = 200;
}  // namespace

int QuestionHeight(const core::TQuestion& question, int lineHeight, bool pictureLoads) {
  const auto breaks = std::count_if(question.text.begin(), question.text.end(),
                                    [](const core::TLetter& letter) { return letter.ch == '\r'; });
  int height = (static_cast<int>(breaks) + 1) * lineHeight;
  if (question.picture[0] != '\0')
    height += pictureLoads ? kPictureAdvance : lineHeight + kPictureAdvance;
  else
    height += lineHeight;
  return height + 2 * lineHeight;
}

}  // namespace quizloom
