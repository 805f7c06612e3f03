#pragma once
#include <optional>
#include <string>

#include "core/open_test.h"
#include "core/records.h"

namespace gradebook {

// The bytes that make two tests, or two attempts, the same. Texts count up to their end byte
// with the marks of their letters; picture names are not in results files and do not count.

// The questions and expected answers of the attempt's responses in question order, or
// nothing when the responses are not each of the test's question numbers once.
std::optional<std::string> TestKey(const core::TInformation& information);
// The open test's questions and answers, as Quizdesk would write them into a results file.
std::string TestKey(const core::TOpenTest& test);
// The attempt's decoded fields: names, course, period, instructor, test path, date, counts,
// and every response (number, given letters and marks, verdict) in answering order.
std::string AttemptKey(const core::TInformation& information);

// The file name of the attempt's test path ("CHEM.TST" of "C:\CLASS\CHEM.TST").
std::string TestFileName(const core::TInformation& information);

// A field's text up to its end byte, and the marks of those letters as little-endian int32.
std::string FieldText(const char* field, std::size_t size);
std::string MarkBytes(const int32_t* marks, std::size_t count);

}  // namespace gradebook
