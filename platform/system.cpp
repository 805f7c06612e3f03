#include "platform/system.h"

#include <chrono>
#include <thread>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QStorageInfo>

#include "platform/bitmap.h"
#include "platform/cp1252.h"

namespace platform {

int ScreenWidth() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 640;
}

int ScreenHeight() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 480;
}

TWaitCursor::TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }

namespace {

// A mounted volume that a person can take away: a USB stick or a memory card.
bool IsRemovable(const QStorageInfo& volume) {
  QString root = volume.rootPath();
  if (root.startsWith("/media/") || root.startsWith("/run/media/")) return true;
  QString device = QString::fromUtf8(volume.device());
  if (!device.startsWith("/dev/")) return false;
  QString name = device.mid(5);
  // /dev/sdb1 -> sdb, /dev/mmcblk0p1 -> mmcblk0
  while (!name.isEmpty() && name.back().isDigit() && !name.startsWith("mmcblk")) name.chop(1);
  if (name.startsWith("mmcblk")) name = name.left(name.indexOf('p') > 0 ? name.indexOf('p') : name.size());
  QFile flag("/sys/block/" + name + "/removable");
  return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

std::optional<QString> RemovableVolume(int index) {
  int seen = 0;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || !IsRemovable(volume)) continue;
    if (seen++ == index) return volume.rootPath();
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> MapDrivePath(std::string_view path) {
  QString text = PathToQt(std::string(path));
  std::optional<QString> root;
  if (text.size() >= 2 && text[1] == ':') {
    QChar drive = text[0].toUpper();
    text = text.mid(2);
    if (drive == 'A' || drive == 'B') {
      const char* variable = drive == 'A' ? "QUIZDESK_DRIVE_A" : "QUIZDESK_DRIVE_B";
      QString folder = qEnvironmentVariable(variable);
      if (!folder.isEmpty())
        root = folder;
      else
        root = RemovableVolume(drive == 'A' ? 0 : 1);
      if (!root) return std::nullopt;
    } else if (drive == 'C') {
      root = QDir::currentPath();
    } else {
      return std::nullopt;
    }
  }
  text.replace('\\', '/');
  while (text.startsWith('/') && root) text.remove(0, 1);
  if (!root) return PathFromQt(text);
  return PathFromQt(QDir(*root).filePath(text));
}

TRect ShowSplash(const std::string& bitmapName) {
  TBitmap bitmap = TBitmap::FromResource(bitmapName);
  int x = ScreenWidth() / 2 - bitmap.Width() / 2;
  int y = ScreenHeight() / 2 - bitmap.Height() / 2;
  QLabel splash(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  splash.setPixmap(QPixmap::fromImage(bitmap.Image()));
  splash.setGeometry(x, y, bitmap.Width(), bitmap.Height());
  splash.show();
  // Paint it, then hold it without taking any input.
  for (int i = 0; i < 10; ++i) {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::seconds(3));
  splash.hide();
  return {x, y, x + bitmap.Width(), y + bitmap.Height()};
}

}  // namespace platform
