#pragma once
#include <algorithm>
#include <memory>
#include <string>

#include "core/records.h"

namespace bench {

// Two wrapped lines with a lowered and a raised character, as a real question has, and the
// answer CO2 with its 2 lowered; an empty picture name means none.
inline std::unique_ptr<core::TQuestion> Question(int number, const std::string& picture = {}) {
  auto question = std::make_unique<core::TQuestion>();
  std::copy(picture.begin(), picture.end(), question->picture);
  const std::string first = "Question " + std::to_string(number) +
                            ": what is the formula of the gas that plants take in from the";
  const std::string second = "air, CO2, and how many atoms of oxygen does x2 hold?";
  for (char c : first) question->text.emplace_back(static_cast<unsigned char>(c), 0);
  question->text.emplace_back('\r', 0);
  question->text.emplace_back('\n', 0);
  for (char c : second) question->text.emplace_back(static_cast<unsigned char>(c), 0);
  question->text[question->text.size() - 19].mark = 2;
  question->text[question->text.size() - 7].mark = 1;
  for (char c : std::string("CO2")) question->answer.emplace_back(static_cast<unsigned char>(c), 0);
  question->answer[2].mark = 2;
  return question;
}

}  // namespace bench
