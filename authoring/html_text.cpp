#include "authoring/html_text.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include <QUrl>

#include "editor/formatted_text.h"
#include "platform/code_page.h"

namespace quizloom::exchange {

namespace {

struct NamedReference {
  std::string_view name;  // as written after '&': with ';', or a legacy name browsers take without
  char32_t first;
  char32_t second;  // 0 unless the name stands for two characters
};

constexpr NamedReference kNamedReferences[] = {
#include "authoring/html_entities.inc"
};

constexpr bool NameBefore(const NamedReference& reference, std::string_view name) {
  return reference.name < name;
}
static_assert(std::is_sorted(std::begin(kNamedReferences), std::end(kNamedReferences),
                             [](const NamedReference& a, const NamedReference& b) { return a.name < b.name; }));

// The longest name, and the longest of those without ';', bound how far a reference is read.
constexpr std::size_t LongestName(bool legacyOnly) {
  std::size_t longest = 0;
  for (const NamedReference& reference : kNamedReferences)
    if (!legacyOnly || reference.name.back() != ';') longest = std::max(longest, reference.name.size());
  return longest;
}
constexpr std::size_t kLongestName = LongestName(false);
constexpr std::size_t kLongestLegacyName = LongestName(true);

const NamedReference* FindName(std::string_view name) {
  const auto* end = std::end(kNamedReferences);
  const auto* found = std::lower_bound(std::begin(kNamedReferences), end, name, NameBefore);
  return found != end && found->name == name ? found : nullptr;
}

bool IsAsciiLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char16_t c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char16_t c) { return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsHtmlSpace(char16_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// What a numbered reference shows: bytes 0x80-0x9F as Windows-1252 read them, as browsers do.
char32_t NumberedCharacter(char32_t value) {
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0xFFFD;
  if (value >= 0x80 && value <= 0x9F) return platform::Cp1252ToCodePoint(static_cast<unsigned char>(value)).value_or(value);
  return value;
}

struct Reference {
  char32_t first = 0;
  char32_t second = 0;
  qsizetype length = 0;  // from the '&' on
};

// The character reference at text[at] == '&' as a browser reads it in text, or nothing when
// the '&' is a letter of its own. Legacy names are taken without ';', even before letters.
std::optional<Reference> ReadReference(QStringView text, qsizetype at) {
  qsizetype i = at + 1;
  if (i < text.size() && text[i] == u'#') {
    const bool hex = ++i < text.size() && (text[i] == u'x' || text[i] == u'X');
    if (hex) ++i;
    const qsizetype digits = i;
    char32_t value = 0;
    for (; i < text.size() && (hex ? IsHexDigit(text[i].unicode()) : IsAsciiDigit(text[i].unicode())); ++i) {
      const char16_t c = text[i].unicode();
      const char32_t digit = IsAsciiDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
      value = std::min<char32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
    }
    if (i == digits) return std::nullopt;
    if (i < text.size() && text[i] == u';') ++i;
    return Reference{NumberedCharacter(value), 0, i - at};
  }
  char name[kLongestName + 1];
  std::size_t length = 0;
  for (; i < text.size() && length < kLongestName &&
         (IsAsciiLetter(text[i].unicode()) || IsAsciiDigit(text[i].unicode()));
       ++i)
    name[length++] = static_cast<char>(text[i].unicode());
  if (length == 0) return std::nullopt;
  if (i < text.size() && text[i] == u';') {
    name[length] = ';';
    if (const NamedReference* found = FindName({name, length + 1}))
      return Reference{found->first, found->second, static_cast<qsizetype>(length) + 2};
  }
  for (std::size_t n = std::min(length, kLongestLegacyName); n > 0; --n)
    if (const NamedReference* found = FindName({name, n}))
      return Reference{found->first, found->second, static_cast<qsizetype>(n) + 1};
  return std::nullopt;
}

// Elements whose start and end begin a new line.
constexpr std::string_view kBlocks[] = {
    "address", "article", "aside", "blockquote", "caption", "center", "dd", "details", "div",
    "dl", "dt", "fieldset", "figcaption", "figure", "footer", "form", "h1", "h2", "h3", "h4",
    "h5", "h6", "header", "hr", "legend", "li", "main", "nav", "ol", "p", "pre", "section",
    "summary", "table", "tr", "ul"};
// Elements whose content is not shown at all.
constexpr std::string_view kHidden[] = {"script", "style", "title"};

template <std::size_t N>
bool OneOf(std::string_view name, const std::string_view (&names)[N]) {
  return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// Takes the characters shown as a test's letters: a no-break space is a space, and what
// Windows-1252 cannot hold becomes '?' and is counted. '\r' is a line break.
class LetterSink {
 public:
  LetterSink(core::TLetters& letters, int& replaced, qsizetype size) : letters_(letters), replaced_(replaced) {
    letters_.reserve(static_cast<std::size_t>(std::min<qsizetype>(size, editor::kQuestionLimit + 1)));
  }
  bool Empty() const { return letters_.empty(); }
  void Add(char32_t c, int32_t mark) {
    letters_.emplace_back(c >= 0x20 && c < 0x7F ? static_cast<unsigned char>(c) : Letter(c), mark);
  }
  // Printable ASCII only.
  void AddWord(QStringView word, int32_t mark) {
    const std::size_t at = letters_.size();
    letters_.resize(at + static_cast<std::size_t>(word.size()));
    for (qsizetype i = 0; i < word.size(); ++i)
      letters_[at + static_cast<std::size_t>(i)] = {static_cast<unsigned char>(word[i].unicode()), mark};
  }

 private:
  unsigned char Letter(char32_t c) {
    const std::optional<unsigned char> byte = platform::CodePointToCp1252(c == 0xA0 ? ' ' : c);
    if (byte && *byte != 0 && (*byte >= 0x20 || *byte == '\r')) return *byte;
    ++replaced_;
    return '?';
  }

  core::TLetters& letters_;
  int& replaced_;
};

// Takes them as plain text on one line.
class PlainSink {
 public:
  bool Empty() const { return text.isEmpty(); }
  void AddWord(QStringView word, int32_t) { text += word; }
  void Add(char32_t c, int32_t) {
    if (c == '\r') text += ' ';
    else if (QChar::requiresSurrogates(c)) text += QString::fromUcs4(&c, 1);
    else text += QChar(static_cast<char16_t>(c));
  }
  QString text;
};

// Walks HTML as a browser lays out its text, handing each character shown to the sink.
template <class Sink>
class Reducer {
 public:
  Reducer(QStringView html, bool lineEndsBreak, Sink& sink)
      : html_(html), lineEndsBreak_(lineEndsBreak), sink_(sink) {}

  void Run() {
    const qsizetype size = html_.size();
    for (qsizetype i = 0; i < size; ++i) {
      const char16_t c = html_[i].unicode();
      switch (KindOf(c)) {
        case Kind::Word: {
          // Most of a text: a word of ASCII letters, taken at once.
          qsizetype end = i + 1;
          while (end < size && KindOf(html_[end].unicode()) == Kind::Word) ++end;
          Put(c);
          sink_.AddWord(html_.mid(i + 1, end - i - 1), marks_.empty() ? core::kNormal : marks_.back());
          i = end - 1;
          break;
        }
        case Kind::Markup:
          i = Markup(i);
          break;
        case Kind::Reference:
          if (const std::optional<Reference> reference = ReadReference(html_, i)) {
            Put(reference->first);
            if (reference->second) Put(reference->second);
            i += reference->length - 1;
          } else {
            Put('&');
          }
          break;
        case Kind::Space:
          i = Spaces(i);
          break;
        case Kind::Other:
          if (QChar::isHighSurrogate(c) && i + 1 < size && html_[i + 1].isLowSurrogate())
            Put(QChar::surrogateToUcs4(c, html_[++i].unicode()));
          else
            Put(c);
          break;
      }
    }
  }

 private:
  // What an ASCII character begins: a word of letters, markup, a reference or spaces.
  enum class Kind : uint8_t { Other, Word, Markup, Reference, Space };
  static constexpr std::array<Kind, 128> kKinds = [] {
    std::array<Kind, 128> kinds{};
    for (std::size_t c = '!'; c < 0x7F; ++c) kinds[c] = Kind::Word;
    kinds['<'] = Kind::Markup;
    kinds['&'] = Kind::Reference;
    for (char c : {' ', '\t', '\n', '\r', '\f'}) kinds[static_cast<std::size_t>(c)] = Kind::Space;
    return kinds;
  }();
  static Kind KindOf(char16_t c) { return c < 0x80 ? kKinds[c] : Kind::Other; }

  void Put(char32_t c) {
    if (breaks_ > 0 || spaces_ > 0 || layoutSpace_) {
      // What waits comes before the letter, but never first.
      if (!sink_.Empty()) {
        if (breaks_ > 0) {
          for (int k = 0; k < breaks_; ++k) sink_.Add('\r', core::kNormal);
        } else {
          for (int k = 0; k < std::max(spaces_, 1); ++k) sink_.Add(' ', core::kNormal);
        }
      }
      breaks_ = spaces_ = 0;
      layoutSpace_ = false;
    }
    sink_.Add(c, marks_.empty() ? core::kNormal : marks_.back());
  }

  // A line break drops the spaces before and after it; a block's edge makes one at most.
  void Break(bool block) {
    breaks_ = block ? std::max(breaks_, 1) : breaks_ + 1;
    spaces_ = 0;
    layoutSpace_ = false;
  }

  // A run of spaces typed as such is the teacher's; one holding a tab or a line end is the
  // source's layout, one space at most, unless line ends show as breaks.
  qsizetype Spaces(qsizetype i) {
    const bool breaking = lineEndsBreak_ || preformatted_ > 0;
    int typed = 0;
    bool layout = false;
    for (; i < html_.size() && IsHtmlSpace(html_[i].unicode()); ++i) {
      const char16_t c = html_[i].unicode();
      if (c == ' ') {
        ++typed;
      } else if (breaking && (c == '\n' || c == '\r')) {
        if (!(c == '\n' && i > 0 && html_[i - 1] == u'\r')) Break(false);
        typed = 0;
        layout = false;
      } else {
        layout = true;
      }
    }
    if (layout) layoutSpace_ = true;
    else spaces_ += typed;
    return i - 1;
  }

  // The '>' ending a tag whose name ends before at, past quoted attribute values; -1 if none.
  qsizetype TagEnd(qsizetype at) const {
    bool afterEquals = false;
    for (; at < html_.size(); ++at) {
      const char16_t c = html_[at].unicode();
      if (c == '>') return at;
      if (afterEquals && (c == '"' || c == '\'')) {
        at = html_.indexOf(QChar(c), at + 1);
        if (at < 0) return -1;
        afterEquals = false;
      } else if (c == '=') {
        afterEquals = true;
      } else if (!IsHtmlSpace(c)) {
        afterEquals = false;
      }
    }
    return -1;
  }

  qsizetype SkipTo(QChar c, qsizetype from) const {
    const qsizetype at = html_.indexOf(c, from);
    return at < 0 ? html_.size() - 1 : at;
  }

  // Reads the markup at html_[i] == '<' and returns where it ends. A '<' that begins no tag
  // is a letter; a tag cut off by the end of the text shows nothing.
  qsizetype Markup(qsizetype i) {
    const qsizetype size = html_.size();
    if (html_.mid(i).startsWith(u"<!--")) {
      const qsizetype end = html_.indexOf(u"-->", i + 2);
      return end < 0 ? size - 1 : end + 2;
    }
    if (i + 1 < size && (html_[i + 1] == u'!' || html_[i + 1] == u'?')) return SkipTo(u'>', i);
    const bool closing = i + 1 < size && html_[i + 1] == u'/';
    qsizetype at = i + 1 + (closing ? 1 : 0);
    if (at >= size || !IsAsciiLetter(html_[at].unicode())) {
      if (closing) return SkipTo(u'>', at);
      Put('<');
      return i;
    }
    char name[12];
    std::size_t length = 0;
    for (; at < size && !IsHtmlSpace(html_[at].unicode()) && html_[at] != u'/' && html_[at] != u'>'; ++at)
      if (length < sizeof name) name[length++] = static_cast<char>(html_[at].toLatin1() | 0x20);
    const std::string_view tag = length < sizeof name ? std::string_view(name, length) : std::string_view();
    const qsizetype end = TagEnd(at);
    if (end < 0) return size - 1;
    Element(tag, closing);
    if (closing || !OneOf(tag, kHidden)) return end;
    // Hidden content runs to the element's end tag, or to the end of the text.
    const QString endTag = "</" + QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size()));
    const qsizetype close = html_.indexOf(endTag, end, Qt::CaseInsensitive);
    if (close < 0) return size - 1;
    const qsizetype closeEnd = TagEnd(close + endTag.size());
    return closeEnd < 0 ? size - 1 : closeEnd;
  }

  void Element(std::string_view tag, bool closing) {
    if (tag == "sup" || tag == "sub") {
      const int32_t mark = tag == "sup" ? core::kSuperscript : core::kSubscript;
      if (!closing) {
        marks_.push_back(mark);
        return;
      }
      const auto open = std::find(marks_.rbegin(), marks_.rend(), mark);
      if (open != marks_.rend()) marks_.erase(std::next(open).base());
    } else if (tag == "br") {
      Break(false);
    } else if (OneOf(tag, kBlocks)) {
      Break(true);
      if (tag == "pre") preformatted_ = std::max(0, preformatted_ + (closing ? -1 : 1));
    } else if (tag == "td" || tag == "th") {
      layoutSpace_ = true;
    }
  }

  QStringView html_;
  bool lineEndsBreak_;
  Sink& sink_;
  std::vector<int32_t> marks_;  // open <sup>/<sub>, innermost last
  int breaks_ = 0;              // breaks wait for text, so none lead or trail
  int spaces_ = 0;              // typed spaces waiting for the next letter
  bool layoutSpace_ = false;    // the source's layout or a cell's edge: one space
  int preformatted_ = 0;        // open <pre> elements, whose line ends break
};

void PlainText(QStringView text, LetterSink& sink) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    if (c == '\n' || c == '\r') sink.Add('\r', core::kNormal);
    else if (c == '\t') sink.Add(' ', core::kNormal);
    else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
      sink.Add(QChar::surrogateToUcs4(c, text[++i].unicode()), core::kNormal);
    else sink.Add(c, core::kNormal);
  }
}

}  // namespace

core::TLetters ShownLetters(QStringView text, TextFormat format, int& replaced) {
  core::TLetters letters;
  LetterSink sink(letters, replaced, text.size());
  if (format == TextFormat::Plain) PlainText(text, sink);
  else Reducer(text, format == TextFormat::AutoFormat, sink).Run();
  auto blank = [](const core::TLetter& letter) { return letter.ch == ' ' || letter.ch == '\r'; };
  while (!letters.empty() && blank(letters.back())) letters.pop_back();
  letters.erase(letters.begin(), std::find_if_not(letters.begin(), letters.end(), blank));
  return letters;
}

QString ShownPlainText(QStringView html) {
  PlainSink sink;
  Reducer(html, false, sink).Run();
  return sink.text.trimmed();
}

QString PictureSource(QStringView html) {
  const qsizetype size = html.size();
  for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
    qsizetype i = at + 4;
    auto is = [&](qsizetype k, char16_t lower) { return k < size && (html[k].unicode() | 0x20) == lower; };
    if (!is(at + 1, 'i') || !is(at + 2, 'm') || !is(at + 3, 'g') || (i < size && !IsHtmlSpace(html[i].unicode())))
      continue;  // another element, "<imgx" too
    // Attributes up to the tag's end: a name, then maybe '=' and a value, quoted or not.
    while (i < size && html[i] != u'>') {
      while (i < size && (IsHtmlSpace(html[i].unicode()) || html[i] == u'/')) ++i;
      const qsizetype name = i;
      while (i < size && !IsHtmlSpace(html[i].unicode()) && html[i] != u'=' && html[i] != u'>' && html[i] != u'/') ++i;
      const bool source = html.mid(name, i - name).compare(u"src", Qt::CaseInsensitive) == 0;
      while (i < size && IsHtmlSpace(html[i].unicode())) ++i;
      if (i >= size || html[i] != u'=') continue;
      for (++i; i < size && IsHtmlSpace(html[i].unicode());) ++i;
      qsizetype begin = i, end = i;
      if (i < size && (html[i] == u'"' || html[i] == u'\'')) {
        begin = i + 1;
        end = html.indexOf(html[i], begin);
        if (end < 0) return {};
        i = end + 1;
      } else {
        while (i < size && !IsHtmlSpace(html[i].unicode()) && html[i] != u'>') ++i;
        end = i;
      }
      if (source) return html.mid(begin, end - begin).trimmed().toString();
    }
  }
  return {};
}

QString SourceFileName(QStringView source) {
  if (source.isEmpty()) return {};
  if (source.startsWith(u"data:", Qt::CaseInsensitive)) return "picture";
  QStringView path = source;
  const qsizetype query = path.indexOf(u'?');
  if (query >= 0) path.truncate(query);
  path = path.mid(path.lastIndexOf(u'/') + 1);
  return QUrl::fromPercentEncoding(path.toUtf8());
}

}  // namespace quizloom::exchange
