#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/list.h"

namespace core {

enum Mark : int32_t { kNormal = 0, kSuperscript = 1, kSubscript = 2 };

// One formatted character. A letter is a value: it is never changed, only replaced.
struct TLetter {
  unsigned char ch = 0;
  int32_t mark = kNormal;

  TLetter() = default;
  TLetter(unsigned char c, int32_t m) : ch(c), mark(m) {}
  bool operator==(const TLetter&) const = default;
};

using TLetters = std::vector<TLetter>;

struct TQuestion {
  char picture[80] = {};  // bitmap file name, no directory; empty = none
  TLetters text;          // line breaks are letters: CR hard, CR LF soft
  TLetters answer;
};

}  // namespace core

namespace core {

// One answered question of a test attempt. Built from all its values at once; a later check
// of the same question may overwrite given, givenMarks and correct.
struct TResponse {
  int32_t number = 0;   // the question's position in the test file, from 1
  int32_t correct = 0;  // 1 if given equals expected in characters and in all 51 marks
  char given[51] = {};
  char expected[51] = {};
  int32_t givenMarks[51] = {};
  int32_t expectedMarks[51] = {};
  int32_t questionMarks[500] = {};
  char questionText[500] = {};

  TResponse() = default;
  TResponse(int32_t number, const char* given, const char* expected, const char* questionText,
            int32_t correct, const int32_t* givenMarks, const int32_t* expectedMarks,
            const int32_t* questionMarks);
};

struct TLocalDate {
  int32_t year;
  int32_t month;  // 1 to 12
  int32_t day;
};

// The local date, from the calendar clock unless a test has fixed it.
TLocalDate Today();
void FixTodayForTests(const TLocalDate* date);  // nullptr goes back to the clock

// Class information and the results of one test attempt.
struct TInformation {
  char firstName[21] = {};
  char lastName[21] = {};
  char course[21] = {};
  char period[6] = {};
  char instructor[26] = {};
  char testFile[80] = {};
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
  TList<TResponse> responses;  // in answering order
  int32_t correctCount = 0;
  int32_t questionCount = 0;

  // The date is taken from the local clock at construction.
  TInformation();
};

// One printed page's range of items, last inclusive.
struct TStart {
  int32_t first = 0;
  int32_t last = 0;
  TStart(int32_t f, int32_t l) : first(f), last(l) {}
};

struct TLine {
  TLetters letters;
};

struct TThePrintout {
  std::vector<TLine> lines;
};

// Copies text into a fixed field of size bytes, cut to size - 1 characters and terminated.
void CopyField(char* field, int size, std::string_view text);

}  // namespace core
