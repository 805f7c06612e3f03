#pragma once
#include <string>
#include <vector>

#include "core/records.h"
#include "gradebook/class_data.h"
#include "gradebook/statistics.h"

namespace gradebook {

// The class printout's content as blocks that are never split across pages: the summary,
// each student row, each question with its answer and wrong answers, and the charts. A block
// of a table that starts a page is preceded by the table's header.
struct TPrintBlock {
  std::vector<core::TLetters> lines;
  int chart = -1;        // the chart's number (see ChartCount); then lines is empty
  int tableHeader = -1;  // the block repeated above this one at the top of a page
};

// Heights are counted in units of a sixth of the printer face's cell height, so that a page
// holds the same on every printer. A plain line is one cell; a line with raised letters has a
// half cell more above, one with lowered letters a half cell more below, so that a marked
// letter, moved by a third of a cell, never touches the next line.
inline constexpr int kUnitsPerCell = 6;
inline constexpr int kMarkShiftUnits = 2;
// A page holds this many cells of the 10-point face: Letter and A4 paper alike.
inline constexpr int kPageUnits = 62 * kUnitsPerCell;
inline constexpr int kChartUnits = 22 * kUnitsPerCell;
// The columns a line may fill in the printer's face.
inline constexpr std::size_t kPrintWidth = 86;
// A facility chart shows at most this many questions, so that each label stays readable.
inline constexpr int kQuestionsPerChart = 25;

// Chart 0 is the scores; chart k from 1 the facility of questions (k - 1) x 25 + 1 onwards.
int ChartCount(int questionCount);

int LineUnits(const core::TLetters& line);
// Where a line's baseline lies below its top: past the room of its raised letters.
int BaselineUnits(const core::TLetters& line);
int BlockUnits(const TPrintBlock& block);

// Each page's head: the test's name as it was opened and the print date, then the class's
// most common course, period and instructor, then a blank line.
std::vector<core::TLetters> PageHeader(const std::string& testName, const TClassData& data,
                                       const core::TLocalDate& printed);
int HeaderUnits();
// Each page's foot: a blank line, then "Page N of M" in the middle.
std::vector<core::TLetters> PageFooter(int page, int pageCount);
int FooterUnits();

// The students in order (indices into data.attempts), as the window sorted them, each regraded
// one with a line "regraded: 9 to 10"; each question with what it also accepts.
std::vector<TPrintBlock> LayOutClassPrint(const TClassData& data,
                                          const std::vector<std::size_t>& order,
                                          const TSummary& summary,
                                          const std::vector<TQuestionFigures>& figures);

// Each page lists its blocks in order, a repeated table header included; there is always at
// least one page. A page's blocks fill at most kPageUnits less its header and footer.
std::vector<std::vector<int>> PaginateClassPrint(const std::vector<TPrintBlock>& blocks);

}  // namespace gradebook
