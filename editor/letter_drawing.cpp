#include "editor/letter_drawing.h"

#include "platform/cp1252.h"
#include "platform/picture_cache.h"

namespace editor {

namespace {
// The stored name is Windows-1252; the file is found by the system's name for it.
QString PictureFile(const char* pictureName) {
  return platform::PathToQt(platform::FileNameFromText(pictureName));
}
}  // namespace

bool MarkedY(int32_t mark, int y, int& markedY, int shift) {
  switch (mark) {
    case 0: markedY = y; return true;
    case 1: markedY = y - shift; return true;
    case 2: markedY = y + shift; return true;
    default: return false;
  }
}

void DrawLetter(platform::TDC& dc, int x, int y, char letter, int32_t mark, int shift) {
  int markedY = y;
  if (MarkedY(mark, y, markedY, shift)) dc.TextOut(x, markedY, std::string_view(&letter, 1));
}

std::string MissingPictureText(const char* pictureName) {
  return std::string("Bitmap file") + pictureName + " is not on the same directory as quizloom.";
}

platform::TBitmap LoadPicture(const char* pictureName) {
  return platform::Pictures().Load(PictureFile(pictureName));
}

bool PictureLoads(const char* pictureName) {
  return platform::Pictures().Loads(PictureFile(pictureName));
}

void DrawPicture(platform::TDC& dc, const platform::TBitmap& picture, int left, int y, int width) {
  dc.BitBlt(left, y, width, kPictureCopyHeight, picture, 0, 0);
}

}  // namespace editor
