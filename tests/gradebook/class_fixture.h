#pragma once
#include <cstring>
#include <memory>
#include <vector>

#include "core/records.h"

namespace gradebook {

// An attempt at a two-question test of Chemistry: question 1 "Water is H2O" (the 2 lowered,
// a wrap break and a hard break after it) expects H2O with the 2 lowered, question 2 "x2"
// (the 2 raised) expects 4. A given H2O is given with its 2 lowered.
inline std::unique_ptr<core::TInformation> Attempt(const char* last, const char* first, int correct,
                                            const std::vector<const char*>& given) {
  auto info = std::make_unique<core::TInformation>();
  core::CopyField(info->lastName, sizeof info->lastName, last);
  core::CopyField(info->firstName, sizeof info->firstName, first);
  core::CopyField(info->course, sizeof info->course, "Chemistry, \"B\"");
  core::CopyField(info->period, sizeof info->period, "3");
  core::CopyField(info->instructor, sizeof info->instructor, "Smith");
  core::CopyField(info->testFile, sizeof info->testFile, "C:\\TESTS\\WATER.TST");
  info->year = 2026, info->month = 3, info->day = 7;
  info->correctCount = correct;
  info->questionCount = static_cast<int32_t>(given.size());
  const char* texts[] = {"Water is H2O\r\nand\rice", "x2"};
  const char* expected[] = {"H2O", "4"};
  for (int n = 0; n < static_cast<int>(given.size()); ++n) {
    int32_t marks[500] = {}, givenMarks[51] = {}, expectedMarks[51] = {};
    marks[n == 0 ? 10 : 1] = n == 0 ? 2 : 1;
    if (n == 0) expectedMarks[1] = 2;
    const bool right = std::strcmp(given[n], expected[n]) == 0;
    if (right && n == 0) givenMarks[1] = 2;
    info->responses.Add(std::make_unique<core::TResponse>(
        n + 1, given[n], expected[n], texts[n], right, givenMarks, expectedMarks, marks));
  }
  return info;
}

}  // namespace gradebook
