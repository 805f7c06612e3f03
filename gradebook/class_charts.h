#pragma once
#include <array>
#include <memory>
#include <vector>

#include <QPicture>
#include <QSizeF>

#include "gradebook/statistics.h"

class QChart;

namespace gradebook {

// A count axis with whole-number ticks: its top lies above the highest count, so that the
// count over the tallest bar fits, and at most five steps of 1, 2, 5, 10, 20, ... reach it.
struct TCountAxis {
  int32_t top = 1;
  int32_t ticks = 2;
};
TCountAxis CountAxis(int32_t most);

// The attempts in ten bands of percent, each bar carrying its count, and the facility of the
// questions given: the same charts on the screen and on paper.
std::unique_ptr<QChart> MakeScoresChart(const std::array<int32_t, kPercentBands>& bands);
std::unique_ptr<QChart> MakeFacilityChart(const std::vector<TQuestionFigures>& figures);

// For paper: the chart laid out on a page of that size in points, every text at least 8
// points, recorded as vector drawing calls.
QPicture ChartPicture(std::unique_ptr<QChart> chart, QSizeF points);

}  // namespace gradebook
