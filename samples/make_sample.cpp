// make_sample FOLDER: writes the sample test and its picture into FOLDER.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <vector>

#include "core/test_file_codec.h"
#include "samples/sample_test.h"

namespace {

// A plant cell: the wall, the vacuole in the middle, the nucleus and green chloroplasts.
QImage DrawCell() {
  QImage image(200, 140, QImage::Format_RGB888);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(90, 60, 20), 4));
  painter.setBrush(QColor(235, 245, 215));
  painter.drawRoundedRect(10, 10, 180, 120, 18, 18);
  painter.setPen(QPen(QColor(120, 140, 200), 2));
  painter.setBrush(QColor(215, 230, 250));
  painter.drawEllipse(60, 35, 80, 60);
  painter.setPen(QPen(QColor(110, 50, 110), 2));
  painter.setBrush(QColor(190, 140, 200));
  painter.drawEllipse(145, 30, 28, 28);
  painter.setPen(QPen(QColor(20, 100, 20), 1));
  painter.setBrush(QColor(60, 170, 60));
  const int spots[][2] = {{25, 25}, {28, 90}, {45, 105}, {150, 95}, {120, 108}, {95, 18}};
  for (const auto& spot : spots) painter.drawEllipse(spot[0], spot[1], 18, 10);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample FOLDER\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);

  core::TList<core::TQuestion> questions;
  samples::BuildSampleTest(questions);
  const std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
  QFile test(folder + "/sample.tst");
  if (!test.open(QIODevice::WriteOnly) ||
      test.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) !=
          qint64(bytes.size())) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(test.fileName()));
    return 1;
  }
  if (!DrawCell().save(folder + "/" + samples::kPictureName, "BMP")) {
    std::fprintf(stderr, "cannot write the picture\n");
    return 1;
  }
  std::printf("wrote %d questions and %s\n", questions.Count(), samples::kPictureName);
  return 0;
}
