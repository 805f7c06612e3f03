#include "gradebook/class_charts.h"

#include <algorithm>

#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>

namespace gradebook {

namespace {

// On paper a chart is drawn with one unit a point; its text sizes are in those units.
constexpr int kPrintTitlePoints = 11;
constexpr int kPrintTextPoints = 9;

std::unique_ptr<QChart> BarChart(const QString& title, const QString& setName,
                                 const QStringList& categories, const QList<qreal>& values,
                                 const QString& categoryTitle, const QString& valueTitle,
                                 TCountAxis valueAxisTicks) {
  auto chart = std::make_unique<QChart>();
  chart->setTitle(title);
  chart->legend()->hide();
  auto* set = new QBarSet(setName);
  set->append(values);
  auto* series = new QBarSeries;
  series->append(set);
  series->setBarWidth(0.8);
  chart->addSeries(series);
  auto* categoryAxis = new QBarCategoryAxis;
  categoryAxis->append(categories);
  categoryAxis->setTitleText(categoryTitle);
  chart->addAxis(categoryAxis, Qt::AlignBottom);
  series->attachAxis(categoryAxis);
  auto* valueAxis = new QValueAxis;
  valueAxis->setTitleText(valueTitle);
  valueAxis->setRange(0, valueAxisTicks.top);
  valueAxis->setTickCount(valueAxisTicks.ticks);
  valueAxis->setLabelFormat("%d");
  chart->addAxis(valueAxis, Qt::AlignLeft);
  series->attachAxis(valueAxis);
  // Animations would show a half-grown chart on paper and in a screenshot.
  chart->setAnimationOptions(QChart::NoAnimation);
  return chart;
}

QFont PrintFont(int points, bool bold = false) {
  QFont font;
  font.setPixelSize(points);
  font.setBold(bold);
  return font;
}

}  // namespace

TCountAxis CountAxis(int32_t most) {
  // Few ticks keep each label whole in a short chart; an eighth more than the tallest bar
  // leaves room for its count above it.
  constexpr int32_t kMostSteps = 5;
  const int32_t reach = std::max(most, 0) + std::max(most, 0) / 8;
  for (int32_t scale = 1;; scale *= 10)
    for (int32_t step : {scale, 2 * scale, 5 * scale})
      if (reach / step + 1 <= kMostSteps) return {(reach / step + 1) * step, reach / step + 2};
}

std::unique_ptr<QChart> MakeScoresChart(const std::array<int32_t, kPercentBands>& bands) {
  QStringList categories;
  QList<qreal> values;
  int32_t most = 0;
  for (int band = 0; band < kPercentBands; ++band) {
    // A band is named by its lowest percent: "0-9" to "90-100" do not fit beside each other.
    categories << QString::number(band * 10);
    values << bands[static_cast<std::size_t>(band)];
    most = std::max(most, bands[static_cast<std::size_t>(band)]);
  }
  auto chart = BarChart("Scores", "Attempts", categories, values,
                        "Percent score, in bands of ten (90 includes 100)", "Attempts",
                        CountAxis(most));
  auto* series = static_cast<QBarSeries*>(chart->series().front());
  series->setLabelsVisible(true);
  series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  series->setLabelsFormat("@value");
  series->barSets().front()->setLabelColor(Qt::black);
  return chart;
}

std::unique_ptr<QChart> MakeFacilityChart(const std::vector<TQuestionFigures>& figures) {
  QStringList categories;
  QList<qreal> values;
  for (const TQuestionFigures& question : figures) {
    categories << QString::number(question.number);
    values << question.facility.value_or(0.0);
  }
  return BarChart("Facility of each question", "Facility", categories, values, "Question",
                  "Percent right", {100, 6});
}

QPicture ChartPicture(std::unique_ptr<QChart> chart, QSizeF points) {
  chart->setTitleFont(PrintFont(kPrintTitlePoints, true));
  for (QAbstractAxis* axis : chart->axes()) {
    axis->setLabelsFont(PrintFont(kPrintTextPoints));
    axis->setTitleFont(PrintFont(kPrintTextPoints));
  }
  for (QAbstractSeries* series : chart->series())
    for (QBarSet* set : static_cast<QBarSeries*>(series)->barSets())
      set->setLabelFont(PrintFont(kPrintTextPoints));
  QGraphicsScene scene;
  QChart* drawn = chart.release();
  scene.addItem(drawn);  // the scene owns it from here
  drawn->resize(points);
  // The layout is otherwise settled only when the event loop next runs.
  drawn->layout()->activate();
  const QRectF area(QPointF(0, 0), points);
  QPicture picture;
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, area, area);
  painter.end();
  picture.setBoundingRect(area.toAlignedRect());
  return picture;
}

}  // namespace gradebook
