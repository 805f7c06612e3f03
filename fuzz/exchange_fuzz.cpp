#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "authoring/exchange_format.h"
#include "editor/formatted_text.h"

namespace {

// What a test may hold: the limits the editor keeps, no line break in an answer.
bool Holdable(const quizloom::PlatformImport& result) {
  if (result.Failed() && !result.questions.empty()) return false;
  for (const quizloom::ImportedQuestion& imported : result.questions) {
    const core::TQuestion& q = imported.question;
    if (q.text.empty() || q.text.size() > std::size_t(editor::kQuestionLimit)) return false;
    if (q.answer.empty() || q.answer.size() > std::size_t(editor::kAnswerLimit)) return false;
    int lines = 1;
    for (const core::TLetter& letter : q.text) {
      if (letter.ch == 0 || letter.mark < core::kNormal || letter.mark > core::kSubscript) return false;
      lines += letter.ch == '\r';
    }
    if (lines > editor::kMaxLines) return false;
    for (const core::TLetter& letter : q.answer)
      if (letter.ch < 0x20 || letter.mark != core::kNormal) return false;
  }
  return true;
}

}  // namespace

// Any bytes, read as Import From Platform reads them (Moodle XML when they begin with markup,
// otherwise GIFT): what is taken fits a test, and written out again in the same format and
// read back it gives the same answers, but for those the export names as ones GIFT cannot
// carry.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const quizloom::PlatformImport read =
      quizloom::ReadPlatformFile({reinterpret_cast<const char*>(data), size});
  if (!Holdable(read)) __builtin_trap();
  core::TList<core::TQuestion> questions;
  for (const quizloom::ImportedQuestion& imported : read.questions)
    questions.Add(std::make_unique<core::TQuestion>(imported.question));
  quizloom::ExportReport report;
  const QByteArray written = read.format == quizloom::ExchangeFormat::MoodleXml
                                 ? quizloom::WriteMoodleXml(questions, {}, report)
                                 : quizloom::WriteGift(questions, report);
  const quizloom::PlatformImport back =
      quizloom::ReadPlatformFile({written.constData(), std::size_t(written.size())});
  const std::vector<int>& named = report.matchingAnswers;
  if (back.Failed() || back.format != read.format ||
      back.questions.size() + named.size() != read.questions.size())
    __builtin_trap();
  for (std::size_t i = 0, j = 0; i < read.questions.size(); ++i) {
    if (std::find(named.begin(), named.end(), static_cast<int>(i) + 1) != named.end()) continue;
    if (back.questions[j++].question.answer != read.questions[i].question.answer) __builtin_trap();
  }
  return 0;
}
