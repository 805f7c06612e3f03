#include "editor/draw_question.h"

#include <cstring>
#include <string>

#include "editor/letter_drawing.h"
#include "platform/scroller.h"

namespace editor {

namespace {

// The picture's place in the list's layout; the copy itself is 210 pixels high, so the
// bottom of a tall picture lies under the answer line drawn after it.
constexpr int kPictureAdvance = 200;

// Whether an element from y, height pixels high, may show in the list window. Lines are
// y / unit; an element is drawn up to one line below the last visible line and as long as
// its last pixel row is not above the first visible line. Only the drawing is skipped:
// the caller advances y the same way either way.
bool Visible(const platform::TScroller* scroller, int y, int height) {
  if (!scroller) return true;
  const int unit = scroller->YUnit();
  if (unit <= 0) return true;
  const int firstLine = scroller->YPos();
  const int lastLine = firstLine + scroller->YPage();
  if (y / unit > lastLine + 1) return false;
  if ((y + height - 1) / unit < firstLine) return false;
  return true;
}

}  // namespace

void DrawQuestion(const platform::TScroller* scroller, const core::TQuestion& question,
                  platform::TDC& dc, int& x, int& y, int lineHeight, int charAdvance,
                  int& number, int clientWidth) {
  const std::string numberText = std::to_string(number) + ". ";
  if (Visible(scroller, y, lineHeight)) {
    dc.TextOut(x, y, numberText);
    x += dc.GetTextExtent(numberText).cx;
  }

  for (const core::TLetter& letter : question.text) {
    if (letter.ch == '\r') {
      y += lineHeight;
      x = 5;
    } else if (letter.ch != '\n' && Visible(scroller, y, lineHeight)) {
      DrawLetter(dc, x, y, static_cast<char>(letter.ch), letter.mark);
      x += charAdvance;
    }
  }
  x = 5;
  y += lineHeight;

  const bool hasPicture = question.picture[0] != '\0';
  if (hasPicture) {
    const std::string name(question.picture, strnlen(question.picture, sizeof question.picture));
    // Loaded whether visible or not: a missing picture takes a text line more, and y must
    // advance the same either way.
    const platform::TBitmap picture = LoadPicture(name.c_str());
    if (!picture.IsNull()) {
      if (Visible(scroller, y, kPictureAdvance)) DrawPicture(dc, picture, 0, y, clientWidth);
    } else {
      if (Visible(scroller, y, lineHeight)) dc.TextOut(5, y, MissingPictureText(name.c_str()));
      y += dc.GetTextExtent("X").cy + 3;
    }
  }
  x = 5;
  y += hasPicture ? kPictureAdvance : lineHeight;

  if (Visible(scroller, y, lineHeight)) {
    dc.TextOut(5, y, "Answer:  ");
    x += dc.GetTextExtent("Answer:  ").cx;
  }
  for (const core::TLetter& letter : question.answer) {
    if (!Visible(scroller, y, lineHeight)) break;
    DrawLetter(dc, x, y, static_cast<char>(letter.ch), letter.mark);
    x += charAdvance;
  }
  x = 5;
  y += 2 * lineHeight;
  ++number;
}

}  // namespace editor
