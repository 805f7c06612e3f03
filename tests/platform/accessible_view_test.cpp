#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/accessible_view.h"

namespace {

using platform::TAccessibleChange;
using platform::TAccessibleNode;
using platform::TAccessibleRole;
using platform::TAccessibleView;
constexpr TAccessibleRole kEdit = TAccessibleRole::EditableText;
constexpr TAccessibleRole kRead = TAccessibleRole::Text;
constexpr TAccessibleRole kItem = TAccessibleRole::ListItem;

// A part with its text, caret, marks ("020" for a lowered second letter) and, after a '/' in
// flags, its selection as "/1-3"; "f" in flags for focused, "s" for selected, "i" for another
// identity, and after a '#' its description.
TAccessibleNode Part(TAccessibleRole role, const std::string& text, int caret = -1,
                     const std::string& marks = "", const std::string& flags = "") {
  TAccessibleNode node;
  node.role = role;
  node.text.assign(text.begin(), text.end());
  for (std::size_t i = 0; i < text.size(); ++i)
    node.marks.push_back(i < marks.size() ? marks[i] - '0' : 0);
  node.caret = caret;
  node.focused = flags.find('f') != std::string::npos;
  node.selected = flags.find('s') != std::string::npos;
  node.identity = flags.find('i') != std::string::npos ? 1 : 0;
  if (auto hash = flags.find('#'); hash != std::string::npos)
    node.description.assign(flags.begin() + static_cast<long>(hash) + 1, flags.end());
  if (auto slash = flags.find('/'); slash != std::string::npos)
    std::sscanf(flags.c_str() + slash, "/%d-%d", &node.selectionStart, &node.selectionEnd);
  return node;
}

std::string Describe(const std::vector<TAccessibleChange>& changes) {
  static const char* kNames[] = {"added", "removed",     "text-", "text+", "replaced",
                                 "marks", "caret",       "selection", "name", "description",
                                 "focus", "unfocus", "selected"};
  std::string out;
  for (const TAccessibleChange& c : changes)
    out += std::string(kNames[c.kind]) + " " + std::to_string(c.node) + " " +
           std::to_string(c.position) +
           (c.kind == TAccessibleChange::SelectionChanged ? "-" + std::to_string(c.end) : "") +
           (c.text.empty() ? "" : " '" + std::string(c.text.begin(), c.text.end()) + "'") + "; ";
  return out;
}

TEST(AccessibleView, ChangesAreToldAsAScreenReaderExpectsThem) {
  const TAccessibleNode picture = Part(TAccessibleRole::Picture, "");
  struct Case {
    const char* what;
    std::vector<TAccessibleNode> before, after;
    std::string changes;
  } cases[] = {
      {"nothing", {Part(kEdit, "H2O", 3)}, {Part(kEdit, "H2O", 3)}, ""},
      {"typed", {Part(kEdit, "H2", 2)}, {Part(kEdit, "H2O", 3)}, "text+ 0 2 'O'; caret 0 3; "},
      {"inside", {Part(kEdit, "HO", 1)}, {Part(kEdit, "H2O", 2)}, "text+ 0 1 '2'; caret 0 2; "},
      {"doubled", {Part(kEdit, "aa", 2)}, {Part(kEdit, "aaa", 3)}, "text+ 0 2 'a'; caret 0 3; "},
      {"backspace", {Part(kEdit, "H2O", 2)}, {Part(kEdit, "HO", 1)}, "text- 0 1 '2'; caret 0 1; "},
      {"rewrapped", {Part(kEdit, "ab cd", 5)}, {Part(kEdit, "ab\ncd", 5)},
       "text- 0 2 ' '; text+ 0 2 '\n'; caret 0 5; "},
      {"caret only", {Part(kEdit, "H2O", 3)}, {Part(kEdit, "H2O", 1)}, "caret 0 1; "},
      {"the 2 lowered", {Part(kEdit, "H2O", 1)}, {Part(kEdit, "H2O", 1, "020")}, "marks 0 0; "},
      {"selection", {Part(kEdit, "H2O", 3)}, {Part(kEdit, "H2O", 3, "", "/1-3")},
       "selection 0 1-3; "},
      {"focus", {Part(kEdit, "H2O", 3)}, {Part(kEdit, "H2O", 3, "", "f")}, "focus 0 0; "},
      // A part that takes the focus is read whole: its new description is not told apart.
      {"focus with a description", {Part(kEdit, "", 0)}, {Part(kEdit, "", 0, "", "f#Q")},
       "focus 0 0; "},
      // Another edit's answer is a new part: the reader comes to it afresh and reads it whole.
      {"another edit", {Part(kEdit, "H2O", 3, "", "f")}, {Part(kEdit, "", 0, "", "fi")},
       "removed 0 0; added 0 0; focus 0 0; "},
      {"the list moves on", {Part(kItem, "1", -1, "", "fs"), Part(kItem, "2")},
       {Part(kItem, "1"), Part(kItem, "2", -1, "", "fs")},
       "unfocus 0 0; selected 0 0; focus 1 0; selected 1 0; "},
      {"the next question is read whole", {Part(kRead, "Question Number 1\nA?")},
       {Part(kRead, "Question Number 2\nB?")}, "replaced 0 0 'Question Number 1\nA?'; "},
      {"a picture comes", {Part(kEdit, "")}, {Part(kEdit, ""), picture}, "added 1 0; "},
      {"a picture goes", {Part(kEdit, ""), picture}, {Part(kEdit, "")}, "removed 1 0; "},
      {"another kind of part", {Part(TAccessibleRole::Label, "x")}, {Part(kRead, "x")},
       "removed 0 0; added 0 0; "},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Describe(platform::CompareViews({false, u"", {}, c.before}, {false, u"", {}, c.after})),
              c.changes)
        << c.what;
  // A renamed window tells its focused part again, then its new description, then the rest.
  const std::vector<TAccessibleNode> answer = {Part(kEdit, "", 0, "", "f")};
  EXPECT_EQ(Describe(platform::CompareViews({false, u"Question Number 1", {}, answer},
                                            {false, u"Question Number 2", {}, answer})),
            "focus 0 0; ");
  EXPECT_EQ(Describe(platform::CompareViews({false, u"1", {}, {Part(kEdit, "a", 1, "", "f#A")}},
                                            {false, u"2", {}, {Part(kEdit, "", 0, "", "f#B")}})),
            "focus 0 0; description 0 0; text- 0 0 'a'; caret 0 0; ");
}

TEST(AccessibleView, MarkAttributesGiveTheRunOfTheLetter) {
  const TAccessibleNode node = Part(kRead, "x2y3z", -1, "01120");
  const std::vector<std::string> expected = {
      "0 0-1 text-position:baseline;", "1 1-3 text-position:super;", "2 1-3 text-position:super;",
      "3 3-4 text-position:sub;", "4 4-5 text-position:baseline;", "5 5-5 ", "-1 0-0 "};
  for (const std::string& row : expected) {
    const int offset = std::stoi(row);
    int start = -7, end = -7;
    const std::string attributes = platform::MarkAttributes(node, offset, start, end);
    EXPECT_EQ(std::to_string(offset) + " " + std::to_string(start) + "-" + std::to_string(end) +
                  " " + attributes,
              row);
  }
}

}  // namespace
