#include "gradebook/class_print.h"

#include <QPicture>
#include <QtCharts/QChart>

#include "editor/letter_drawing.h"
#include "gradebook/class_charts.h"
#include "platform/dc.h"
#include "platform/printer.h"

namespace gradebook {

namespace {
const platform::TFont kPrinterFont{"Courier New", 0, 400};
constexpr int kLeft = 5;

// Device units of a height counted in sixths of a cell.
int Dots(int units, int cellHeight) { return units * cellHeight / kUnitsPerCell; }
}  // namespace

TClassPrint::TClassPrint(const std::string& testName, const TClassData& data,
                         const std::vector<std::size_t>& order, platform::TPrinter& printer)
    : TPrintout("Class Results"),
      testName_(testName),
      data_(data),
      figures_(FigureQuestions(data.answers, data.questionCount)),
      blocks_(LayOutClassPrint(data, order, Summarize(data.answers, data.questionCount),
                               figures_)),
      pages_(PaginateClassPrint(blocks_)),
      printData_(printer.DialogData()),
      printed_(core::Today()) {}

void TClassPrint::GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage) {
  minPage = selFromPage = 1;
  maxPage = selToPage = PageCount();
  printData_.fromPage = 1;
  printData_.toPage = PageCount();
}

void TClassPrint::SetPrintParams(platform::TDC* dc, platform::TSize pageSize) {
  TPrintout::SetPrintParams(dc, pageSize);
  dc->SelectFont(kPrinterFont);
  cell_ = dc->GetTextExtent("X");
  dc->RestoreFont();
  currentPage_ = printData_.fromPage;
}

bool TClassPrint::HasPage(int) {
  return currentPage_ >= 1 && currentPage_ <= printData_.toPage && currentPage_ <= PageCount();
}

void TClassPrint::PrintPage(int, platform::TRect&, unsigned) {
  platform::TDC& dc = *DC();
  dc.SelectFont(kPrinterFont);
  int y = PrintLines(dc, PageHeader(testName_, data_, printed_), 0);
  for (int b : pages_[static_cast<std::size_t>(currentPage_ - 1)]) {
    const TPrintBlock& block = blocks_[static_cast<std::size_t>(b)];
    if (block.chart < 0) {
      y += PrintLines(dc, block.lines, y);
      continue;
    }
    const int height = Dots(kChartUnits, cell_.cy);
    PrintChart(dc, block.chart, y, height);
    y += height;
  }
  // The foot sits where the page's room ends, whatever the page holds.
  PrintLines(dc, PageFooter(currentPage_, PageCount()),
             Dots(kPageUnits - FooterUnits(), cell_.cy));
  dc.RestoreFont();
  ++currentPage_;
}

int TClassPrint::PrintLines(platform::TDC& dc, const std::vector<core::TLetters>& lines,
                            int top) {
  const int shift = Dots(kMarkShiftUnits, cell_.cy);
  int y = top;
  for (const core::TLetters& line : lines) {
    const int baseline = y + Dots(BaselineUnits(line), cell_.cy);
    int x = kLeft;
    for (const core::TLetter& l : line) {
      editor::DrawLetter(dc, x, baseline, static_cast<char>(l.ch), l.mark, shift);
      x += cell_.cx;
    }
    y += Dots(LineUnits(line), cell_.cy);
  }
  return y - top;
}

// The chart fills the page's width, a little of the block's height left as space below it.
// It is drawn in points, so that its text keeps its size in points on paper.
void TClassPrint::PrintChart(platform::TDC& dc, int chart, int top, int height) {
  const int width = PageSize().cx - 2 * kLeft;
  const int drawnHeight = height * 9 / 10;
  const int dotsPerInch = dc.GetDeviceCaps(platform::LOGPIXELSY);
  if (width <= 0 || drawnHeight <= 0 || dotsPerInch <= 0) return;
  const QSizeF points(width * 72.0 / dotsPerInch, drawnHeight * 72.0 / dotsPerInch);
  std::unique_ptr<QChart> made;
  if (chart == 0) {
    made = MakeScoresChart(PercentBands(data_.answers));
  } else {
    const auto first = figures_.begin() + (chart - 1) * kQuestionsPerChart;
    const auto last = figures_.end() - first > kQuestionsPerChart ? first + kQuestionsPerChart
                                                                  : figures_.end();
    made = MakeFacilityChart({first, last});
  }
  const QPicture picture = ChartPicture(std::move(made), points);
  dc.PlayPicture({kLeft, top, kLeft + width, top + drawnHeight}, picture);
}

}  // namespace gradebook
