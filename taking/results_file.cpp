#include "taking/results_file.h"

#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/dialogs.h"
#include "core/results_codec.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace quizdesk {

namespace {

constexpr unsigned kWarning = platform::MB_OK | platform::MB_ICONEXCLAMATION;
// Ours are 199 + 3018 bytes a question; a larger file is not one of ours and is not read.
constexpr qint64 kLargestResultsFile = qint64(256) << 20;

void Warn(QWidget* owner, const char* text) {
  platform::MessageBox(owner, text, "Warning", kWarning);
}

std::optional<QString> RealPath(const std::string& drivePath) {
  std::optional<std::string> path = platform::MapDrivePath(drivePath);
  if (!path || path->empty()) return std::nullopt;
  return platform::PathToQt(*path);
}

}  // namespace

std::string ChooseResultsPath(QWidget* owner) {
  core::TDriveRecord drive{1, 0, 0};
  core::TDriveDialog dialog(owner, &drive);
  if (dialog.Execute() != platform::IDOK) return {};
  // C:, then A:, then B:; a later drive that is set wins.
  std::string path;
  if (drive.driveC == 1) path = kResultsOnC;
  if (drive.driveA == 1) path = kResultsOnA;
  if (drive.driveB == 1) path = kResultsOnB;
  return path.empty() ? std::string(kResultsOnC) : path;
}

bool WriteResults(const std::string& drivePath, const core::TInformation& information,
                  QWidget* owner) {
  std::optional<QString> path = RealPath(drivePath);
  QSaveFile file(path.value_or(QString()));
  // Unbuffered: a buffered QSaveFile takes a short write (a full disk, a size limit) for a
  // whole one and commits the cut file over the good one.
  if (!path || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    Warn(owner, "File cannot be found!");
    return false;
  }
  const std::vector<uint8_t> bytes = core::EncodeResults(information);
  const qint64 written = file.write(reinterpret_cast<const char*>(bytes.data()),
                                    static_cast<qint64>(bytes.size()));
  if (written != static_cast<qint64>(bytes.size()) || !file.commit()) {
    file.cancelWriting();
    Warn(owner,
         "The results could not be written completely (the disk may be full or removed). "
         "They are kept: choose Check Answers to store them again.");
    return false;
  }
  return true;
}

bool StoreResults(const core::TInformation& information, QWidget* owner) {
  const std::string drivePath = ChooseResultsPath(owner);
  if (drivePath.empty()) return false;
  return WriteResults(drivePath, information, owner);
}

bool ReadResults(const std::string& drivePath, core::TInformation& information, QWidget* owner) {
  std::optional<QString> path = RealPath(drivePath);
  QFile file(path.value_or(QString()));
  if (!path || !file.open(QIODevice::ReadOnly)) {
    Warn(owner, "File cannot be found!");
    return false;
  }
  std::unique_ptr<core::TInformation> read;
  if (file.size() <= kLargestResultsFile) {
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
      Warn(owner, "File cannot be found!");
      return false;
    }
    read = core::DecodeResults({reinterpret_cast<const uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size())});
  }
  if (!read) {
    Warn(owner, "The results file is damaged or is not a results file.");
    return false;
  }
  information = std::move(*read);
  return true;
}

bool ResultsFileExists(const std::string& drivePath) {
  std::optional<QString> path = RealPath(drivePath);
  return path && QFileInfo(*path).isFile();
}

}  // namespace quizdesk
