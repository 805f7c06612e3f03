#include "samples/sample_test.h"

#include <cstring>
#include <memory>

#include "editor/formatted_text.h"

namespace samples {

namespace {

struct Written {
  const char* question;
  const char* answer;
  const char* picture;
};

const Written kQuestions[] = {
    {"Chemistry: what is the chemical formula of water?", "H_2O", ""},
    {"Chemistry: plants take in one gas from the air and give out oxygen (O_2). Write the "
     "formula of the gas they take in.",
     "CO_2", ""},
    {"Chemistry: write the calcium ion with its charge.", "Ca^2^+", ""},
    {"Chemistry: balance the equation by giving the missing number.|"
     "? H_2 + O_2 -> 2 H_2O",
     "2", ""},
    {"Mathematics: write x times x as a power of x.", "x^2", ""},
    {"Mathematics: what is the value of 3^2 + 4^2?", "25", ""},
    {"Mathematics: a square has sides of 5 cm. What is its area? Give the unit too.", "25 cm^2",
     ""},
    {"Biology: the picture shows a plant cell. What are the small green parts called that "
     "make food from light?",
     "chloroplasts", kPictureName},
    {"Physics: light travels about 3 x 10^8 metres in one second. How many metres is that in "
     "two seconds? Answer in the same way.",
     "6 x 10^8", ""},
    {"Geography: what is the capital city of France?", "Paris", ""},
    {"Geography: which is the longest river in Africa?", "Nile", ""},
    {"History: in which year did people first walk on the Moon?", "1969", ""},
};

}  // namespace

core::TLetters Formatted(const char* written) {
  core::TLetters letters;
  int32_t mark = core::kNormal;
  for (const char* c = written; *c; ++c) {
    if (*c == '^' || *c == '_') {
      mark = *c == '^' ? core::kSuperscript : core::kSubscript;
      continue;
    }
    letters.emplace_back(static_cast<unsigned char>(*c == '|' ? '\r' : *c), mark);
    mark = core::kNormal;
  }
  return letters;
}

void BuildSampleTest(core::TList<core::TQuestion>& questions) {
  questions.Clear();
  for (const Written& written : kQuestions) {
    auto question = std::make_unique<core::TQuestion>();
    // Wrapped as the editor would have wrapped it while the teacher typed.
    char text[editor::kQuestionSize] = {};
    int32_t marks[editor::kQuestionSize] = {};
    const core::TLetters plain = Formatted(written.question);
    for (std::size_t i = 0; i < plain.size() && i + 1 < sizeof text; ++i) {
      text[i] = static_cast<char>(plain[i].ch);
      marks[i] = plain[i].mark;
    }
    int32_t caret = 0;
    editor::WrapText(text, marks, caret, editor::kWrapWidth, editor::kQuestionSize);
    for (int i = 0; text[i] != '\0'; ++i)
      question->text.emplace_back(static_cast<unsigned char>(text[i]), marks[i]);
    question->answer = Formatted(written.answer);
    std::strncpy(question->picture, written.picture, sizeof question->picture - 1);
    questions.Add(std::move(question));
  }
}

}  // namespace samples
