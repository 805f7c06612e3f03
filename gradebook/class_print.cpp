#include "gradebook/class_print.h"

#include <QtCharts/QChart>

#include "editor/letter_drawing.h"
#include "gradebook/class_charts.h"
#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/printer.h"

namespace gradebook {

namespace {
const platform::TFont kPrinterFont{"Courier New", 0, 400};
constexpr int kLeft = 5;
// Charts are drawn on an image this wide and scaled onto the page.
constexpr int kChartImageWidth = 1600;
}  // namespace

TClassPrint::TClassPrint(const std::string& testName, const TClassData& data,
                         platform::TPrinter& printer)
    : TPrintout("Class Results"),
      data_(data),
      figures_(FigureQuestions(data.answers, data.questionCount)),
      blocks_(LayOutClassPrint(testName, data, Summarize(data.answers, data.questionCount),
                               figures_)),
      pages_(PaginateClassPrint(blocks_)),
      printData_(printer.DialogData()) {}

void TClassPrint::GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage) {
  minPage = selFromPage = 1;
  maxPage = selToPage = PageCount();
  printData_.fromPage = 1;
  printData_.toPage = PageCount();
}

void TClassPrint::SetPrintParams(platform::TDC* dc, platform::TSize pageSize) {
  TPrintout::SetPrintParams(dc, pageSize);
  currentPage_ = printData_.fromPage;
}

bool TClassPrint::HasPage(int) {
  return currentPage_ >= 1 && currentPage_ <= printData_.toPage && currentPage_ <= PageCount();
}

void TClassPrint::PrintPage(int, platform::TRect&, unsigned) {
  platform::TDC& dc = *DC();
  dc.SelectFont(kPrinterFont);
  const platform::TSize letter = dc.GetTextExtent("X");
  const int lineHeight = letter.cy + 3;
  int y = 0;
  for (int b : pages_[static_cast<std::size_t>(currentPage_ - 1)]) {
    const TPrintBlock& block = blocks_[static_cast<std::size_t>(b)];
    if (block.chart >= 0) {
      PrintChart(dc, block.chart, y, kChartLines * lineHeight);
      y += kChartLines * lineHeight;
      continue;
    }
    for (const core::TLetters& line : block.lines) {
      int x = kLeft;
      for (const core::TLetter& l : line) {
        editor::DrawLetter(dc, x, y, static_cast<char>(l.ch), l.mark, lineHeight / 3);
        x += letter.cx;
      }
      y += lineHeight;
    }
  }
  dc.RestoreFont();
  ++currentPage_;
}

// The chart fills the page's width, a little of the block's height left as space below it.
void TClassPrint::PrintChart(platform::TDC& dc, int chart, int y, int height) {
  const int width = PageSize().cx - 2 * kLeft;
  const int drawnHeight = height * 9 / 10;
  if (width <= 0 || drawnHeight <= 0) return;
  const QSize imageSize(kChartImageWidth, kChartImageWidth * drawnHeight / width);
  std::unique_ptr<QChart> made =
      chart == kScoresChart ? MakeScoresChart(PercentBands(data_.percents))
                            : MakeFacilityChart(figures_);
  const platform::TBitmap image(RenderChart(std::move(made), imageSize));
  dc.StretchBlt(kLeft, y, width, drawnHeight, image);
}

}  // namespace gradebook
