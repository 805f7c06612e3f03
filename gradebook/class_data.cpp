#include "gradebook/class_data.h"

#include <algorithm>
#include <cstring>

namespace gradebook {

core::TLetters FieldLetters(const char* text, std::size_t size, const int32_t* marks) {
  core::TLetters letters;
  const std::size_t length = strnlen(text, size);
  letters.reserve(length);
  for (std::size_t i = 0; i < length; ++i)
    letters.emplace_back(static_cast<unsigned char>(text[i]), marks[i]);
  return letters;
}

core::TLetters PlainLetters(std::string_view text) {
  core::TLetters letters;
  for (char c : text) letters.emplace_back(static_cast<unsigned char>(c), core::kNormal);
  return letters;
}

core::TLetters FirstLine(const core::TLetters& text) {
  core::TLetters line;
  for (const core::TLetter& letter : text) {
    if (letter.ch == '\r' || letter.ch == '\n') break;
    line.push_back(letter);
  }
  return line;
}

TClassData GatherClass(const std::vector<const core::TInformation*>& attempts,
                       int32_t questionCount) {
  TClassData data;
  data.questionCount = std::max(questionCount, 0);
  const std::size_t k = static_cast<std::size_t>(data.questionCount);
  data.attempts = attempts;
  data.questionTexts.resize(k);
  data.expectedAnswers.resize(k);
  data.accepted.resize(k);
  std::vector<bool> known(k, false);
  for (const core::TInformation* information : attempts) {
    TAttemptAnswers answers;
    answers.questionCount = information->questionCount;
    answers.right.assign(k, 0);
    answers.given.resize(k);
    for (int r = 0; r < information->responses.Count(); ++r) {
      const core::TResponse& response = information->responses[r];
      if (response.number < 1 || response.number > data.questionCount) continue;
      const std::size_t q = static_cast<std::size_t>(response.number - 1);
      answers.right[q] = response.correct != 0 ? 1 : 0;
      answers.given[q] = FieldLetters(response.given, sizeof response.given, response.givenMarks);
      if (!known[q]) {
        known[q] = true;
        data.questionTexts[q] = FieldLetters(response.questionText, sizeof response.questionText,
                                             response.questionMarks);
        data.expectedAnswers[q] =
            FieldLetters(response.expected, sizeof response.expected, response.expectedMarks);
      }
    }
    answers.correctCount =
        static_cast<int32_t>(std::count(answers.right.begin(), answers.right.end(), 1));
    data.rightAsTaken.push_back(answers.right);
    data.correctAsTaken.push_back(answers.correctCount);
    data.answers.push_back(std::move(answers));
  }
  return data;
}

}  // namespace gradebook
