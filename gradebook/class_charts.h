#pragma once
#include <array>
#include <memory>
#include <vector>

#include <QImage>
#include <QSize>

#include "gradebook/statistics.h"

class QChart;

namespace gradebook {

// The scores in ten bands of percent, and the facility of each question: the same charts on
// the screen and on paper.
std::unique_ptr<QChart> MakeScoresChart(const std::array<int32_t, kPercentBands>& bands);
std::unique_ptr<QChart> MakeFacilityChart(const std::vector<TQuestionFigures>& figures);

// The chart drawn on a white image of that size, for the printout.
QImage RenderChart(std::unique_ptr<QChart> chart, QSize size);

}  // namespace gradebook
