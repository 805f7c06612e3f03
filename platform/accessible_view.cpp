#include "platform/accessible_view.h"

#include <algorithm>

namespace platform {

namespace {

void CompareTexts(const TAccessibleNode& a, const TAccessibleNode& b, int index,
                  std::vector<TAccessibleChange>& changes) {
  if (a.text == b.text) {
    if (a.marks != b.marks) changes.push_back({TAccessibleChange::MarksChanged, index});
    return;
  }
  if (b.role != TAccessibleRole::EditableText) {
    changes.push_back({TAccessibleChange::TextReplaced, index, 0, 0, a.text});
    return;
  }
  const std::size_t shorter = std::min(a.text.size(), b.text.size());
  std::size_t prefix = 0;
  while (prefix < shorter && a.text[prefix] == b.text[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix &&
         a.text[a.text.size() - 1 - suffix] == b.text[b.text.size() - 1 - suffix])
    ++suffix;
  const int position = static_cast<int>(prefix);
  if (a.text.size() > prefix + suffix)
    changes.push_back({TAccessibleChange::TextRemoved, index, position, 0,
                       a.text.substr(prefix, a.text.size() - prefix - suffix)});
  if (b.text.size() > prefix + suffix)
    changes.push_back({TAccessibleChange::TextInserted, index, position, 0,
                       b.text.substr(prefix, b.text.size() - prefix - suffix)});
}

void CompareNodes(const TAccessibleNode& a, const TAccessibleNode& b, int index, bool renamed,
                  std::vector<TAccessibleChange>& changes) {
  const bool focusArrives = b.focused && !a.focused;
  if (focusArrives || (b.focused && renamed))
    changes.push_back({TAccessibleChange::FocusGained, index});
  // A part that just took the focus is read whole, its description with it.
  if (a.description != b.description && !focusArrives)
    changes.push_back({TAccessibleChange::DescriptionChanged, index});
  if (a.name != b.name) changes.push_back({TAccessibleChange::NameChanged, index});
  CompareTexts(a, b, index, changes);
  if (b.caret >= 0 && (a.caret != b.caret || a.text != b.text))
    changes.push_back({TAccessibleChange::CaretMoved, index, b.caret});
  if (a.selectionStart != b.selectionStart || a.selectionEnd != b.selectionEnd)
    changes.push_back(
        {TAccessibleChange::SelectionChanged, index, b.selectionStart, b.selectionEnd});
  if (a.focused && !b.focused) changes.push_back({TAccessibleChange::FocusLost, index});
  if (a.selected != b.selected) changes.push_back({TAccessibleChange::SelectedChanged, index});
}

}  // namespace

std::vector<TAccessibleChange> CompareViews(const TAccessibleView& before,
                                            const TAccessibleView& after) {
  std::vector<TAccessibleChange> changes;
  const int common = static_cast<int>(std::min(before.nodes.size(), after.nodes.size()));
  for (int i = static_cast<int>(before.nodes.size()) - 1; i >= common; --i)
    changes.push_back({TAccessibleChange::NodeRemoved, i});
  for (int i = 0; i < common; ++i) {
    const TAccessibleNode& a = before.nodes[static_cast<std::size_t>(i)];
    const TAccessibleNode& b = after.nodes[static_cast<std::size_t>(i)];
    // Another kind of part at the same place is a new part.
    if (a.role != b.role || a.identity != b.identity) {
      changes.push_back({TAccessibleChange::NodeRemoved, i});
      changes.push_back({TAccessibleChange::NodeAdded, i});
      if (b.focused) changes.push_back({TAccessibleChange::FocusGained, i});
      continue;
    }
    CompareNodes(a, b, i, before.name != after.name, changes);
  }
  for (int i = common; i < static_cast<int>(after.nodes.size()); ++i) {
    changes.push_back({TAccessibleChange::NodeAdded, i});
    if (after.nodes[static_cast<std::size_t>(i)].focused)
      changes.push_back({TAccessibleChange::FocusGained, i});
  }
  return changes;
}

std::string MarkAttributes(const TAccessibleNode& node, int offset, int& start, int& end) {
  const int length = static_cast<int>(node.text.size());
  if (offset < 0 || offset >= length) {
    start = end = std::clamp(offset, 0, length);
    return {};
  }
  auto markAt = [&](int i) {
    return i < static_cast<int>(node.marks.size()) ? node.marks[static_cast<std::size_t>(i)] : 0;
  };
  const int mark = markAt(offset);
  start = offset;
  while (start > 0 && markAt(start - 1) == mark) --start;
  end = offset + 1;
  while (end < length && markAt(end) == mark) ++end;
  switch (mark) {
    case 1:
      return "text-position:super;";
    case 2:
      return "text-position:sub;";
    default:
      return "text-position:baseline;";
  }
}

}  // namespace platform
