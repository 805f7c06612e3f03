#pragma once
#include <string>
#include <utility>

#include "platform/geometry.h"

namespace platform {

class TDC;

// The print dialog's page fields, kept by the printer between prints: the limits offered and
// the first and last page chosen.
struct TPrintDialogData {
  int minPage = 1;
  int maxPage = 1;
  int fromPage = 1;
  int toPage = 1;
};

// A document to print page by page. The printer asks for the page limits before its dialog,
// then, for each stretch of the chosen pages in order (a page list such as "2,4-5" has two),
// sets the dialog data's first and last page to it, calls SetPrintParams and PrintPage for
// each page from the stretch's first while HasPage is true. Pages draw only through the DC
// given to SetPrintParams, so the same code serves paper, PDF files, the preview and the
// recording DC of the tests; on paper that DC's origin and page size are already inside the
// margins.
class TPrintout {
 public:
  explicit TPrintout(std::string title) : title_(std::move(title)) {}
  virtual ~TPrintout() = default;
  TPrintout(const TPrintout&) = delete;
  TPrintout& operator=(const TPrintout&) = delete;

  // The page limits and the range the print dialog proposes; by default one page.
  virtual void GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage) {
    minPage = maxPage = selFromPage = selToPage = 1;
  }
  // The DC of the job and the size of the area to draw in, in device units.
  virtual void SetPrintParams(TDC* dc, TSize pageSize) {
    dc_ = dc;
    pageSize_ = pageSize;
  }
  virtual bool HasPage(int pageNumber) { return pageNumber == 1; }
  // rect is the printable area; no flags are passed.
  virtual void PrintPage(int page, TRect& rect, unsigned flags) = 0;

  const std::string& Title() const { return title_; }
  // What the printer's messages call the printout: its title, unless a name was given.
  const std::string& Name() const { return name_.empty() ? title_ : name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TDC* DC() const { return dc_; }
  TSize PageSize() const { return pageSize_; }

 private:
  std::string title_;
  std::string name_;
  TDC* dc_ = nullptr;
  TSize pageSize_;
};

}  // namespace platform
