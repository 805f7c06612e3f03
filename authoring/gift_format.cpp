#include <QStringList>

#include "authoring/exchange_format.h"

namespace quizloom {

namespace {

// The characters GIFT gives a meaning; a backslash makes them letters.
bool IsGiftSpecial(QChar c) { return QStringLiteral("~=#{}:\\").contains(c); }

QString EscapeGift(const QString& text, bool answer) {
  QString escaped;
  escaped.reserve(text.size() + text.size() / 8);
  for (QChar c : text) {
    // A star in a platform's short answer is a wildcard; "\*" is the star itself.
    if (IsGiftSpecial(c) || (answer && c == '*')) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// Position of the first c (or two c's, for "::") that no backslash escapes, or -1.
qsizetype FindUnescaped(const QString& text, QStringView what, qsizetype from) {
  for (qsizetype i = from; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
      continue;
    }
    if (text[i] == what[0] && (what.size() == 1 || (i + 1 < text.size() && text[i + 1] == what[1])))
      return i;
  }
  return -1;
}

// GIFT's escapes undone. "\*" stays, for the answer check to read as a star; "\n" is a
// line break.
QString UnescapeGift(const QString& text) {
  QString plain;
  plain.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const QChar next = text[i + 1];
      if (IsGiftSpecial(next)) {
        plain += next;
        ++i;
        continue;
      }
      if (next == 'n') {
        plain += '\n';
        ++i;
        continue;
      }
    }
    plain += text[i];
  }
  return plain;
}

struct Block {
  QString text;
  int firstLine = 1;
};

int LineOf(const Block& block, qsizetype position) {
  return block.firstLine + static_cast<int>(QStringView(block.text).left(position).count('\n'));
}

void Fail(PlatformImport& result, int line, const char* what) {
  result.errorLine = line;
  result.error = what;
  result.questions.clear();
}

// The answers between the braces, or nothing when they are not a short answer.
std::optional<QString> FullMarkAnswer(const QString& answers, bool& shortAnswer) {
  const QString trimmed = answers.trimmed();
  const QString word = trimmed.section('#', 0, 0).trimmed().toUpper();
  shortAnswer = !(trimmed.isEmpty() || trimmed.startsWith('#') || word == "T" || word == "F" ||
                  word == "TRUE" || word == "FALSE" || FindUnescaped(trimmed, u"~", 0) >= 0 ||
                  FindUnescaped(trimmed, u"->", 0) >= 0 || !trimmed.startsWith('='));
  if (!shortAnswer) return std::nullopt;
  qsizetype at = 0;
  while (at >= 0 && at < trimmed.size()) {
    const qsizetype next = FindUnescaped(trimmed, u"=", at + 1);
    QString answer = trimmed.mid(at + 1, next < 0 ? -1 : next - at - 1);
    at = next;
    const qsizetype feedback = FindUnescaped(answer, u"#", 0);
    if (feedback >= 0) answer.truncate(feedback);
    answer = answer.trimmed();
    if (answer.startsWith('%')) {
      const qsizetype close = answer.indexOf('%', 1);
      if (close < 0) continue;
      const double weight = answer.mid(1, close - 1).toDouble();
      answer = answer.mid(close + 1);
      if (weight < 99.99) continue;
    }
    return UnescapeGift(answer);
  }
  return QString();
}

// Whether an unescaped '{' is still waiting for its '}' after text, when open before it.
bool AnswersOpen(const QString& text, bool open) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') ++i;
    else if (text[i] == '{') open = true;
    else if (text[i] == '}') open = false;
  }
  return open;
}

qsizetype SkipSpaces(const QString& text, qsizetype at) {
  while (at < text.size() && text[at].isSpace()) ++at;
  return at;
}

void ReadBlock(const Block& block, PlatformImport& result) {
  // text is the block from offset on: the title and the format left behind.
  qsizetype offset = SkipSpaces(block.text, 0);
  if (QStringView(block.text).mid(offset).startsWith(u"::")) {
    const qsizetype close = FindUnescaped(block.text, u"::", offset + 2);
    if (close < 0) return Fail(result, block.firstLine, "the question's title is not closed with \"::\"");
    offset = SkipSpaces(block.text, close + 2);
  }
  QString format = "moodle";
  if (offset < block.text.size() && block.text[offset] == '[') {
    const qsizetype close = block.text.indexOf(']', offset);
    if (close > 0) {
      format = block.text.mid(offset + 1, close - offset - 1).toLower();
      offset = close + 1;
    }
  }
  const QString text = block.text.mid(offset);
  const qsizetype open = FindUnescaped(text, u"{", 0);
  const qsizetype strayClose = FindUnescaped(text, u"}", 0);
  if (open < 0) {
    if (strayClose >= 0)
      return Fail(result, LineOf(block, offset + strayClose), "a \"}\" closes no answers");
    ++result.otherTypes;  // a description: text without answers
    return;
  }
  if (strayClose >= 0 && strayClose < open)
    return Fail(result, LineOf(block, offset + strayClose), "a \"}\" closes no answers");
  const qsizetype close = FindUnescaped(text, u"}", open + 1);
  if (close < 0)
    return Fail(result, LineOf(block, offset + open), "the answers opened with \"{\" are not closed");
  if (FindUnescaped(text, u"{", open + 1) >= 0 && FindUnescaped(text, u"{", open + 1) < close)
    return Fail(result, LineOf(block, offset + open), "a \"{\" opens answers inside answers");
  const qsizetype again = FindUnescaped(text, u"{", close + 1);
  if (again >= 0 || FindUnescaped(text, u"}", close + 1) >= 0)
    return Fail(result, LineOf(block, offset + close), "a question has more than one set of answers");
  bool shortAnswer = false;
  const std::optional<QString> answer = FullMarkAnswer(text.mid(open + 1, close - open - 1), shortAnswer);
  if (!shortAnswer) {
    ++result.otherTypes;
    return;
  }
  // Answers inside the sentence leave a blank where they stood.
  QString question = text.left(open).trimmed();
  const QString after = text.mid(close + 1).trimmed();
  if (!after.isEmpty()) question += " _____ " + after;
  question = UnescapeGift(question);
  const core::TLetters letters = format == "plain" || format == "markdown"
                                     ? exchange::PlainToLetters(question, result.replacedCharacters)
                                     : exchange::HtmlToLetters(question, result.replacedCharacters);
  if (!answer) {
    ++result.noAnswer;
    return;
  }
  exchange::AddShortAnswer(result, letters, *answer);
}

}  // namespace

QByteArray WriteGift(const core::TList<core::TQuestion>& questions, ExportReport& report) {
  QString out;
  int number = 0;
  for (const auto& question : questions) {
    ++number;
    QString html = exchange::TextToHtml(question->text);
    if (question->picture[0] != '\0') {
      core::TLetters name;
      for (const char* c = question->picture; *c; ++c) name.emplace_back(static_cast<unsigned char>(*c), 0);
      html += "<br><img src=\"" + exchange::TextToHtml(name) + "\">";
      report.picturesLeft.push_back(number);
    }
    bool hadMarks = false;
    const QString answer = exchange::AnswerToPlain(question->answer, hadMarks);
    if (hadMarks) report.unmarkedAnswers.push_back(number);
    if (number > 1) out += '\n';
    out += QString("::Question %1:: [html]").arg(number) + EscapeGift(html, false) + " {=" +
           EscapeGift(answer, true) + "}\n";
  }
  return out.toUtf8();
}

PlatformImport ReadGift(std::string_view bytes) {
  PlatformImport result;
  QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  text.replace("\r\n", "\n").replace('\r', '\n');
  const QStringList lines = text.split('\n');
  Block block;
  bool answersOpen = false;
  auto finish = [&] {
    if (!block.text.trimmed().isEmpty()) ReadBlock(block, result);
    block = {};
    answersOpen = false;
  };
  for (qsizetype i = 0; i < lines.size() && !result.Failed(); ++i) {
    const QString trimmed = lines[i].trimmed();
    if (trimmed.startsWith("//")) {
      if (!block.text.isEmpty()) block.text += '\n';  // keeps the line numbers of faults
      continue;
    }
    if (trimmed.startsWith("$CATEGORY:", Qt::CaseInsensitive)) {
      finish();
      continue;
    }
    if (trimmed.isEmpty()) {
      // A blank line ends a question, unless its answers are still open.
      if (answersOpen) {
        block.text += '\n';
        continue;
      }
      finish();
      continue;
    }
    if (block.text.isEmpty()) block.firstLine = static_cast<int>(i) + 1;
    block.text += lines[i] + '\n';
    answersOpen = AnswersOpen(lines[i], answersOpen);
  }
  if (!result.Failed()) finish();
  return result;
}

}  // namespace quizloom
