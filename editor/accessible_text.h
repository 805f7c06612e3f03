#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/accessible_view.h"

namespace editor {

// Where formatted letters stand on screen: from (left, top), one cell of width by height per
// letter, a line further down after each line break.
struct TLetterCells {
  int left = 0;
  int top = 0;
  int width = 8;
  int height = 16;
};

// Appends length letters to the node's text as a reader should hear them: a line break is one
// '\n' whether hard or made by the wrap, each letter keeps its mark and gets its cell. A raised
// or lowered letter is heard as Unicode's superscript or subscript character where there is
// one ("subscript two"); a run of others is framed by words, "lowered Q normal", which take
// no mark and the cell of the letter beside them. The result gives, for every index of text
// up to length, the offset its letter has in the node's text.
std::vector<int> AppendShownText(platform::TAccessibleNode& node, const char* text,
                                 const int32_t* marks, int length, const TLetterCells& cells);

// Appends plain Windows-1252 text without marks or cells.
void AppendPlainText(platform::TAccessibleNode& node, std::string_view text);

}  // namespace editor
