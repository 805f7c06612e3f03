#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/accessible_view.h"

namespace {

using platform::TAccessibleChange;
using platform::TAccessibleNode;
using platform::TAccessibleRole;
using platform::TAccessibleView;

TAccessibleNode Text(TAccessibleRole role, const std::string& text, int caret = -1,
                     std::vector<int32_t> marks = {}) {
  TAccessibleNode node;
  node.role = role;
  node.text = text;
  node.marks = marks.empty() ? std::vector<int32_t>(text.size()) : marks;
  node.caret = caret;
  return node;
}

TAccessibleView View(std::vector<TAccessibleNode> nodes) { return {false, "", std::move(nodes)}; }

std::string Describe(const std::vector<TAccessibleChange>& changes) {
  static const char* kNames[] = {"added",  "removed",   "text-",   "text+", "replaced", "marks",
                                 "caret",  "selection", "name",    "focus", "state"};
  std::string out;
  for (const TAccessibleChange& c : changes)
    out += std::string(kNames[c.kind]) + " " + std::to_string(c.node) + " " +
           std::to_string(c.position) + (c.kind == TAccessibleChange::SelectionChanged
                                             ? "-" + std::to_string(c.end)
                                             : "") +
           (c.text.empty() ? "" : " '" + c.text + "'") + "; ";
  return out;
}

TEST(AccessibleView, ChangesAreToldAsAScreenReaderExpectsThem) {
  const auto edit = TAccessibleRole::EditableText;
  const auto read = TAccessibleRole::Text;
  TAccessibleNode selected = Text(edit, "H2O", 3);
  selected.selectionStart = 1;
  selected.selectionEnd = 3;
  TAccessibleNode focused = Text(edit, "H2O", 3);
  focused.focused = true;
  TAccessibleNode renamed = Text(edit, "H2O", 3);
  renamed.name = "Answer";
  struct Case {
    const char* what;
    std::vector<TAccessibleNode> before, after;
    std::string changes;
  } cases[] = {
      {"nothing", {Text(edit, "H2O", 3)}, {Text(edit, "H2O", 3)}, ""},
      {"typed at the end", {Text(edit, "H2", 2)}, {Text(edit, "H2O", 3)}, "text+ 0 2 'O'; caret 0 3; "},
      {"typed in the middle", {Text(edit, "HO", 1)}, {Text(edit, "H2O", 2)},
       "text+ 0 1 '2'; caret 0 2; "},
      {"a doubled letter", {Text(edit, "aa", 2)}, {Text(edit, "aaa", 3)}, "text+ 0 2 'a'; caret 0 3; "},
      {"backspace", {Text(edit, "H2O", 2)}, {Text(edit, "HO", 1)}, "text- 0 1 '2'; caret 0 1; "},
      {"a rewrap replaces a space by a break", {Text(edit, "ab cd", 5)}, {Text(edit, "ab\ncd", 5)},
       "text- 0 2 ' '; text+ 0 2 '\n'; caret 0 5; "},
      {"caret only", {Text(edit, "H2O", 3)}, {Text(edit, "H2O", 1)}, "caret 0 1; "},
      {"the 2 lowered", {Text(edit, "H2O", 1)}, {Text(edit, "H2O", 1, {0, 2, 0})}, "marks 0 0; "},
      {"selection", {Text(edit, "H2O", 3)}, {selected}, "selection 0 1-3; "},
      {"focus", {Text(edit, "H2O", 3)}, {focused}, "state 0 0; focus 0 0; "},
      {"name", {Text(edit, "H2O", 3)}, {renamed}, "name 0 0; "},
      {"the next question is read whole", {Text(read, "Question Number 1\nA?")},
       {Text(read, "Question Number 2\nB?")}, "replaced 0 0 'Question Number 1\nA?'; "},
      {"a picture comes", {Text(edit, "")}, {Text(edit, ""), Text(TAccessibleRole::Picture, "")},
       "added 1 0; "},
      {"a picture goes", {Text(edit, ""), Text(TAccessibleRole::Picture, "")}, {Text(edit, "")},
       "removed 1 0; "},
      {"another kind of part", {Text(TAccessibleRole::Label, "x")}, {Text(read, "x")},
       "removed 0 0; added 0 0; "},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Describe(platform::CompareViews(View(c.before), View(c.after))), c.changes) << c.what;
}

TEST(AccessibleView, MarkAttributesGiveTheRunOfTheLetter) {
  const TAccessibleNode node = Text(TAccessibleRole::Text, "x2y3z", -1, {0, 1, 1, 2, 0});
  struct Case {
    int offset;
    std::string attributes;
    int start, end;
  } cases[] = {
      {0, "text-position:baseline;", 0, 1}, {1, "text-position:super;", 1, 3},
      {2, "text-position:super;", 1, 3},    {3, "text-position:sub;", 3, 4},
      {4, "text-position:baseline;", 4, 5}, {5, "", 5, 5},
      {-1, "", 0, 0},
  };
  for (const Case& c : cases) {
    int start = -7, end = -7;
    EXPECT_EQ(platform::MarkAttributes(node, c.offset, start, end), c.attributes) << c.offset;
    EXPECT_EQ(start, c.start) << c.offset;
    EXPECT_EQ(end, c.end) << c.offset;
  }
}

}  // namespace
