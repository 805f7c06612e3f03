#pragma once
#include <string>
#include <vector>

#include "gradebook/class_data.h"
#include "gradebook/class_print_layout.h"
#include "gradebook/statistics.h"
#include "platform/printout.h"

namespace platform {
class TDC;
class TPrinter;
}

namespace gradebook {

// The printed class results: on each page a header with the test's name, the class and the
// print date and a footer "Page N of M"; the summary, the students in the order given, the
// questions with their marks and wrong answers, and the charts as vector drawings, over the
// pages chosen in the print dialog.
class TClassPrint : public platform::TPrintout {
 public:
  TClassPrint(const std::string& testName, const TClassData& data,
              const std::vector<std::size_t>& order, platform::TPrinter& printer);

  void GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage) override;
  void SetPrintParams(platform::TDC* dc, platform::TSize pageSize) override;
  bool HasPage(int pageNumber) override;
  void PrintPage(int page, platform::TRect& rect, unsigned flags) override;

  int PageCount() const { return static_cast<int>(pages_.size()); }

 private:
  // Draws the lines from top; the height drawn, in device units.
  int PrintLines(platform::TDC& dc, const std::vector<core::TLetters>& lines, int top);
  void PrintChart(platform::TDC& dc, int chart, int top, int height);

  std::string testName_;
  const TClassData& data_;
  std::vector<TQuestionFigures> figures_;
  std::vector<TPrintBlock> blocks_;
  std::vector<std::vector<int>> pages_;
  platform::TPrintDialogData& printData_;
  core::TLocalDate printed_;
  platform::TSize cell_;
  int currentPage_ = 1;
};

}  // namespace gradebook
