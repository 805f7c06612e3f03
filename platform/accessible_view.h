#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace platform {

// What a screen reader is told about the parts of a window the program draws itself. A window
// describes its content with these plain records; platform/accessible.cpp turns them into
// Qt's accessibility interfaces and events.
// A notice is a short message that shows when it is added ("lowered" after Alt+Down).
enum class TAccessibleRole { Text, EditableText, Picture, Label, ListItem, Notice };

// Texts are UTF-16, as a screen reader gets them: a raised or lowered letter may be heard as
// a character Windows-1252 does not hold (see editor/accessible_text.h).
struct TAccessibleNode {
  TAccessibleRole role = TAccessibleRole::Label;
  // Another identity at the same place is a new part: a reader comes to it afresh and reads
  // it whole, as it reads a question it has not met (the editor's parts for each new edit).
  int identity = 0;
  std::u16string name;
  std::u16string description;  // read after the name when the part takes the focus
  std::u16string text;         // as heard: lines joined by '\n'
  std::vector<int32_t> marks;  // one per unit of text: 0 normal, 1 raised, 2 lowered
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
  // A list's parts are its items and nothing else, so a reader counts them as the items.
  bool isList = false;
  std::u16string name;  // the window's own name; empty keeps the default
  std::u16string description;
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
    DescriptionChanged,
    FocusGained,
    FocusLost,
    SelectedChanged,
  };
  TAccessibleChange(Kind kind, int node, int position = 0, int end = 0, std::u16string text = {})
      : kind(kind), node(node), position(position), end(end), text(std::move(text)) {}

  Kind kind;
  int node;
  int position = 0;  // text offset (caret, removal, insertion) or selection start
  int end = 0;       // selection end
  std::u16string text;  // removed or inserted text; the old text of a replacement

  bool operator==(const TAccessibleChange&) const = default;
};

// The changes that lead from before to after, in the order they are to be told. A part that
// takes the focus, or keeps it in a window that changed its name (the next question), tells
// the focus first and then its new description: a screen reader speaks a description change
// only for the part it stands on, and a caret event before the focus would move it there
// silently. An editable text's edit is a removal and an insertion around the common start and
// end; a read-only text that changed is replaced whole, so the screen reader reads it anew.
std::vector<TAccessibleChange> CompareViews(const TAccessibleView& before,
                                            const TAccessibleView& after);

// The text attributes of the letter at offset, in IAccessible2's form ("text-position:sub;"),
// and the run of letters with the same mark around it, [start, end).
std::string MarkAttributes(const TAccessibleNode& node, int offset, int& start, int& end);

}  // namespace platform
