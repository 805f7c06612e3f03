#include "taking/results_file.h"

#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/results_codec.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace quizdesk {

namespace {

constexpr unsigned kWarning = platform::MB_OK | platform::MB_ICONEXCLAMATION;

void Warn(QWidget* owner, const char* text) {
  platform::MessageBox(owner, text, "Warning", kWarning);
}

std::optional<QString> RealPath(const std::string& drivePath) {
  std::optional<std::string> path = platform::MapDrivePath(drivePath);
  if (!path || path->empty()) return std::nullopt;
  return platform::PathToQt(*path);
}

}  // namespace

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
  core::ResultsReadError error = core::ResultsReadError::Missing;
  std::optional<std::string> path = platform::MapDrivePath(drivePath);
  std::unique_ptr<core::TInformation> read = core::ReadResultsFile(path.value_or(""), error);
  if (error == core::ResultsReadError::Missing) {
    Warn(owner, "File cannot be found!");
    return false;
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
