#include "core/results_file.h"

#include <QFile>

#include "core/dialogs.h"
#include "core/results_codec.h"
#include "platform/cp1252.h"
#include "platform/modal.h"

namespace core {

namespace {
// Ours are 199 + 3018 bytes a question; a larger file is not one of ours and is not read.
constexpr qint64 kLargestResultsFile = qint64(256) << 20;
}  // namespace

std::string ChooseResultsPath(QWidget* owner) {
  TDriveRecord drive{1, 0, 0};
  TDriveDialog dialog(owner, &drive);
  if (dialog.Execute() != platform::IDOK) return {};
  return DrivePath(drive);
}

std::string DrivePath(const TDriveRecord& drive) {
  std::string path;
  if (drive.driveC == 1) path = kResultsOnC;
  if (drive.driveA == 1) path = kResultsOnA;
  if (drive.driveB == 1) path = kResultsOnB;
  return path.empty() ? std::string(kResultsOnC) : path;
}

bool AskForAnotherDisk(QWidget* owner, const std::string& drivePath, const char* text,
                       const char* caption) {
  if (drivePath == kResultsOnC) return false;
  return platform::MessageBox(owner, text, caption,
                              platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES;
}

std::unique_ptr<TInformation> ReadResultsFile(const std::string& path, ResultsReadError& error) {
  error = ResultsReadError::Missing;
  QFile file(platform::PathToQt(path));
  if (path.empty() || !file.open(QIODevice::ReadOnly)) return nullptr;
  std::unique_ptr<TInformation> read;
  if (file.size() <= kLargestResultsFile) {
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return nullptr;
    read = DecodeResults({reinterpret_cast<const uint8_t*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size())});
  }
  error = read ? ResultsReadError::None : ResultsReadError::Damaged;
  return read;
}

}  // namespace core
