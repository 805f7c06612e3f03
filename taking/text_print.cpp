#include "taking/text_print.h"

#include <algorithm>

#include "editor/letter_drawing.h"
#include "platform/dc.h"
#include "taking/results_file.h"

namespace quizdesk {

namespace {
// Height 0: the device's own size for the face.
const platform::TFont kPrinterFont{"Courier New", 0, 400};
constexpr int kLeft = 5;
}  // namespace

int DrawLines(platform::TDC& dc, const core::TThePrintout& document, const core::TStart& page) {
  const int lineHeight = dc.GetTextExtent("X").cy + 3;
  const int last = std::min(page.last, static_cast<int>(document.lines.size()) - 1);
  // A raised letter stands a quarter of a line above its line: the first line is moved down
  // by as much, so that its ink, too, keeps to the margin.
  int y = 5 + lineHeight / 4;
  for (int i = std::max(page.first, 0); i <= last; ++i) {
    int x = kLeft;
    for (const core::TLetter& letter : document.lines[static_cast<std::size_t>(i)].letters) {
      const char character = static_cast<char>(letter.ch);
      editor::DrawLetter(dc, x, y, character, letter.mark, lineHeight / 4);
      x += dc.GetTextExtent(std::string_view(&character, 1)).cx;
    }
    y += lineHeight;
  }
  return lineHeight;
}

TTextPrint::TTextPrint(const TPrintOptions& options, std::string path)
    : TPrintout("Test Results"), path(std::move(path)), options(options) {
  Paginate();
}

bool TTextPrint::ReadResults(QWidget* owner) {
  if (!quizdesk::ReadResults(path, information, owner)) return false;
  document.lines.clear();
  LayOutResults(information, options, document);
  Paginate();
  read_ = true;
  return true;
}

void TTextPrint::Paginate() {
  pages = PaginateLines(static_cast<int>(document.lines.size()), linesPerPage);
  pageCount = static_cast<int32_t>(pages.size());
}

void TTextPrint::GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage) {
  minPage = selFromPage = 1;
  maxPage = selToPage = pageCount;
}

bool TTextPrint::HasPage(int page) { return page >= 1 && page <= pageCount; }

void TTextPrint::PrintPage(int page, platform::TRect&, unsigned) {
  if (!HasPage(page) || !DC()) return;
  platform::TDC& dc = *DC();
  dc.SelectFont(kPrinterFont);
  // The lines are laid out again for the page's width, so a long test path keeps the date.
  const int columns = (PageSize().cx - kLeft) / std::max(1, dc.GetTextExtent("X").cx);
  if (read_ && columns != columns_) {
    columns_ = columns;
    document.lines.clear();
    LayOutResults(information, options, document, columns);
  }
  lineHeight = DrawLines(dc, document, pages[static_cast<std::size_t>(page - 1)]);
  dc.RestoreFont();
}

}  // namespace quizdesk
