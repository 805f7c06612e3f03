#include "authoring/import_window.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include <QFile>

#include "authoring/blank_window.h"
#include "authoring/text_decoding.h"
#include "core/dialogs.h"
#include "editor/formatted_text.h"
#include "platform/cp1252.h"
#include "platform/modal.h"

namespace quizloom {

namespace {

constexpr int kSelectionLimit = editor::kQuestionLimit;
using editor::kMaxLines;
constexpr std::size_t kAnswerLimit = editor::kAnswerLimit;
// New and Open would leave the questions made so far behind, to be added to another test
// later; Save has no test to save while importing. The menu offers only Done and Select.
constexpr int kKeysIgnoredWhileImporting[] = {CM_NEW, CM_OPEN, CM_SAVE};

// The first limit bytes of a file, or nothing when it cannot be opened or read. Read in
// pieces to its end: a file's size may be unknown (0) or change while it is read.
std::optional<std::vector<uint8_t>> ReadStart(const std::string& path, std::size_t limit) {
  constexpr std::size_t kPiece = 64 * 1024;
  QFile file(platform::PathToQt(path));
  if (path.empty() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(std::clamp<qint64>(file.size(), 0, qint64(limit))));
  while (bytes.size() < limit) {
    const std::size_t at = bytes.size();
    bytes.resize(std::min(limit, at + kPiece));
    const qint64 n = file.read(reinterpret_cast<char*>(bytes.data() + at),
                               static_cast<qint64>(bytes.size() - at));
    if (n < 0) return std::nullopt;
    bytes.resize(at + static_cast<std::size_t>(n));
    if (n == 0) break;
  }
  return bytes;
}

std::string ReplacedNotice(int32_t count) {
  if (count == 1) return "1 character of the file cannot be used in a test and is shown as \"?\".";
  return std::to_string(count) +
         " characters of the file cannot be used in a test and are shown as \"?\".";
}

}  // namespace

TImportWindow::TImportWindow(QWidget* parent) : TEditFile(parent) {
  // Created hidden: the main window shows it by making it the client.
  hide();
  Respond(CM_SELECT, [this] { CmSelect(); });
  for (int command : kKeysIgnoredWhileImporting) Respond(command, [] {});
}

bool TImportWindow::openFile(const std::string& path) {
  const std::optional<std::vector<uint8_t>> bytes = ReadStart(path, ReadLimitFor(kImportLimit));
  if (!bytes) {
    Inform("Could not open file.");
    return false;
  }
  const DecodedText decoded = DecodeTextFile(*bytes);
  SetText(decoded.text);
  if (decoded.cut) Inform("You file has been truncated since it is so large.");
  if (decoded.replaced > 0) Inform(ReplacedNotice(decoded.replaced));
  return true;
}

std::string TImportWindow::WrapSelection() {
  int start = 0;
  int end = 0;
  GetSelection(start, end);
  if (end - start > kSelectionLimit) {
    Warn("Your selection is too large!!");
    return {};
  }
  const std::string selected = GetSelectedText();
  if (selected.empty()) {
    Warn("You must make a selection of text with the mouse or Shift+arrow keys!!!");
    return {};
  }
  // Room for every break the wrap may add: one per space, at most.
  std::vector<char> text(2 * editor::kQuestionSize, '\0');
  std::vector<int32_t> marks(text.size(), 0);
  std::memcpy(text.data(), selected.data(), std::min<std::size_t>(selected.size(), kSelectionLimit));
  int32_t caret = 0;
  editor::WrapText(text.data(), marks.data(), caret, editor::kWrapWidth, static_cast<int>(text.size()));
  if (editor::CountLines(text.data()) > kMaxLines) {
    Warn("You cannot import more than 6 lines.");
    return {};
  }
  std::string wrapped(text.data());
  if (wrapped.size() > kSelectionLimit) {
    Warn("You cannot import more than 495 characters.");
    return {};
  }
  return wrapped;
}

std::optional<std::string> TImportWindow::AskAnswer() {
  core::TAnswerRecord record;
  std::memset(&record, 0, sizeof record);
  for (;;) {
    // A new dialog on the same record each time, so the user sees what was typed before.
    core::TAnswerDialog dialog(this, &record);
    if (dialog.Execute() != platform::IDOK) return std::nullopt;
    const std::size_t length = strnlen(record.answer, sizeof record.answer);
    if (length == 0) {
      Warn("You must put something in the answer box!!");
    } else if (length > kAnswerLimit) {
      // Students answer in the editor, which takes 49 characters: a longer answer could
      // never be given.
      Warn("You cannot have an answer greater than 49 characters.");
    } else {
      return std::string(record.answer, length);
    }
  }
}

void TImportWindow::CmSelect() {
  const std::string wrapped = WrapSelection();
  if (wrapped.empty()) return;
  const std::optional<std::string> answer = AskAnswer();
  if (!answer) return;
  DeleteSelection();
  auto question = std::make_unique<core::TQuestion>();
  for (char c : wrapped) question->text.emplace_back(static_cast<unsigned char>(c), core::kNormal);
  for (char c : *answer) question->answer.emplace_back(static_cast<unsigned char>(c), core::kNormal);
  questions.Add(std::move(question));
}

void TImportWindow::Warn(const char* text) {
  platform::MessageBox(this, text, "Warning", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void TImportWindow::Inform(const std::string& text) {
  platform::MessageBox(this, text, "Information", platform::MB_OK | platform::MB_ICONINFORMATION);
}

}  // namespace quizloom
