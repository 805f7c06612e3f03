#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "editor/formatted_text.h"
#include "editor/input_dialog.h"
#include "editor/letter_drawing.h"

namespace editor {

namespace {
// Wipes what an earlier, longer line left to the right of a line.
const std::string kBlankLine(101, ' ');

constexpr const char* kQuizloomPrompt = "Press Page Up to edit the question.  Type your answer here:";
constexpr const char* kQuizdeskPrompt = "Type your answer here:";
}  // namespace

void TInputDialog::Paint(platform::TDC& dc, bool) { PaintEditor(dc); }

platform::TSize TInputDialog::ContentSize() const {
  const int header = 7 + static_cast<int>(strnlen(headerText, sizeof headerText - 1)) * charWidth;
  const int question = 4 + kWrapWidth * charWidth;
  const char* promptText = IsQuizloom() ? kQuizloomPrompt : kQuizdeskPrompt;
  const int prompt = 4 + static_cast<int>(std::strlen(promptText)) * charWidth;
  return {std::max({header, question, prompt}), 370 + lineHeight + 4};
}

void TInputDialog::PaintEditor(platform::TDC& dc) {
  const platform::TRect client = GetClientRect();
  // A repaint drops the selection: the highlight is not redrawn, the menu stays.
  selEnd = -1;
  selStart = 600;
  HideCaret();
  dc.SelectFont(editorFont);
  if (selectionText[0] != '\0') {
    std::memset(selectionMarks, 0, sizeof selectionMarks);
    std::memset(selectionText, 0, sizeof selectionText);
  }
  SetCaretPos(caretX, caretY);

  dc.TextOut(7, 5, std::string_view(headerText, strnlen(headerText, sizeof headerText - 1)));

  const int rowHeight = dc.GetTextExtent("X").cy + 3;
  // Each character's measured width, asked of the device once per paint: the font does not
  // change while painting, and measuring is the costly part of drawing a letter.
  int widths[256];
  std::fill(std::begin(widths), std::end(widths), -1);
  auto widthOf = [&](char c) {
    int& width = widths[static_cast<unsigned char>(c)];
    if (width < 0) width = dc.GetTextExtent(std::string_view(&c, 1)).cx;
    return width;
  };
  int x = 4;
  int y = 20;
  int linesDrawn = 1;
  int i = 0;
  while (true) {
    for (; i < kQuestionSize - 1 && questionText[i] != '\0' && questionText[i] != '\r'; ++i) {
      DrawLetter(dc, x, y, questionText[i], questionMarks[i]);
      x += widthOf(questionText[i]);
    }
    dc.TextOut(x, y, kBlankLine);
    ++linesDrawn;
    x = 4;
    y += rowHeight;
    if (i >= kQuestionSize - 1 || questionText[i] == '\0') break;
    ++i;
    if (i < kQuestionSize - 1 && questionText[i] == '\n') ++i;
  }
  for (; linesDrawn < 7; ++linesDrawn) {
    dc.TextOut(4, y, kBlankLine);
    y += rowHeight;
  }

  if (pictureName[0] != '\0') {
    pictureName[kPictureNameSize - 1] = '\0';
    const platform::TBitmap picture = LoadPicture(pictureName);
    if (!picture.IsNull()) {
      DrawPicture(dc, picture, client.left, y, client.right);
    } else {
      dc.TextOut(4, y, MissingPictureText(pictureName));
      y += rowHeight;
    }
  }

  dc.TextOut(4, 350, IsQuizloom() ? kQuizloomPrompt : kQuizdeskPrompt);

  x = 4;
  for (int a = 0; a < kAnswerSize - 1 && answerText[a] != '\0'; ++a) {
    DrawLetter(dc, x, 370, answerText[a], answerMarks[a]);
    x += widthOf(answerText[a]);
  }
  dc.TextOut(x, 370, kBlankLine);

  dc.RestoreFont();
  ShowCaret();
}

}  // namespace editor
