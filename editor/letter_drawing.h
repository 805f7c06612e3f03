#pragma once
#include <cstdint>
#include <string>

#include "platform/bitmap.h"
#include "platform/dc.h"

namespace editor {

// The screen's way of drawing a formatted letter and a question's picture, shared by the
// editor and the question list.

// Superscript is drawn shift units up, subscript shift down, in the same font: 2 pixels on
// the screen, a third of a line on paper. A letter with any other mark is not drawn at all
// (it still takes its place): false.
bool MarkedY(int32_t mark, int y, int& markedY, int shift = 2);

// Draws one letter at (x, y) moved by its mark.
void DrawLetter(platform::TDC& dc, int x, int y, char letter, int32_t mark, int shift = 2);

// The line shown where a picture that cannot be loaded would be.
std::string MissingPictureText(const char* pictureName);

// A question's picture: the bitmap file named by its bare name (stored in Windows-1252),
// found in the current directory, also when only the letter case differs. Null when the file
// cannot be loaded. Decoded once while the file is unchanged: the editor, the list and the
// printouts share it.
platform::TBitmap LoadPicture(const char* pictureName);
// Whether LoadPicture gives a picture, without decoding one already known.
bool PictureLoads(const char* pictureName);
// The picture block: the bitmap copied unscaled from its top-left corner to (left, y), at
// most width by 210 pixels.
void DrawPicture(platform::TDC& dc, const platform::TBitmap& picture, int left, int y, int width);

constexpr int kPictureCopyHeight = 210;

}  // namespace editor
