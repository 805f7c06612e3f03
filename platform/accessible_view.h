#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace platform {

// What a screen reader is told about the parts of a window the program draws itself. A window
// describes its content with these plain records; platform/accessible.cpp turns them into
// Qt's accessibility interfaces and events.
enum class TAccessibleRole { Text, EditableText, Picture, Label, ListItem };

struct TAccessibleNode {
  TAccessibleRole role = TAccessibleRole::Label;
  std::string name;            // Windows-1252 bytes, like the text
  std::string description;     // read after the name when the part takes the focus
  std::string text;            // as shown: lines joined by '\n'
  std::vector<int32_t> marks;  // one per byte of text: 0 normal, 1 raised, 2 lowered
  int caret = -1;              // offset into text; -1 when the part has none
  int selectionStart = 0;      // [start, end); empty when nothing is selected
  int selectionEnd = 0;
  bool focused = false;
  bool selected = false;     // a list's current item
  TRect bounds;              // client coordinates
  std::vector<TRect> cells;  // each letter's cell, client coordinates

  bool operator==(const TAccessibleNode&) const = default;
};

struct TAccessibleView {
  bool isList = false;
  std::string name;  // the window's own name; empty keeps the default
  std::vector<TAccessibleNode> nodes;
};

// One thing a screen reader must hear about between two views of a window.
struct TAccessibleChange {
  enum Kind {
    NodeAdded,
    NodeRemoved,
    TextRemoved,
    TextInserted,
    TextReplaced,
    MarksChanged,
    CaretMoved,
    SelectionChanged,
    NameChanged,
    FocusGained,
    StateChanged,
  };
  TAccessibleChange(Kind kind, int node, int position = 0, int end = 0, std::string text = {})
      : kind(kind), node(node), position(position), end(end), text(std::move(text)) {}

  Kind kind;
  int node;
  int position = 0;  // text offset (caret, removal, insertion) or selection start
  int end = 0;       // selection end
  std::string text;  // removed or inserted bytes; the old text of a replacement

  bool operator==(const TAccessibleChange&) const = default;
};

// The changes that lead from before to after, in the order they are to be told. A window
// that changes its name (the next question) tells the focus again, so the reader starts anew. An editable
// text's edit is a removal and an insertion around the common start and end; a read-only text
// that changed is replaced whole, so the screen reader reads it anew.
std::vector<TAccessibleChange> CompareViews(const TAccessibleView& before,
                                            const TAccessibleView& after);

// The text attributes of the letter at offset, in IAccessible2's form ("text-position:sub;"),
// and the run of letters with the same mark around it, [start, end).
std::string MarkAttributes(const TAccessibleNode& node, int offset, int& start, int& end);

}  // namespace platform
