#include "taking/text_print.h"

#include "platform/dc.h"
#include "taking/results_file.h"

namespace quizdesk {

TTextPrint::TTextPrint(const TPrintOptions& options, std::string path)
    : TPrintout("Test Results"), path(std::move(path)), options(options) {
  Paginate();
}

bool TTextPrint::ReadResults(QWidget* owner) {
  if (!quizdesk::ReadResults(path, information, owner)) return false;
  document.lines.clear();
  LayOutResults(information, options, document);
  Paginate();
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
  // Height 0: the device's own size for the face.
  dc.SelectFont(platform::TFont{"Courier New", 0, 400});
  lineHeight = DrawLines(dc, document, pages[static_cast<std::size_t>(page - 1)]);
  dc.RestoreFont();
}

}  // namespace quizdesk
