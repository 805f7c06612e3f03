#include "gradebook/class_charts.h"

#include <algorithm>

#include <QGraphicsScene>
#include <QPainter>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>

namespace gradebook {

namespace {

std::unique_ptr<QChart> BarChart(const QString& title, const QString& setName,
                                 const QStringList& categories, const QList<qreal>& values,
                                 const QString& valueTitle, qreal top) {
  auto chart = std::make_unique<QChart>();
  chart->setTitle(title);
  chart->legend()->hide();
  auto* set = new QBarSet(setName);
  set->append(values);
  auto* series = new QBarSeries;
  series->append(set);
  chart->addSeries(series);
  auto* categoryAxis = new QBarCategoryAxis;
  categoryAxis->append(categories);
  chart->addAxis(categoryAxis, Qt::AlignBottom);
  series->attachAxis(categoryAxis);
  auto* valueAxis = new QValueAxis;
  valueAxis->setRange(0, top);
  valueAxis->setTitleText(valueTitle);
  valueAxis->setLabelFormat("%d");
  chart->addAxis(valueAxis, Qt::AlignLeft);
  series->attachAxis(valueAxis);
  // Animations would show a half-grown chart on paper and in a screenshot.
  chart->setAnimationOptions(QChart::NoAnimation);
  return chart;
}

}  // namespace

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
  auto chart = BarChart("Scores", "Attempts", categories, values, "Attempts", std::max(most, 1));
  static_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).front())
      ->setTitleText("Percent score, in bands of ten (90 includes 100)");
  auto* axis = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
  axis->setTickCount(std::min(most, 10) + 1);
  return chart;
}

std::unique_ptr<QChart> MakeFacilityChart(const std::vector<TQuestionFigures>& figures) {
  QStringList categories;
  QList<qreal> values;
  for (const TQuestionFigures& question : figures) {
    categories << QString::number(question.number);
    values << question.facility.value_or(0.0);
  }
  auto chart = BarChart("Facility of each question", "Facility", categories, values,
                        "Percent right", 100);
  static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front())->setTickCount(6);
  return chart;
}

QImage RenderChart(std::unique_ptr<QChart> chart, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QGraphicsScene scene;
  QChart* drawn = chart.release();
  scene.addItem(drawn);  // the scene owns it from here
  drawn->resize(size);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
  return image;
}

}  // namespace gradebook
