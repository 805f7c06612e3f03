#include "editor/accessible_text.h"

#include "core/mark_forms.h"
#include "core/records.h"
#include "platform/code_page.h"

namespace editor {

namespace {

const char16_t* MarkWord(int32_t mark) {
  return mark == core::kSuperscript ? u"raised" : u"lowered";
}

// A marked letter Unicode has no raised or lowered form for.
bool Unheard(char letter, int32_t mark) {
  return mark != core::kNormal && !core::MarkedForm(static_cast<unsigned char>(letter), mark);
}

void AppendWord(platform::TAccessibleNode& node, std::u16string_view word,
                const platform::TRect& cell) {
  for (char16_t c : word) {
    node.text.push_back(c);
    node.marks.push_back(core::kNormal);
    node.cells.push_back(cell);
  }
}

// A word is set apart from the letter before it unless a space or line break already is.
bool NeedsSpaceBefore(const platform::TAccessibleNode& node) {
  return !node.text.empty() && node.text.back() != u' ' && node.text.back() != u'\n';
}

}  // namespace

std::vector<int> AppendShownText(platform::TAccessibleNode& node, const char* text,
                                 const int32_t* marks, int length, const TLetterCells& cells) {
  std::vector<int> offsets(static_cast<std::size_t>(length) + 1);
  int x = cells.left;
  int y = cells.top;
  int32_t openRun = core::kNormal;  // the mark of the worded run the last letter is in
  for (int i = 0; i < length; ++i) {
    // The line feed of a wrap break belongs to the carriage return before it.
    if (text[i] == '\n' && i > 0 && text[i - 1] == '\r') {
      offsets[static_cast<std::size_t>(i)] = static_cast<int>(node.text.size());
      continue;
    }
    const bool lineBreak = text[i] == '\r' || text[i] == '\n';
    const int32_t mark = lineBreak ? core::kNormal : marks[i];
    const platform::TRect cell{x, y, x + cells.width, y + cells.height};
    const int32_t run = Unheard(text[i], mark) ? mark : core::kNormal;
    if (openRun != core::kNormal && run != openRun) {
      AppendWord(node, u" normal", cell);
      if (!lineBreak && text[i] != ' ') AppendWord(node, u" ", cell);
    }
    if (run != core::kNormal && run != openRun) {
      if (NeedsSpaceBefore(node)) AppendWord(node, u" ", cell);
      AppendWord(node, MarkWord(run), cell);
      AppendWord(node, u" ", cell);
    }
    openRun = run;
    offsets[static_cast<std::size_t>(i)] = static_cast<int>(node.text.size());
    const char32_t form = core::MarkedForm(static_cast<unsigned char>(text[i]), mark);
    node.text.push_back(lineBreak ? u'\n'
                        : form    ? static_cast<char16_t>(form)
                                  : platform::Cp1252ToUtf16(static_cast<unsigned char>(text[i])));
    node.marks.push_back(mark);
    node.cells.push_back(cell);
    if (lineBreak) {
      x = cells.left;
      y += cells.height;
    } else {
      x += cells.width;
    }
  }
  if (openRun != core::kNormal)
    AppendWord(node, u" normal", {x, y, x + cells.width, y + cells.height});
  offsets[static_cast<std::size_t>(length)] = static_cast<int>(node.text.size());
  return offsets;
}

void AppendPlainText(platform::TAccessibleNode& node, std::string_view text) {
  node.text += platform::Cp1252ToUtf16(text);
  node.marks.resize(node.text.size(), core::kNormal);
}

}  // namespace editor
