#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/records.h"
#include "gradebook/class_data.h"
#include "gradebook/statistics.h"

namespace gradebook {

// Text for a spreadsheet: UTF-8 from the stored Windows-1252 bytes.
std::string TextToUtf8(std::string_view cp1252);
// Letters as UTF-8: a raised or lowered letter becomes Unicode's superscript or subscript
// character where there is one, else "^x" or "_x". A wrap break (CR LF) becomes the space it
// stood for, a hard break (CR) a line feed.
std::string LettersToUtf8(const core::TLetters& letters);
// A wrong answer as the tables show it: "(empty)" for no answer.
std::string AnswerToUtf8(const core::TLetters& letters);

// One record of RFC 4180: fields quoted where they hold a comma, a quote or a line break,
// quotes doubled, ended by CR LF.
std::string CsvRecord(const std::vector<std::string>& fields);

// One row per attempt: names, course, period, instructor, ISO date, correct, questions,
// percent, then a 1/0 column per question. A header row comes first.
std::string StudentsCsv(const TClassData& data);
// One row per question: number, plain text, answer, facility, discrimination and the most
// common wrong answers with their counts.
std::string QuestionsCsv(const TClassData& data, const std::vector<TQuestionFigures>& figures);

}  // namespace gradebook
