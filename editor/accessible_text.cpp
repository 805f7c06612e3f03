#include "editor/accessible_text.h"

namespace editor {

std::vector<int> AppendShownText(platform::TAccessibleNode& node, const char* text,
                                 const int32_t* marks, int length, const TLetterCells& cells) {
  std::vector<int> offsets(static_cast<std::size_t>(length) + 1);
  int x = cells.left;
  int y = cells.top;
  for (int i = 0; i < length; ++i) {
    offsets[static_cast<std::size_t>(i)] = static_cast<int>(node.text.size());
    // The line feed of a wrap break belongs to the carriage return before it.
    if (text[i] == '\n' && i > 0 && text[i - 1] == '\r') continue;
    const bool lineBreak = text[i] == '\r' || text[i] == '\n';
    node.text.push_back(lineBreak ? '\n' : text[i]);
    node.marks.push_back(lineBreak ? 0 : marks[i]);
    node.cells.push_back({x, y, x + cells.width, y + cells.height});
    if (lineBreak) {
      x = cells.left;
      y += cells.height;
    } else {
      x += cells.width;
    }
  }
  offsets[static_cast<std::size_t>(length)] = static_cast<int>(node.text.size());
  return offsets;
}

}  // namespace editor
