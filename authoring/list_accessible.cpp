#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "authoring/blank_window.h"
#include "editor/accessible_text.h"
#include "platform/code_page.h"
#include "platform/scroller.h"

namespace quizloom {

namespace {

// Appends a question's letters, or its answer's, as they are heard.
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
  platform::TAccessibleView view;
  // A list from the start, so that a reader never meets the window as anything else.
  view.isList = true;
  view.name = u"Questions";
  const int width = GetClientRect().Width();
  if (openTest.questions.IsEmpty()) {
    for (const char* hint : {kOpenHint, kNewHint})
      view.description += platform::Cp1252ToUtf16(std::string(hint) + ". ");
    view.description.pop_back();
    return view;
  }
  const platform::TScroller& scroller = *Scroller();
  const int scrolled = scroller.YPos() * scroller.YUnit();
  const int current = CurrentQuestionIndex();
  // Every question is an item, so a reader counts them all; only the current one is
  // selected and takes the focus, and it is the one the list shows at its top.
  for (const TPlacedQuestion& placed : PlaceQuestions(scroller.YUnit(), 0, INT32_MAX).questions) {
    const core::TQuestion& question = openTest.questions[placed.index];
    TAccessibleNode item;
    item.role = platform::TAccessibleRole::ListItem;
    editor::AppendPlainText(item, std::to_string(placed.index + 1) + ". ");
    AppendLetters(item, question.text);
    editor::AppendPlainText(item, "\nAnswer:  ");
    AppendLetters(item, question.answer);
    item.cells.clear();
    item.name = item.text;
    for (char16_t& c : item.name)
      if (c == u'\n') c = u' ';
    const std::size_t pictureLength = strnlen(question.picture, sizeof question.picture);
    if (pictureLength > 0)
      item.description = u"Picture: " + platform::Cp1252ToUtf16({question.picture, pictureLength});
    item.selected = placed.index == current;
    item.focused = item.selected && hasFocus();
    item.bounds = {0, placed.top - scrolled, width, placed.top + placed.height - scrolled};
    view.nodes.push_back(std::move(item));
  }
  return view;
}

}  // namespace quizloom
