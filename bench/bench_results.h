#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/records.h"
#include "core/results_codec.h"

namespace bench {

// The results file of student number student of a class: students differ by name
// ("Student12"), and each answers a few of the test's questions wrong.
inline std::vector<uint8_t> ResultsFile(int student, int answers) {
  const int32_t noMarks[500] = {};
  core::TInformation information;
  core::CopyField(information.firstName, 21, ("Student" + std::to_string(student)).c_str());
  core::CopyField(information.lastName, 21, "Lovelace");
  core::CopyField(information.course, 21, "Biology");
  core::CopyField(information.period, 6, "3");
  core::CopyField(information.instructor, 26, "Smith");
  core::CopyField(information.testFile, 80, "C:\\TESTS\\CELLS.TST");
  information.year = 1997, information.month = 3, information.day = 7;
  information.questionCount = answers;
  for (int number = 1; number <= answers; ++number) {
    const std::string question = "What is the name of part " + std::to_string(number) + "?";
    const std::string expected = "answer " + std::to_string(number);
    const bool right = (student + number) % 7 != 0;
    const std::string given = right ? expected : "wrong " + std::to_string(student % 5);
    information.correctCount += right;
    information.responses.Add(std::make_unique<core::TResponse>(
        number, given.c_str(), expected.c_str(), question.c_str(), right ? 1 : 0, noMarks,
        noMarks, noMarks));
  }
  return core::EncodeResults(information);
}

}  // namespace bench
