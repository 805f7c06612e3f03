#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"
#include "gradebook/class_data.h"
#include "gradebook/statistics.h"

namespace gradebook {

// A wrong answer as the tables show it, in UTF-8: "(empty)" for no answer.
std::string AnswerToUtf8(const core::TLetters& letters);

// One record of RFC 4180: fields quoted where they hold a comma, a quote or a line break,
// quotes doubled, ended by CR LF.
std::string CsvRecord(const std::vector<std::string>& fields);

// A text a student or teacher typed, made safe for a spreadsheet: one that a spreadsheet would
// take for a formula gets a leading "'", which spreadsheets read as "this is text". That is a
// text beginning with "=", "@", a tab or a carriage return, or with "+" or "-" followed by
// anything but a plain number or plain words (letters, blanks, "'", "." and "-"): "-5" stays a
// number and "-Dee" a name, while "-2+3" or "+A1" are quoted.
std::string SpreadsheetText(std::string text);

// The UTF-8 byte-order mark each export begins with: without it some spreadsheets read the
// file in their own code page and show "Müller" as "MÃ¼ller".
inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// One row per attempt in the order given (indices into data.attempts): names, course, period,
// instructor, ISO date, correct as taken, correct regraded, questions, percent, then a 1/0
// column per question, regraded. A header row comes first.
std::string StudentsCsv(const TClassData& data, const std::vector<std::size_t>& order);
// One row per question: number, plain text, answer, what it also accepts, facility,
// discrimination and the most common wrong answers with their counts.
std::string QuestionsCsv(const TClassData& data, const std::vector<TQuestionFigures>& figures);

}  // namespace gradebook
