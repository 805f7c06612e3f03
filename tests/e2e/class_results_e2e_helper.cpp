// The class results end-to-end test's helper: the test the class took and the results file
// each student's stick holds, written by the programs' own codecs.
//   class_results_e2e_helper test TEST_PATH
//   class_results_e2e_helper results RESULTS_PATH TEST_PATH FIRST LAST ANSWER1 ANSWER2 ANSWER3
// The test asks for H2O (the 2 lowered), Na+ (the + raised) and cell; an answer given as
// H2O or Na+ carries the same marks.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/results_codec.h"
#include "core/test_file_codec.h"

namespace {

struct Question {
  const char* text;
  const char* answer;
  int markedLetter;  // -1: none
  int32_t mark;
};
const Question kQuestions[] = {{"What is water?", "H2O", 1, core::kSubscript},
                               {"Which ion is in salt besides Cl-?", "Na+", 2, core::kSuperscript},
                               {"What do living things consist of?", "cell", -1, core::kNormal}};

bool WriteBytes(const char* path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

core::TLetters Letters(const char* text, int markedLetter, int32_t mark) {
  core::TLetters letters;
  for (int i = 0; text[i]; ++i)
    letters.emplace_back(static_cast<unsigned char>(text[i]), i == markedLetter ? mark : 0);
  return letters;
}

int Test(const char* path) {
  core::TList<core::TQuestion> questions;
  for (const Question& q : kQuestions) {
    auto question = std::make_unique<core::TQuestion>();
    question->text = Letters(q.text, -1, 0);
    question->answer = Letters(q.answer, q.markedLetter, q.mark);
    questions.Add(std::move(question));
  }
  return WriteBytes(path, core::EncodeTestFile(questions)) ? 0 : 1;
}

int Results(char** argv) {
  core::TInformation info;
  core::CopyField(info.firstName, sizeof info.firstName, argv[4]);
  core::CopyField(info.lastName, sizeof info.lastName, argv[5]);
  core::CopyField(info.course, sizeof info.course, "Chemistry");
  core::CopyField(info.period, sizeof info.period, "3");
  core::CopyField(info.testFile, sizeof info.testFile, argv[3]);
  info.questionCount = 3;
  for (int n = 0; n < 3; ++n) {
    const Question& q = kQuestions[n];
    int32_t questionMarks[500] = {}, givenMarks[51] = {}, expectedMarks[51] = {};
    const bool right = std::strcmp(argv[6 + n], q.answer) == 0;
    if (q.markedLetter >= 0) {
      expectedMarks[q.markedLetter] = q.mark;
      if (right) givenMarks[q.markedLetter] = q.mark;
    }
    info.correctCount += right;
    info.responses.Add(std::make_unique<core::TResponse>(n + 1, argv[6 + n], q.answer, q.text,
                                                         right, givenMarks, expectedMarks,
                                                         questionMarks));
  }
  return WriteBytes(argv[2], core::EncodeResults(info)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "test") == 0) return Test(argv[2]);
  if (argc == 9 && std::strcmp(argv[1], "results") == 0) return Results(argv);
  std::fprintf(stderr, "usage: see the top of class_results_e2e_helper.cpp\n");
  return 2;
}
