#pragma once
#include <string>
#include <vector>

#include "gradebook/class_data.h"
#include "gradebook/class_print_layout.h"
#include "gradebook/statistics.h"
#include "platform/printout.h"

namespace platform {
class TPrinter;
}

namespace gradebook {

// The printed class results: the summary, the students, the questions with their marks and
// wrong answers, and both charts, over the pages chosen in the print dialog.
class TClassPrint : public platform::TPrintout {
 public:
  TClassPrint(const std::string& testName, const TClassData& data,
              platform::TPrinter& printer);

  void GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage) override;
  void SetPrintParams(platform::TDC* dc, platform::TSize pageSize) override;
  bool HasPage(int pageNumber) override;
  void PrintPage(int page, platform::TRect& rect, unsigned flags) override;

  int PageCount() const { return static_cast<int>(pages_.size()); }

 private:
  void PrintChart(platform::TDC& dc, int chart, int y, int height);

  const TClassData& data_;
  std::vector<TQuestionFigures> figures_;
  std::vector<TPrintBlock> blocks_;
  std::vector<std::vector<int>> pages_;
  platform::TPrintDialogData& printData_;
  int currentPage_ = 1;
};

}  // namespace gradebook
