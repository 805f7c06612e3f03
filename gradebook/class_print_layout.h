#pragma once
#include <string>
#include <vector>

#include "core/records.h"
#include "gradebook/class_data.h"
#include "gradebook/statistics.h"

namespace gradebook {

// The class printout's content as blocks of lines that are never split across pages: the
// title and summary, each student row, each question with its answer and wrong answers, and
// the two charts. A block of a table that starts a page is preceded by the table's header.
struct TPrintBlock {
  std::vector<core::TLetters> lines;
  int chart = -1;        // 0 the scores chart, 1 the facility chart; then lines is empty
  int tableHeader = -1;  // the block repeated above this one at the top of a page
};

enum TChartKind : int { kScoresChart = 0, kFacilityChart = 1 };

// A page holds kPrintLinesPerPage lines of the printer's fixed-pitch face, a chart
// kChartLines of them.
inline constexpr int kPrintLinesPerPage = 56;
inline constexpr int kChartLines = 22;

std::vector<TPrintBlock> LayOutClassPrint(const std::string& testName, const TClassData& data,
                                          const TSummary& summary,
                                          const std::vector<TQuestionFigures>& figures);

// Each page lists its blocks in order, a repeated table header included; there is always at
// least one page.
std::vector<std::vector<int>> PaginateClassPrint(const std::vector<TPrintBlock>& blocks);

// The height of a block in lines.
int BlockLines(const TPrintBlock& block);

}  // namespace gradebook
