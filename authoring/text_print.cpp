#include "authoring/text_print.h"

#include <cstring>

#include "authoring/print_layout.h"
#include "editor/letter_drawing.h"
#include "platform/dc.h"
#include "platform/printer.h"

namespace quizloom {

namespace {
// "Courier New" at the device's default size: ten points on paper.
const platform::TFont kPrinterFont{"Courier New", 0, 400};
constexpr int kLeft = 5;
}  // namespace

TTextPrint::TTextPrint(std::string title, const core::TList<core::TQuestion>& questions,
                       platform::TPrinter& printer, int32_t screenCharWidth,
                       int32_t screenCharHeight, bool answerKey)
    : TPrintout(std::move(title)),
      screenCharWidth(screenCharWidth),
      screenCharHeight(screenCharHeight),
      pageBudget(kPageBudget),
      questions(questions),
      printData(printer.DialogData()),
      answerKey(answerKey) {}

void TTextPrint::GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage) {
  pages = Paginate(questions, answerKey);
  pageCount = static_cast<int32_t>(pages.size());
  minPage = 1;
  maxPage = pageCount;
  selFromPage = 1;
  selToPage = pageCount;
  printData.fromPage = 1;
  printData.toPage = pageCount;
}

void TTextPrint::SetPrintParams(platform::TDC* dc, platform::TSize pageSize) {
  TPrintout::SetPrintParams(dc, pageSize);
  currentPage = printData.fromPage;
}

bool TTextPrint::HasPage(int) {
  // The pages past the pagination's last are never there, whatever range was asked for.
  return currentPage <= printData.toPage && currentPage >= 1 && currentPage <= pageCount &&
         currentPage <= static_cast<int>(pages.size());
}

void TTextPrint::PrintPage(int, platform::TRect&, unsigned) {
  platform::TDC& dc = *DC();
  dc.SelectFont(kPrinterFont);
  const platform::TSize letter = dc.GetTextExtent("X");
  lineHeight = letter.cy + 3;
  int y = 3 * lineHeight;
  const core::TStart& range = pages[static_cast<std::size_t>(currentPage - 1)];
  for (int i = range.first; i <= range.last; ++i) PrintQuestion(dc, i, letter.cx, y);
  dc.RestoreFont();
  ++currentPage;
}

void TTextPrint::PrintQuestion(platform::TDC& dc, int index, int charWidth, int& y) {
  const core::TQuestion& question = questions[index];
  const std::string number = std::to_string(index + 1) + ". ";
  dc.TextOut(kLeft, y, number);
  PrintLetters(dc, question.text, kLeft + dc.GetTextExtent(number).cx, y, charWidth);
  if (answerKey) {
    y += lineHeight;
    const std::string label = "Answer: ";
    dc.TextOut(kLeft, y, label);
    PrintLetters(dc, question.answer, kLeft + dc.GetTextExtent(label).cx, y, charWidth);
  }
  y += 2 * lineHeight;
  if (question.picture[0] != '\0')
    PrintPicture(dc, question, charWidth, y);
  else
    y += 2 * lineHeight;
}

// Letters from (x, y); a carriage return starts the next line at the left edge. Every letter
// of the fixed-pitch face is as wide as "X".
void TTextPrint::PrintLetters(platform::TDC& dc, const core::TLetters& letters, int x, int& y,
                              int charWidth) {
  for (const core::TLetter& letter : letters) {
    if (letter.ch == '\r') {
      y += lineHeight;
      x = kLeft;
    } else if (letter.ch != '\n') {
      editor::DrawLetter(dc, x, y, static_cast<char>(letter.ch), letter.mark, lineHeight / 3);
      x += charWidth;
    }
  }
}

// The picture scaled by the ratio of the printer's character cell to the screen's, within
// its room, or the line saying it is missing.
void TTextPrint::PrintPicture(platform::TDC& dc, const core::TQuestion& question, int charWidth,
                              int& y) {
  const std::string name(question.picture, strnlen(question.picture, sizeof question.picture));
  const platform::TBitmap picture = editor::LoadPicture(name.c_str());
  if (!picture.IsNull()) {
    const platform::TSize scaled{platform::MulDiv(picture.Width(), charWidth, screenCharWidth),
                                 platform::MulDiv(picture.Height(), lineHeight, screenCharHeight)};
    // The next question's raised letters stand a third of a line above its line, so that
    // much is left free under the picture; its room shrinks by as much, and a large picture
    // is reduced to that room, so the questions after it stay on the paper.
    const int raised = lineHeight / 3;
    const platform::TSize room{PageSize().cx - kLeft, kPictureRoomLines * lineHeight - raised};
    const platform::TSize size = FitPicture(scaled, room);
    dc.StretchBlt(kLeft, y, size.cx, size.cy, picture);
    y += size.cy + raised;
  } else {
    dc.TextOut(kLeft, y, editor::MissingPictureText(name.c_str()));
    y += dc.GetTextExtent("X").cy + 3;
  }
}

}  // namespace quizloom
