// make_icons SOURCE.png OUTPUT_DIR NAME: writes the program icon in every size of the hicolor
// theme, OUTPUT_DIR/hicolor/NxN/apps/NAME.png, scaled smoothly down from the program's own icon,
// which is drawn at the largest of them.
#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_icons SOURCE.png OUTPUT_DIR NAME\n");
    return 2;
  }
  const QImage source(QString::fromLocal8Bit(argv[1]));
  if (source.isNull()) {
    std::fprintf(stderr, "make_icons: cannot read %s\n", argv[1]);
    return 1;
  }
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QString folder = QString("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    const QString path = folder + "/" + QString::fromLocal8Bit(argv[3]) + ".png";
    const QImage icon = source.convertToFormat(QImage::Format_ARGB32)
                            .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (!QDir().mkpath(folder) || !icon.save(path, "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
