#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"
#include "platform/printout.h"
#include "taking/results_layout.h"

class QWidget;

namespace platform {
class TDC;
}

namespace quizdesk {

// Draws the page's lines letter by letter in the selected font from (5, 5), a raised letter
// a quarter of a line up, a lowered one a quarter down (so the first line's y is 5 plus that
// quarter, and its raised letters start at 5), letters of other marks left out but
// still advancing. Returns the line height: the height of "X" + 3.
int DrawLines(platform::TDC& dc, const core::TThePrintout& document, const core::TStart& page);

// The printout of a results file: the lines laid out from it, 49 to a page.
class TTextPrint : public platform::TPrintout {
 public:
  TTextPrint(const TPrintOptions& options, std::string path);

  // Reads the results file at path and lays out its lines. False after the reader's message
  // ("File cannot be found!" or a damaged file): then there is nothing to print.
  bool ReadResults(QWidget* owner);

  // Offers every page, so the print dialog can choose a range of them.
  void GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage) override;
  bool HasPage(int page) override;
  void PrintPage(int page, platform::TRect& rect, unsigned flags) override;

  int32_t linesPerPage = kLinesPerPage;
  int32_t lineHeight = 0;  // set when a page is printed
  int32_t pageCount = 1;
  std::vector<core::TStart> pages;
  core::TThePrintout document;
  std::string path;
  TPrintOptions options;
  core::TInformation information;

 private:
  void Paginate();
  bool read_ = false;  // the lines come from a results file, and can be laid out again
  int columns_ = 0;    // the letters a printed line holds, as last laid out
};

}  // namespace quizdesk
