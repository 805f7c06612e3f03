#include "gradebook/csv_export.h"

#include <cstdio>

#include "core/mark_forms.h"
#include "platform/code_page.h"

namespace gradebook {

namespace {

std::string Number(long long value) { return std::to_string(value); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with at most one decimal point and an exponent: what a spreadsheet reads as a number.
bool IsPlainNumber(std::string_view text) {
  std::size_t i = 0, digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.')
    for (++i; i < text.size() && IsDigit(text[i]);) ++i, ++digits;
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t exponent = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == exponent) return false;
  }
  return i == text.size();
}

// Letters (any beyond ASCII too), blanks, apostrophes, periods and hyphens: nothing a
// formula could compute with.
bool IsPlainWords(std::string_view text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const bool letter = (byte | 0x20) >= 'a' && (byte | 0x20) <= 'z';
    if (!letter && byte < 0x80 && c != ' ' && c != '\'' && c != '.' && c != '-') return false;
  }
  return true;
}

}  // namespace

std::string AnswerToUtf8(const core::TLetters& letters) {
  return letters.empty() ? "(empty)" : core::LettersToUtf8(letters);
}

std::string CsvRecord(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& field = fields[i];
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
      out += field;
      continue;
    }
    out += '"';
    for (char c : field) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    out += '"';
  }
  return out + "\r\n";
}

std::string SpreadsheetText(std::string text) {
  if (text.empty()) return text;
  const char first = text.front();
  const std::string_view rest = std::string_view(text).substr(1);
  const bool formula = first == '=' || first == '@' || first == '\t' || first == '\r' ||
                       ((first == '+' || first == '-') && !IsPlainNumber(rest) &&
                        !IsPlainWords(rest));
  return formula ? "'" + text : text;
}

std::string StudentsCsv(const TClassData& data, const std::vector<std::size_t>& order) {
  // The count as taken beside the count regraded with the accepted answers; the percent and
  // the verdicts are the regraded ones.
  std::vector<std::string> header = {"Last name", "First name", "Course",  "Period",
                                     "Instructor", "Date",      "Correct as taken",
                                     "Correct",   "Questions", "Percent"};
  for (int32_t q = 1; q <= data.questionCount; ++q) header.push_back("Q" + Number(q));
  std::string out = kUtf8Mark + CsvRecord(header);
  for (std::size_t a : order) {
    const core::TInformation& info = *data.attempts[a];
    const TAttemptAnswers& score = data.answers[a];
    char date[32];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", info.year, info.month, info.day);
    const std::optional<int32_t> percent = Percent(score.correctCount, score.questionCount);
    const auto text = [](const char* field, std::size_t size) {
      return SpreadsheetText(platform::Cp1252ToUtf8(FieldText(field, size)));
    };
    std::vector<std::string> row = {text(info.lastName, sizeof info.lastName),
                                    text(info.firstName, sizeof info.firstName),
                                    text(info.course, sizeof info.course),
                                    text(info.period, sizeof info.period),
                                    text(info.instructor, sizeof info.instructor),
                                    date,
                                    Number(data.correctAsTaken[a]),
                                    Number(score.correctCount),
                                    Number(score.questionCount),
                                    percent ? Number(*percent) : "-"};
    for (uint8_t right : data.answers[a].right) row.push_back(right ? "1" : "0");
    out += CsvRecord(row);
  }
  return out;
}

std::string QuestionsCsv(const TClassData& data, const std::vector<TQuestionFigures>& figures) {
  std::vector<std::string> header = {"Number",   "Question", "Answer", "Also accepted",
                                     "Facility", "Discrimination"};
  for (int i = 1; i <= kWrongAnswersShown; ++i) {
    header.push_back("Wrong answer " + Number(i));
    header.push_back("Count " + Number(i));
  }
  std::string out = kUtf8Mark + CsvRecord(header);
  for (const TQuestionFigures& question : figures) {
    const std::size_t q = static_cast<std::size_t>(question.number - 1);
    std::vector<std::string> row = {Number(question.number),
                                    SpreadsheetText(core::LettersToUtf8(data.questionTexts[q])),
                                    SpreadsheetText(core::LettersToUtf8(data.expectedAnswers[q])),
                                    SpreadsheetText(
                                        core::LettersToUtf8(AcceptedLetters(data.accepted[q]))),
                                    FormatFigure(question.facility, 1),
                                    FormatFigure(question.discrimination, 2)};
    for (std::size_t i = 0; i < static_cast<std::size_t>(kWrongAnswersShown); ++i) {
      const bool shown = i < question.wrongAnswers.size();
      row.push_back(shown ? SpreadsheetText(AnswerToUtf8(question.wrongAnswers[i].answer)) : "");
      row.push_back(shown ? Number(question.wrongAnswers[i].count) : "");
    }
    out += CsvRecord(row);
  }
  return out;
}

}  // namespace gradebook
