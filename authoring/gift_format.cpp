#include "authoring/exchange_format.h"
#include "authoring/html_text.h"

namespace quizloom {

namespace {

// The characters GIFT gives a meaning; a backslash makes them letters.
bool IsGiftSpecial(QChar c) {
  return c == '~' || c == '=' || c == '#' || c == '{' || c == '}' || c == ':' || c == '\\';
}

void AppendEscaped(QString& escaped, const QString& text, bool answer) {
  const qsizetype start = escaped.size();
  escaped.resize(start + 2 * text.size());
  QChar* out = escaped.data() + start;
  for (QChar c : text) {
    // A star in a platform's short answer is a wildcard; "\*" is the star itself.
    if (IsGiftSpecial(c) || (answer && c == '*')) *out++ = '\\';
    *out++ = c;
  }
  escaped.truncate(out - escaped.constData());
}

// Whether text[at] is escaped: an odd run of backslashes, all at or after from, stands right
// before it. Each backslash escapes the next character, whatever it is.
bool Escaped(QStringView text, qsizetype from, qsizetype at) {
  qsizetype run = 0;
  while (at - run - 1 >= from && text[at - run - 1] == u'\\') ++run;
  return run % 2 == 1;
}

// Position of the first what (one character, or two as in "::") at or after from that no
// backslash escapes, or -1. Qt's search does the scanning.
qsizetype FindUnescaped(QStringView text, QStringView what, qsizetype from) {
  for (qsizetype at = text.indexOf(what, from); at >= 0; at = text.indexOf(what, at + 1))
    if (!Escaped(text, from, at)) return at;
  return -1;
}

// Position of the last unescaped c, or -1.
qsizetype FindLastUnescaped(QStringView text, QChar c) {
  for (qsizetype at = text.lastIndexOf(c); at >= 0; at = at > 0 ? text.lastIndexOf(c, at - 1) : -1)
    if (!Escaped(text, 0, at)) return at;
  return -1;
}

// GIFT's escapes undone. "\*" stays, for the answer check to read as a star; "\n" is a
// line break.
void AppendUnescaped(QString& plain, QStringView text) {
  qsizetype from = 0;
  for (qsizetype at = text.indexOf(u'\\'); at >= 0 && at + 1 < text.size(); at = text.indexOf(u'\\', from)) {
    plain += text.mid(from, at - from);
    const QChar next = text[at + 1];
    const bool escape = IsGiftSpecial(next) || next == 'n';
    plain += !escape ? QChar('\\') : next == 'n' ? QChar('\n') : next;
    from = at + (escape ? 2 : 1);
  }
  plain += text.mid(from);
}

QString UnescapeGift(QStringView text) {
  QString plain;
  AppendUnescaped(plain, text);
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

// Whether the answers are a short answer's, as a platform tells the types apart.
bool IsShortAnswer(QStringView answers) {
  if (answers.isEmpty() || answers.startsWith('#') || FindUnescaped(answers, u"~", 0) >= 0)
    return false;
  if (FindUnescaped(answers, u"=", 0) >= 0 && FindUnescaped(answers, u"->", 0) >= 0) return false;
  const qsizetype feedback = FindUnescaped(answers, u"#", 0);
  const QStringView word = (feedback > 0 ? answers.left(feedback) : answers).trimmed();
  return word != u"T" && word != u"TRUE" && word != u"F" && word != u"FALSE";
}

// The answers and their weights, split at each '='; the part before the first only counts
// when it is not empty ("{One}"). A leading "%...%" is a weight, a '#' begins feedback.
void ReadAnswers(QStringView answers, exchange::PlatformQuestion& question) {
  for (qsizetype start = 0; start <= answers.size();) {
    qsizetype next = FindUnescaped(answers, u"=", start);
    if (next < 0) next = answers.size();
    QStringView answer = answers.mid(start, next - start).trimmed();
    start = next + 1;
    const qsizetype feedback = FindUnescaped(answer, u"#", 0);
    if (feedback >= 0) answer = answer.left(feedback).trimmed();
    double weight = 100;
    const qsizetype close = answer.startsWith('%') ? answer.indexOf('%', 1) : -1;
    if (close > 0) {
      bool number = false;
      weight = answer.mid(1, close - 1).toDouble(&number);
      // Platforms refuse other weights; the reader never takes one for full marks.
      if (!number || !(weight >= -100 && weight <= 100)) question.refusedWeight = true;
      answer = answer.mid(close + 1).trimmed();
    }
    if (!answer.isEmpty()) question.answers.emplace_back(UnescapeGift(answer), weight);
  }
}

// Whether an unescaped '{' is still waiting for its '}' after text, when open before it.
bool AnswersOpen(QStringView text, bool open) {
  const qsizetype lastOpen = FindLastUnescaped(text, u'{');
  const qsizetype lastClose = FindLastUnescaped(text, u'}');
  return lastOpen < 0 && lastClose < 0 ? open : lastOpen > lastClose;
}

qsizetype SkipSpaces(QStringView text, qsizetype at) {
  while (at < text.size() && text[at].isSpace()) ++at;
  return at;
}

// The format a question's text names in front, and where its text begins.
exchange::TextFormat TextFormatOf(QStringView question, qsizetype& begin) {
  begin = 0;
  const qsizetype end = question.startsWith('[') ? question.indexOf(']') : -1;
  const QStringView name = question.mid(1, end - 1);
  exchange::TextFormat format = exchange::TextFormat::AutoFormat;  // "moodle", the default
  if (end < 0) return format;
  if (name == u"html") format = exchange::TextFormat::Html;
  else if (name == u"plain" || name == u"markdown") format = exchange::TextFormat::Plain;
  else if (name != u"moodle") return format;  // not a format: the text shows it
  begin = end + 1;
  return format;
}

// The first two unescaped '{' and '}' from offset on, -1 where there are fewer.
struct Braces {
  qsizetype open[2] = {-1, -1};
  qsizetype close[2] = {-1, -1};
};

Braces FindBraces(QStringView text, qsizetype from) {
  Braces braces;
  for (auto [found, brace] : {std::pair{braces.open, u"{"}, std::pair{braces.close, u"}"}}) {
    found[0] = FindUnescaped(text, brace, from);
    if (found[0] >= 0) found[1] = FindUnescaped(text, brace, found[0] + 1);
  }
  return braces;
}

void ReadBlock(const Block& block, PlatformImport& result) {
  const QStringView text(block.text);
  qsizetype offset = SkipSpaces(text, 0);
  if (text.mid(offset).startsWith(u"::")) {
    const qsizetype close = FindUnescaped(text, u"::", offset + 2);
    if (close < 0) return Fail(result, block.firstLine, "the question's title is not closed with \"::\"");
    offset = SkipSpaces(text, close + 2);
  }
  const Braces braces = FindBraces(text, offset);
  const auto [open, nested] = braces.open;
  const auto [close, again] = braces.close;
  if (open < 0 && close < 0) {
    ++result.otherTypes;  // a description: text without answers
    return;
  }
  if (close >= 0 && (open < 0 || close < open))
    return Fail(result, LineOf(block, close), "a \"}\" closes no answers");
  if (close < 0 || (nested >= 0 && nested < close))
    return Fail(result, LineOf(block, open), "a \"{\" is never closed");
  if (nested >= 0 || again >= 0)
    return Fail(result, LineOf(block, close), "a question has more than one set of answers");
  QStringView answers = text.mid(open + 1, close - open - 1).trimmed();
  const qsizetype general = answers.lastIndexOf(u"####");
  if (general >= 0) answers = answers.left(general).trimmed();
  if (!IsShortAnswer(answers)) {
    ++result.otherTypes;
    return;
  }
  // Answers inside the sentence leave a blank where they stood, spaced as typed.
  const QStringView before = text.mid(offset, open - offset);
  const QStringView after = text.mid(close + 1);
  qsizetype begin = 0;
  const exchange::TextFormat format = TextFormatOf(before, begin);
  QString shown;
  shown.reserve(before.size() + after.size() + 5);
  AppendUnescaped(shown, before.mid(begin));
  if (!after.trimmed().isEmpty()) {
    shown += u"_____";
    AppendUnescaped(shown, after);
  }
  exchange::PlatformQuestion read;
  read.text = exchange::ShownLetters(shown, format, result.replacedCharacters);
  ReadAnswers(answers, read);
  read.anyCase = true;  // a platform's GIFT import judges in any letter case
  if (format != exchange::TextFormat::Plain) read.picture.name = exchange::PictureName(shown);
  exchange::AddShortAnswer(result, std::move(read));
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
    // No escape keeps "->" from making a matching question. A leading '%' would begin a
    // weight; after an explicit full weight it is a letter.
    if (answer.contains("->")) report.matchingAnswers.push_back(number);
    const char* weight = answer.trimmed().startsWith('%') ? "%100%" : "";
    if (number > 1) out += '\n';
    out += u"::Question ";
    out += QString::number(number);
    out += u":: [html]";
    AppendEscaped(out, html, false);
    out += u" {=";
    out += QLatin1StringView(weight);
    AppendEscaped(out, answer, true);
    out += u"}\n";
  }
  return out.toUtf8();
}

PlatformImport ReadGift(std::string_view bytes) {
  PlatformImport result;
  result.format = ExchangeFormat::Gift;
  const QString text = exchange::DecodePlatformText(bytes);
  Block block;
  bool answersOpen = false;
  auto finish = [&] {
    if (!QStringView(block.text).trimmed().isEmpty()) ReadBlock(block, result);
    block.text.truncate(0);  // keeps its room for the next question
    answersOpen = false;
  };
  int number = 0;
  for (qsizetype at = 0; at <= text.size() && !result.Failed();) {
    // A line ends at LF, CR LF or a lone CR.
    qsizetype end = text.indexOf(u'\n', at);
    if (end < 0) end = text.size();
    qsizetype next = end + 1;
    const qsizetype cr = QStringView(text).mid(at, end - at).indexOf(u'\r');
    if (cr >= 0) {
      const bool pair = at + cr + 1 == end && end < text.size();
      end = at + cr;
      if (!pair) next = end + 1;
    }
    const QStringView line = QStringView(text).mid(at, end - at);
    at = next;
    ++number;
    const QStringView trimmed = line.trimmed();
    if (trimmed.startsWith(u"//")) {
      if (!block.text.isEmpty()) block.text += '\n';  // keeps the line numbers of faults
    } else if (trimmed.startsWith(u"$CATEGORY:", Qt::CaseInsensitive)) {
      finish();
    } else if (trimmed.isEmpty()) {
      // A blank line ends a question, unless its answers are still open.
      if (answersOpen) block.text += '\n';
      else finish();
    } else {
      if (block.text.isEmpty()) block.firstLine = number;
      block.text += line;
      block.text += '\n';
      answersOpen = AnswersOpen(line, answersOpen);
    }
  }
  if (!result.Failed()) finish();
  return result;
}

}  // namespace quizloom
