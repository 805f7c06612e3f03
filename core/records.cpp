#include "core/records.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace core {

namespace {
const TLocalDate* g_fixedToday = nullptr;

void CopyText(char* field, int size, const char* text) {
  std::memset(field, 0, static_cast<std::size_t>(size));
  if (text) std::memcpy(field, text, strnlen(text, static_cast<std::size_t>(size - 1)));
}
}  // namespace

TResponse::TResponse(int32_t number, const char* given, const char* expected,
                     const char* questionText, int32_t correct, const int32_t* givenMarks,
                     const int32_t* expectedMarks, const int32_t* questionMarks)
    : number(number), correct(correct) {
  CopyText(this->given, sizeof this->given, given);
  CopyText(this->expected, sizeof this->expected, expected);
  CopyText(this->questionText, sizeof this->questionText, questionText);
  std::memcpy(this->givenMarks, givenMarks, sizeof this->givenMarks);
  std::memcpy(this->expectedMarks, expectedMarks, sizeof this->expectedMarks);
  std::memcpy(this->questionMarks, questionMarks, sizeof this->questionMarks);
}

TLocalDate Today() {
  if (g_fixedToday) return *g_fixedToday;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void FixTodayForTests(const TLocalDate* date) { g_fixedToday = date; }

TInformation::TInformation() {
  TLocalDate today = Today();
  year = today.year;
  month = today.month;
  day = today.day;
}

void CopyField(char* field, int size, std::string_view text) {
  std::memset(field, 0, static_cast<std::size_t>(size));
  std::memcpy(field, text.data(), std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1)));
}

}  // namespace core
