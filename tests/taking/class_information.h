#pragma once
#include "core/records.h"

namespace quizdesk {

// Ann Lee of Biology, period 3, with Smith: 8 of 10 right in the test at testFile, on
// 7 March 1997; no responses yet.
inline void FillAnnLee(core::TInformation& information, const char* testFile) {
  core::CopyField(information.firstName, 21, "Ann");
  core::CopyField(information.lastName, 21, "Lee");
  core::CopyField(information.course, 21, "Biology");
  core::CopyField(information.period, 6, "3");
  core::CopyField(information.instructor, 26, "Smith");
  core::CopyField(information.testFile, 80, testFile);
  information.year = 1997;
  information.month = 3;
  information.day = 7;
  information.correctCount = 8;
  information.questionCount = 10;
}

}  // namespace quizdesk
