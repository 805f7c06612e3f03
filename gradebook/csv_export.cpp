#include "gradebook/csv_export.h"

#include <cstdio>
#include <utility>

#include "platform/code_page.h"

namespace gradebook {

namespace {

// Unicode's raised and lowered forms of the letters that have one.
constexpr std::pair<char, char32_t> kRaised[] = {
    {'0', 0x2070}, {'1', 0x00B9}, {'2', 0x00B2}, {'3', 0x00B3}, {'4', 0x2074}, {'5', 0x2075},
    {'6', 0x2076}, {'7', 0x2077}, {'8', 0x2078}, {'9', 0x2079}, {'+', 0x207A}, {'-', 0x207B},
    {'=', 0x207C}, {'(', 0x207D}, {')', 0x207E}, {'a', 0x1D43}, {'b', 0x1D47}, {'c', 0x1D9C},
    {'d', 0x1D48}, {'e', 0x1D49}, {'f', 0x1DA0}, {'g', 0x1D4D}, {'h', 0x02B0}, {'i', 0x2071},
    {'j', 0x02B2}, {'k', 0x1D4F}, {'l', 0x02E1}, {'m', 0x1D50}, {'n', 0x207F}, {'o', 0x1D52},
    {'p', 0x1D56}, {'r', 0x02B3}, {'s', 0x02E2}, {'t', 0x1D57}, {'u', 0x1D58}, {'v', 0x1D5B},
    {'w', 0x02B7}, {'x', 0x02E3}, {'y', 0x02B8}, {'z', 0x1DBB}, {'A', 0x1D2C}, {'B', 0x1D2E},
    {'D', 0x1D30}, {'E', 0x1D31}, {'G', 0x1D33}, {'H', 0x1D34}, {'I', 0x1D35}, {'J', 0x1D36},
    {'K', 0x1D37}, {'L', 0x1D38}, {'M', 0x1D39}, {'N', 0x1D3A}, {'O', 0x1D3C}, {'P', 0x1D3E},
    {'R', 0x1D3F}, {'T', 0x1D40}, {'U', 0x1D41}, {'V', 0x2C7D}, {'W', 0x1D42}};
constexpr std::pair<char, char32_t> kLowered[] = {
    {'0', 0x2080}, {'1', 0x2081}, {'2', 0x2082}, {'3', 0x2083}, {'4', 0x2084}, {'5', 0x2085},
    {'6', 0x2086}, {'7', 0x2087}, {'8', 0x2088}, {'9', 0x2089}, {'+', 0x208A}, {'-', 0x208B},
    {'=', 0x208C}, {'(', 0x208D}, {')', 0x208E}, {'a', 0x2090}, {'e', 0x2091}, {'o', 0x2092},
    {'x', 0x2093}, {'h', 0x2095}, {'k', 0x2096}, {'l', 0x2097}, {'m', 0x2098}, {'n', 0x2099},
    {'p', 0x209A}, {'s', 0x209B}, {'t', 0x209C}, {'i', 0x1D62}, {'r', 0x1D63}, {'u', 0x1D64},
    {'v', 0x1D65}, {'j', 0x2C7C}};

template <std::size_t N>
char32_t Find(const std::pair<char, char32_t> (&table)[N], unsigned char letter) {
  for (const auto& [plain, form] : table)
    if (static_cast<unsigned char>(plain) == letter) return form;
  return 0;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The five bytes that have no character in Windows-1252 become the replacement character.
void AppendByte(std::string& out, unsigned char byte) {
  AppendUtf8(out, platform::Cp1252ToCodePoint(byte).value_or(0xFFFD));
}

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

std::string TextToUtf8(std::string_view cp1252) {
  std::string out;
  for (char c : cp1252) AppendByte(out, static_cast<unsigned char>(c));
  return out;
}

std::string LettersToUtf8(const core::TLetters& letters) {
  std::string out;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const core::TLetter& letter = letters[i];
    if (letter.ch == '\r') {
      const bool wrapped = i + 1 < letters.size() && letters[i + 1].ch == '\n';
      out += wrapped ? ' ' : '\n';
      if (wrapped) ++i;
      continue;
    }
    if (letter.mark == core::kSuperscript || letter.mark == core::kSubscript) {
      const bool up = letter.mark == core::kSuperscript;
      if (char32_t form = up ? Find(kRaised, letter.ch) : Find(kLowered, letter.ch)) {
        AppendUtf8(out, form);
        continue;
      }
      out += up ? '^' : '_';
    }
    AppendByte(out, letter.ch);
  }
  return out;
}

std::string AnswerToUtf8(const core::TLetters& letters) {
  return letters.empty() ? "(empty)" : LettersToUtf8(letters);
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
      return SpreadsheetText(TextToUtf8(FieldText(field, size)));
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
                                    SpreadsheetText(LettersToUtf8(data.questionTexts[q])),
                                    SpreadsheetText(LettersToUtf8(data.expectedAnswers[q])),
                                    SpreadsheetText(LettersToUtf8(AcceptedLetters(data.accepted[q]))),
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
