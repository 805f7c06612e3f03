#include "authoring/exchange_format.h"

#include <algorithm>
#include <array>
#include <vector>

#include "authoring/text_decoding.h"
#include "editor/formatted_text.h"
#include "platform/code_page.h"

namespace quizloom::exchange {

namespace {

constexpr unsigned char kCR = '\r';
constexpr unsigned char kLF = '\n';

const char* MarkTag(int32_t mark) {
  if (mark == core::kSuperscript) return "sup";
  if (mark == core::kSubscript) return "sub";
  return nullptr;
}

QChar Character(unsigned char byte) {
  const std::optional<char32_t> c = platform::Cp1252ToCodePoint(byte);
  return QChar(static_cast<char16_t>(c ? *c : U'?'));
}

}  // namespace

QString TextToHtml(const core::TLetters& text) {
  QString html;
  html.reserve(static_cast<qsizetype>(text.size()) + 16);
  auto tag = [&html](const char* name, bool closing) {
    if (!name) return;
    html += closing ? u"</" : u"<";
    html += QLatin1StringView(name);
    html += u'>';
  };
  int32_t open = core::kNormal;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const core::TLetter& letter = text[i];
    const bool soft = letter.ch == kCR && i + 1 < text.size() && text[i + 1].ch == kLF;
    const int32_t mark = letter.ch == kCR || letter.ch == kLF ? core::kNormal : letter.mark;
    if (mark != open) {
      tag(MarkTag(open), true);
      tag(MarkTag(mark), false);
      open = mark;
    }
    if (soft) {
      html += ' ';
      ++i;
    } else if (letter.ch == kCR) {
      html += "<br>";
    } else if (letter.ch == '&') {
      html += "&amp;";
    } else if (letter.ch == '<') {
      html += "&lt;";
    } else if (letter.ch == '>') {
      html += "&gt;";
    } else if (letter.ch != kLF) {
      html += Character(letter.ch);
    }
  }
  tag(MarkTag(open), true);
  return html;
}

QString AnswerToPlain(const core::TLetters& answer, bool& hadMarks) {
  QString plain;
  plain.reserve(static_cast<qsizetype>(answer.size()));
  hadMarks = false;
  for (const core::TLetter& letter : answer) {
    plain += Character(letter.ch);
    hadMarks = hadMarks || letter.mark != core::kNormal;
  }
  return plain;
}

QString DecodePlatformText(std::string_view bytes) {
  // ASCII reads the same in every encoding the decoding chooses, and most files are.
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  text.truncate(static_cast<qsizetype>(DecodeWholeText(
      {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, reinterpret_cast<char16_t*>(text.data()))));
  return text;
}

namespace {

// An answer is taken when a platform gives it full marks.
constexpr double kFullMarks = 99.99;

enum class AnswerFault { None, Empty, Wildcard, Characters, TooLong };

// The answer's letters as Quizdesk compares them, or why a test cannot hold it. Platforms
// trim answers; "\*" is a star, a bare '*' a wildcard Quizdesk cannot judge.
AnswerFault AnswerLetters(const QString& answer, core::TLetters& letters) {
  const QStringView trimmed = QStringView(answer).trimmed();
  if (trimmed.isEmpty()) return AnswerFault::Empty;
  bool unheld = false;
  for (qsizetype i = 0; i < trimmed.size(); ++i) {
    QChar c = trimmed[i];
    if (c == '\\' && i + 1 < trimmed.size() && trimmed[i + 1] == '*') c = trimmed[++i];
    else if (c == '*') return AnswerFault::Wildcard;
    char32_t code = c.unicode();
    if (c.isHighSurrogate() && i + 1 < trimmed.size()) code = QChar::surrogateToUcs4(c, trimmed[++i]);
    const std::optional<unsigned char> byte = platform::CodePointToCp1252(code);
    if (!byte || *byte < 0x20) unheld = true;
    else letters.emplace_back(*byte, core::kNormal);
  }
  if (unheld) return AnswerFault::Characters;
  if (static_cast<int>(letters.size()) > editor::kAnswerLimit) return AnswerFault::TooLong;
  return AnswerFault::None;
}

void Count(PlatformImport& result, AnswerFault fault) {
  switch (fault) {
    case AnswerFault::Empty: ++result.noAnswer; break;
    case AnswerFault::Wildcard: ++result.wildcardAnswers; break;
    case AnswerFault::Characters: ++result.answerCharacters; break;
    case AnswerFault::TooLong: ++result.answerTooLong; break;
    case AnswerFault::None: break;
  }
}

// A question's text wrapped as the editor wraps it, and its lines; the working buffers have
// room for a break per space.
core::TLetters Wrapped(const core::TLetters& text, int& lines) {
  constexpr std::size_t kRoom = 2 * (editor::kQuestionLimit + 1);
  std::array<char, kRoom> chars;
  std::array<int32_t, kRoom> marks;
  const std::size_t length = std::min(text.size(), kRoom / 2 - 1);
  // Lines of the width or shorter, without soft breaks, are as the editor would wrap them.
  lines = 1;
  std::size_t column = 0;
  bool narrow = length == text.size();
  for (std::size_t i = 0; i < length; ++i) {
    chars[i] = static_cast<char>(text[i].ch);
    marks[i] = text[i].mark;
    const bool hard = chars[i] == '\r';
    lines += hard;
    column = hard ? 0 : column + 1;
    narrow = narrow && chars[i] != '\n' && column <= static_cast<std::size_t>(editor::kWrapWidth);
  }
  if (narrow) return text;
  chars[length] = '\0';
  const int room = static_cast<int>(2 * (length + 1));
  int32_t caret = 0;
  lines = editor::kMaxLines + 1;  // a text the buffers cannot hold wrapped is too long
  if (!editor::WrapText(chars.data(), marks.data(), caret, editor::kWrapWidth, room)) return {};
  const std::size_t wrappedLength = std::char_traits<char>::length(chars.data());
  core::TLetters wrapped(wrappedLength);
  lines = 1;
  for (std::size_t i = 0; i < wrappedLength; ++i) {
    wrapped[i] = {static_cast<unsigned char>(chars[i]), marks[i]};
    lines += chars[i] == '\r';
  }
  return wrapped;
}

// Joins neighbouring lines of an unwrapped text, the two shortest together first, until it
// has at most most lines: with a space, unless one of them is empty. False when it already had.
bool JoinLines(core::TLetters& text, int most) {
  struct Line {
    std::size_t length;
    std::size_t breakAt;  // where the break after the line stands; the last line has none
  };
  std::vector<Line> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i)
    if (i == text.size() || text[i].ch == kCR) {
      lines.push_back({i - start, i});
      start = i + 1;
    }
  if (lines.size() <= static_cast<std::size_t>(most)) return false;
  std::vector<std::size_t> erased;
  while (lines.size() > static_cast<std::size_t>(most)) {
    std::size_t best = 0;
    for (std::size_t k = 1; k + 1 < lines.size(); ++k)
      if (lines[k].length + lines[k + 1].length < lines[best].length + lines[best + 1].length) best = k;
    const bool space = lines[best].length > 0 && lines[best + 1].length > 0;
    if (space) text[lines[best].breakAt].ch = ' ';
    else erased.push_back(lines[best].breakAt);
    lines[best] = {lines[best].length + lines[best + 1].length + (space ? 1 : 0), lines[best + 1].breakAt};
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(best) + 1);
  }
  std::sort(erased.rbegin(), erased.rend());
  for (std::size_t at : erased) text.erase(text.begin() + static_cast<std::ptrdiff_t>(at));
  return true;
}

}  // namespace

void AddShortAnswer(PlatformImport& result, PlatformQuestion question) {
  if (question.refusedWeight) {
    ++result.refusedWeights;
    return;
  }
  // The first answer with full marks that a test can hold; the others are named.
  core::TLetters answer;
  int fullMarks = 0;
  AnswerFault fault = AnswerFault::Empty;
  for (const auto& [text, weight] : question.answers) {
    if (weight < kFullMarks) continue;
    if (fullMarks++ > 0 && !answer.empty()) continue;
    core::TLetters letters;
    const AnswerFault found = AnswerLetters(text, letters);
    if (found == AnswerFault::None) answer = std::move(letters);
    else if (fullMarks == 1) fault = found;
  }
  if (answer.empty()) return Count(result, fault);
  if (question.text.empty() || question.text.size() > static_cast<std::size_t>(editor::kQuestionLimit)) {
    ++result.textTooLong;
    return;
  }
  // Line breaks stay while the question keeps within six lines; beyond, the shortest
  // neighbouring lines are joined first. Wrapping never makes fewer lines than the breaks do.
  bool joined = false;
  int lines = 0;
  core::TLetters wrapped = Wrapped(question.text, lines);
  for (int most = editor::kMaxLines; lines > editor::kMaxLines && most >= 1; --most) {
    if (!JoinLines(question.text, most)) continue;
    joined = true;
    wrapped = Wrapped(question.text, lines);
  }
  if (wrapped.size() > static_cast<std::size_t>(editor::kQuestionLimit) || lines > editor::kMaxLines) {
    ++result.textTooLong;
    return;
  }
  ImportedQuestion& made = result.questions.emplace_back();
  made.question.text = std::move(wrapped);
  made.question.answer = std::move(answer);
  made.picture = std::move(question.picture);
  made.otherAnswers = fullMarks - 1;
  made.anyCase = question.anyCase;
  made.linesJoined = joined;
}

}  // namespace quizloom::exchange

namespace quizloom {

PlatformImport ReadPlatformFile(std::string_view bytes) {
  // The start is enough to pass a byte-order mark and spaces. XML begins with its declaration,
  // a comment, a document type or the quiz itself; a GIFT question may begin with a tag.
  const QString start = exchange::DecodePlatformText(bytes.substr(0, 1024));
  const QStringView text = QStringView(start).trimmed();
  const bool xml = text.startsWith(u"<?xml") || text.startsWith(u"<!--") || text.startsWith(u"<quiz") ||
                   text.startsWith(u"<!DOCTYPE", Qt::CaseInsensitive);
  return xml ? ReadMoodleXml(bytes) : ReadGift(bytes);
}

}  // namespace quizloom
