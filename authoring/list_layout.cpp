#include "authoring/list_layout.h"

#include <algorithm>

namespace quizloom {

namespace {
constexpr int kPictureAdvance = 200;
}  // namespace

int LineBreaks(const core::TQuestion& question) {
  return static_cast<int>(std::count_if(question.text.begin(), question.text.end(),
                                        [](const core::TLetter& letter) { return letter.ch == '\r'; }));
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
