#include "gradebook/attempt_key.h"

#include <bit>
#include <cstring>
#include <vector>

namespace gradebook {

namespace {

// The room the results file has for a question's and an answer's letters.
constexpr std::size_t kQuestionLetters = sizeof core::TResponse::questionText - 1;
constexpr std::size_t kAnswerLetters = sizeof core::TResponse::expected - 1;

void AppendInt(std::string& out, int64_t value) {
  const auto bits = static_cast<uint64_t>(value);
  char bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>(bits >> (8 * i));
  out.append(bytes, sizeof bytes);
}

// Length first, so that no two different lists of fields give the same bytes.
void AppendBytes(std::string& out, const char* bytes, std::size_t size) {
  AppendInt(out, static_cast<int64_t>(size));
  out.append(bytes, size);
}

void AppendBytes(std::string& out, const std::string& bytes) {
  AppendBytes(out, bytes.data(), bytes.size());
}

// Every file's keys are made for each attempt collected: no string of their own on the way.
void AppendField(std::string& out, const char* field, std::size_t size, const int32_t* marks) {
  const std::size_t letters = strnlen(field, size);
  AppendBytes(out, field, letters);
  if (!marks) return;
  if constexpr (std::endian::native == std::endian::little)
    AppendBytes(out, reinterpret_cast<const char*>(marks), letters * 4);
  else
    AppendBytes(out, MarkBytes(marks, letters));
}

// The letters an editor buffer of limit letters holds: up to the first zero byte.
void AppendLetters(std::string& out, const core::TLetters& letters, std::size_t limit) {
  std::string text;
  std::vector<int32_t> marks;
  for (const core::TLetter& letter : letters) {
    if (text.size() == limit || letter.ch == 0) break;
    text.push_back(static_cast<char>(letter.ch));
    marks.push_back(letter.mark);
  }
  AppendBytes(out, text);
  AppendBytes(out, MarkBytes(marks.data(), marks.size()));
}

}  // namespace

std::string FieldText(const char* field, std::size_t size) {
  return std::string(field, strnlen(field, size));
}

std::string TestFileName(const core::TInformation& information) {
  const std::string path = FieldText(information.testFile, sizeof information.testFile);
  return path.substr(path.find_last_of("\\/:") + 1);
}

std::string MarkBytes(const int32_t* marks, std::size_t count) {
  std::string out;
  if constexpr (std::endian::native == std::endian::little) {
    out.assign(reinterpret_cast<const char*>(marks), count * 4);
    return out;
  }
  out.reserve(count * 4);
  for (std::size_t i = 0; i < count; ++i) {
    const auto bits = static_cast<uint32_t>(marks[i]);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(bits >> shift));
  }
  return out;
}

std::optional<std::string> TestKey(const core::TInformation& information) {
  const int32_t count = information.questionCount;
  if (count < 1 || information.responses.Count() != count) return std::nullopt;
  std::vector<const core::TResponse*> byNumber(static_cast<std::size_t>(count), nullptr);
  for (const auto& response : information.responses) {
    if (response->number < 1 || response->number > count) return std::nullopt;
    const core::TResponse*& slot = byNumber[static_cast<std::size_t>(response->number - 1)];
    if (slot) return std::nullopt;
    slot = response.get();
  }
  std::string key;
  AppendInt(key, count);
  for (const core::TResponse* response : byNumber) {
    AppendField(key, response->questionText, kQuestionLetters, response->questionMarks);
    AppendField(key, response->expected, kAnswerLetters, response->expectedMarks);
  }
  return key;
}

std::string TestKey(const core::TOpenTest& test) {
  std::string key;
  AppendInt(key, test.questions.Count());
  for (const auto& question : test.questions) {
    AppendLetters(key, question->text, kQuestionLetters);
    AppendLetters(key, question->answer, kAnswerLetters);
  }
  return key;
}

std::string AttemptKey(const core::TInformation& information) {
  std::string key;
  AppendField(key, information.firstName, sizeof information.firstName, nullptr);
  AppendField(key, information.lastName, sizeof information.lastName, nullptr);
  AppendField(key, information.course, sizeof information.course, nullptr);
  AppendField(key, information.period, sizeof information.period, nullptr);
  AppendField(key, information.instructor, sizeof information.instructor, nullptr);
  AppendField(key, information.testFile, sizeof information.testFile, nullptr);
  for (int64_t value : {information.year, information.month, information.day,
                        information.correctCount, information.questionCount})
    AppendInt(key, value);
  for (const auto& response : information.responses) {
    AppendInt(key, response->number);
    AppendInt(key, response->correct);
    AppendField(key, response->given, sizeof response->given, response->givenMarks);
  }
  return key;
}

}  // namespace gradebook
