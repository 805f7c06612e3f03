#include "authoring/exchange_format.h"

#include <cctype>
#include <iterator>
#include <vector>

#include <QList>

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

// Builds letters from the platform's characters: what Windows-1252 cannot hold becomes '?'.
class LetterSink {
 public:
  explicit LetterSink(int& replaced) : replaced_(replaced) {}

  void Add(char32_t c, int32_t mark) {
    if (c == 0xA0) c = ' ';
    std::optional<unsigned char> byte = platform::CodePointToCp1252(c);
    if (!byte || *byte == 0 || (*byte < 0x20 && *byte != kCR)) {
      ++replaced_;
      byte = '?';
    }
    letters.emplace_back(*byte, mark);
  }
  core::TLetters letters;

 private:
  int& replaced_;
};

bool IsFormattingSpace(char32_t c) { return c == '\n' || c == '\r' || c == '\t'; }

// The character an entity stands for ("amp", "#233", "#x20AC"), or nothing when unknown.
std::optional<char32_t> Entity(const QString& name) {
  static const struct { const char* name; char32_t c; } kNamed[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
  for (const auto& named : kNamed)
    if (name == QLatin1String(named.name)) return named.c;
  if (name.startsWith('#') && name.size() > 1) {
    bool ok = false;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const uint value = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
    if (ok && value > 0 && value <= 0x10FFFF) return static_cast<char32_t>(value);
  }
  return std::nullopt;
}

}  // namespace

QString TextToHtml(const core::TLetters& text) {
  QString html;
  int32_t open = core::kNormal;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const core::TLetter& letter = text[i];
    const bool soft = letter.ch == kCR && i + 1 < text.size() && text[i + 1].ch == kLF;
    const int32_t mark = letter.ch == kCR || letter.ch == kLF ? core::kNormal : letter.mark;
    if (mark != open) {
      if (const char* tag = MarkTag(open)) html += QString("</%1>").arg(tag);
      if (const char* tag = MarkTag(mark)) html += QString("<%1>").arg(tag);
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
  if (const char* tag = MarkTag(open)) html += QString("</%1>").arg(tag);
  return html;
}

QString AnswerToPlain(const core::TLetters& answer, bool& hadMarks) {
  QString plain;
  hadMarks = false;
  for (const core::TLetter& letter : answer) {
    plain += Character(letter.ch);
    hadMarks = hadMarks || letter.mark != core::kNormal;
  }
  return plain;
}

core::TLetters HtmlToLetters(const QString& html, int& replaced) {
  LetterSink sink(replaced);
  const std::vector<char32_t> chars = [&] {
    const QList<uint> ucs4 = html.toUcs4();
    return std::vector<char32_t>(ucs4.begin(), ucs4.end());
  }();
  std::vector<int32_t> marks;  // open <sup>/<sub> tags, innermost last
  int pendingBreaks = 0;       // breaks wait for text, so none lead or trail the question
  bool pendingSpace = false;   // source formatting between words counts as one space
  auto put = [&](char32_t c) {
    if (sink.letters.empty()) pendingBreaks = 0;
    if (pendingBreaks > 0) pendingSpace = false;
    for (; pendingBreaks > 0; --pendingBreaks) sink.letters.emplace_back(kCR, core::kNormal);
    if (pendingSpace && !sink.letters.empty()) sink.letters.emplace_back(' ', core::kNormal);
    pendingSpace = false;
    sink.Add(c, marks.empty() ? core::kNormal : marks.back());
  };
  std::size_t lastClose = chars.size();  // none: every '<' is a letter
  for (std::size_t i = chars.size(); i-- > 0;)
    if (chars[i] == '>') {
      lastClose = i;
      break;
    }
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    if (c == '<') {
      std::size_t end = i + 1;
      if (lastClose == chars.size() || lastClose < i) end = chars.size();
      while (end < chars.size() && chars[end] != '>') ++end;
      if (end >= chars.size()) {  // a lone '<' is a letter, as browsers show it
        put(c);
        continue;
      }
      // The tag's name: after '<' and a '/' that closes, up to a space, '/' or '>'.
      std::size_t at = i + 1;
      while (at < end && (chars[at] == ' ' || IsFormattingSpace(chars[at]))) ++at;
      const bool closing = at < end && chars[at] == '/';
      if (closing) ++at;
      std::string tag;
      for (; at < end && tag.size() < 8 && chars[at] != '/' && chars[at] != ' ' &&
             !IsFormattingSpace(chars[at]);
           ++at)
        tag += static_cast<char>(chars[at] < 0x80 ? std::tolower(static_cast<int>(chars[at])) : '?');
      i = end;
      if (tag == "sup" || tag == "sub") {
        const int32_t mark = tag == "sup" ? core::kSuperscript : core::kSubscript;
        if (!closing) {
          marks.push_back(mark);
        } else {
          for (auto it = marks.rbegin(); it != marks.rend(); ++it)
            if (*it == mark) {
              marks.erase(std::next(it).base());
              break;
            }
        }
      } else if (tag == "br") {
        ++pendingBreaks;
      } else if (tag == "p" || tag == "div") {
        if (pendingBreaks == 0) pendingBreaks = 1;
      }
    } else if (c == '&') {
      std::size_t end = i + 1;
      while (end < chars.size() && end - i <= 10 && chars[end] != ';' && chars[end] != '&') ++end;
      std::optional<char32_t> decoded;
      if (end < chars.size() && chars[end] == ';')
        decoded = Entity(QString::fromUcs4(chars.data() + i + 1, static_cast<qsizetype>(end - i - 1)));
      if (decoded) i = end;
      put(decoded ? *decoded : c);
    } else if (c == ' ' || IsFormattingSpace(c)) {
      // A run of spaces is the teacher's when typed so; one that breaks the source's lines
      // is layout, one space at most.
      std::size_t end = i;
      bool layout = false;
      for (; end < chars.size() && (chars[end] == ' ' || IsFormattingSpace(chars[end])); ++end)
        layout = layout || IsFormattingSpace(chars[end]);
      if (layout) pendingSpace = true;
      else
        for (std::size_t k = i; k < end; ++k) put(' ');
      i = end - 1;
    } else {
      put(c);
    }
  }
  return sink.letters;
}

core::TLetters PlainToLetters(const QString& text, int& replaced) {
  LetterSink sink(replaced);
  const QString trimmed = text.trimmed();
  for (qsizetype i = 0; i < trimmed.size(); ++i) {
    const QChar c = trimmed[i];
    if (c == '\r' && i + 1 < trimmed.size() && trimmed[i + 1] == '\n') continue;
    if (c == '\n' || c == '\r') {
      sink.letters.emplace_back(kCR, core::kNormal);
    } else if (c == '\t') {
      sink.letters.emplace_back(' ', core::kNormal);
    } else if (c.isHighSurrogate() && i + 1 < trimmed.size()) {
      sink.Add(QChar::surrogateToUcs4(c, trimmed[++i]), core::kNormal);
    } else {
      sink.Add(c.unicode(), core::kNormal);
    }
  }
  return sink.letters;
}

void AddShortAnswer(PlatformImport& result, const core::TLetters& text, const QString& answer,
                    ExchangePicture picture) {
  // Platforms trim answers; '\*' is a star, a bare '*' a wildcard Quizdesk cannot judge.
  const QString trimmed = answer.trimmed();
  core::TLetters answerLetters;
  bool unheld = false;
  for (qsizetype i = 0; i < trimmed.size(); ++i) {
    QChar c = trimmed[i];
    if (c == '\\' && i + 1 < trimmed.size() && trimmed[i + 1] == '*') {
      c = trimmed[++i];
    } else if (c == '*') {
      ++result.wildcardAnswers;
      return;
    }
    char32_t code = c.unicode();
    if (c.isHighSurrogate() && i + 1 < trimmed.size()) code = QChar::surrogateToUcs4(c, trimmed[++i]);
    const std::optional<unsigned char> byte = platform::CodePointToCp1252(code);
    if (!byte || *byte < 0x20) unheld = true;
    else answerLetters.emplace_back(*byte, core::kNormal);
  }
  if (trimmed.isEmpty()) {
    ++result.noAnswer;
    return;
  }
  if (unheld) {
    ++result.answerCharacters;
    return;
  }
  if (static_cast<int>(answerLetters.size()) > editor::kAnswerLimit) {
    ++result.answerTooLong;
    return;
  }
  // Wrapped as the editor wraps: the working buffers have room for a break per space.
  const std::size_t room = 2 * (text.size() + 1);
  if (text.empty() || text.size() > static_cast<std::size_t>(editor::kQuestionLimit)) {
    ++result.textTooLong;
    return;
  }
  std::vector<char> chars(room, '\0');
  std::vector<int32_t> marks(room, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    chars[i] = static_cast<char>(text[i].ch);
    marks[i] = text[i].mark;
  }
  int32_t caret = 0;
  editor::WrapText(chars.data(), marks.data(), caret, editor::kWrapWidth, static_cast<int>(room));
  const std::size_t length = std::char_traits<char>::length(chars.data());
  if (length > static_cast<std::size_t>(editor::kQuestionLimit) ||
      editor::CountLines(chars.data()) > editor::kMaxLines) {
    ++result.textTooLong;
    return;
  }
  ImportedQuestion& made = result.questions.emplace_back();
  for (std::size_t i = 0; i < length; ++i)
    made.question.text.emplace_back(static_cast<unsigned char>(chars[i]), marks[i]);
  made.question.answer = std::move(answerLetters);
  made.picture = std::move(picture);
}

}  // namespace quizloom::exchange
