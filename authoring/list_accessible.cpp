#include <cstring>
#include <string>
#include <vector>

#include "authoring/blank_window.h"
#include "editor/accessible_text.h"
#include "platform/code_page.h"
#include "platform/scroller.h"

namespace quizloom {

namespace {

// Appends a question's letters, or its answer's, as they are shown.
void AppendLetters(platform::TAccessibleNode& node, const std::vector<core::TLetter>& letters) {
  std::string text;
  std::vector<int32_t> marks;
  for (const core::TLetter& letter : letters) {
    text.push_back(static_cast<char>(letter.ch));
    marks.push_back(letter.mark);
  }
  editor::AppendShownText(node, text.data(), marks.data(), static_cast<int>(text.size()), {});
}

}  // namespace

platform::TAccessibleView TBlankWindow::AccessibleView() {
  using platform::TAccessibleNode;
  using platform::TAccessibleRole;
  platform::TAccessibleView view;
  const int width = GetClientRect().Width();
  if (openTest.questions.IsEmpty()) {
    int top = 5;
    for (const char* hint : {kOpenHint, kNewHint}) {
      TAccessibleNode label;
      label.name = label.text = platform::Cp1252ToUtf16(hint);
      label.marks.assign(label.text.size(), 0);
      label.bounds = {5, top, width, top + 15};
      top += 15;
      view.nodes.push_back(std::move(label));
    }
    return view;
  }
  view.isList = true;
  view.name = u"Questions";
  const platform::TScroller& scroller = *Scroller();
  const int lineHeight = scroller.YUnit();
  const int firstLine = scroller.YPos();
  const int scrolled = firstLine * lineHeight;
  const TPlacement placement =
      PlaceQuestions(lineHeight, firstLine, firstLine + std::max(scroller.YPage() - 1, 0));
  for (const TPlacedQuestion& placed : placement.questions) {
    const core::TQuestion& question = openTest.questions[placed.index];
    TAccessibleNode item;
    item.role = TAccessibleRole::ListItem;
    editor::AppendPlainText(item, std::to_string(placed.index + 1) + ". ");
    AppendLetters(item, question.text);
    editor::AppendPlainText(item, "\nAnswer:  ");
    AppendLetters(item, question.answer);
    item.cells.clear();
    item.name = item.text;
    for (char16_t& c : item.name)
      if (c == u'\n') c = u' ';
    // The question at the top of the view is the one the list stands on.
    item.selected = view.nodes.empty();
    item.focused = item.selected && hasFocus();
    item.bounds = {0, placed.top - scrolled, width, placed.top + placed.height - scrolled};
    view.nodes.push_back(std::move(item));
    if (question.picture[0] != '\0') {
      TAccessibleNode picture;
      picture.role = TAccessibleRole::Picture;
      picture.name = platform::Cp1252ToUtf16({question.picture, strnlen(question.picture, sizeof question.picture)});
      view.nodes.push_back(std::move(picture));
    }
  }
  return view;
}

}  // namespace quizloom
