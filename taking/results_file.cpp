#include "taking/results_file.h"

#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QWidget>

#include "core/results_codec.h"
#include "platform/cp1252.h"
#include "platform/dialog.h"
#include "platform/modal.h"
#include "platform/system.h"
#include "taking/hand_in.h"

namespace quizdesk {

namespace {

constexpr unsigned kWarning = platform::MB_OK | platform::MB_ICONEXCLAMATION;

void Warn(QWidget* owner, const char* text) {
  platform::MessageBox(owner, text, "Warning", kWarning);
}

void Notify(QWidget* owner, const char* text) {
  platform::MessageBox(owner, text, "Information",
                       platform::MB_OK | platform::MB_ICONINFORMATION);
}

#pragma pack(push, 1)
struct TSchoolDriveRecord {  // SCHOOLDRIVEDLG: C:, A:, B:, School
  core::TDriveRecord drive;
  int32_t school;
};
struct THandInRecord {  // HANDINDLG
  char code[13];
};
#pragma pack(pop)
static_assert(sizeof(TSchoolDriveRecord) == 16);

// The drive path chosen, kSchool, or empty after Escape. School is preselected once a code
// is known for this test, so that a review goes the same way with a press of Enter.
constexpr char kSchool[] = "School";

std::string ChooseDriveOrSchool(QWidget* owner, bool codeKnown) {
  TSchoolDriveRecord record{{codeKnown ? 0 : 1, 0, 0}, codeKnown ? 1 : 0};
  platform::TDialog dialog(owner, "SCHOOLDRIVEDLG", &record);
  // The keys start from the choice made, as they do from C: in the first store.
  if (codeKnown) dialog.Control(106)->setFocus();
  if (dialog.Execute() != platform::IDOK) return {};
  return record.school == 1 ? kSchool : core::DrivePath(record.drive);
}

// The code as typed, cleaned; empty when the student cancelled.
std::string AskHandInCode(QWidget* owner) {
  THandInRecord record{};
  for (;;) {
    platform::TDialog dialog(owner, "HANDINDLG", &record);
    if (dialog.Execute() != platform::IDOK) return {};
    std::string code = CleanHandInCode(record.code);
    if (!code.empty()) return code;
    Warn(owner, "Type the hand-in code that your teacher shows.");
  }
}

// The dialog with School, until the student stores or cancels: whether the results were
// stored, or nothing, after saying why, when a hand-in failed and the drives alone remain.
// handInCode keeps the code while it is worth trying; one the server does not know (any
// more) is asked again next time.
std::optional<bool> TryHandIn(std::span<const uint8_t> bytes, QWidget* owner,
                              std::string& handInCode, const THandInSetting& setting) {
  for (;;) {
    const std::string choice = ChooseDriveOrSchool(owner, !handInCode.empty());
    if (choice.empty()) return false;
    if (choice != kSchool) return WriteResults(choice, bytes, owner);
    const std::string code = handInCode.empty() ? AskHandInCode(owner) : handInCode;
    if (code.empty()) continue;
    const THandInOutcome outcome = HandIn(setting, code, bytes);
    if (outcome.handedIn) {
      handInCode = code;
      Notify(owner, "Your answers have been handed in.");
      return true;
    }
    handInCode = outcome.reason == "unknown" || outcome.reason == "closed" ? "" : code;
    const std::string text = "Your answers could not be handed in (" + outcome.reason +
                             "). Choose a drive to store them.";
    Warn(owner, text.c_str());
    return std::nullopt;
  }
}

std::optional<QString> RealPath(const std::string& drivePath) {
  std::optional<std::string> path = platform::MapDrivePath(drivePath);
  if (!path || path->empty()) return std::nullopt;
  return platform::PathToQt(*path);
}

}  // namespace

bool WriteResults(const std::string& drivePath, std::span<const uint8_t> bytes, QWidget* owner) {
  std::optional<QString> path = RealPath(drivePath);
  QSaveFile file(path.value_or(QString()));
  // Unbuffered: a buffered QSaveFile takes a short write (a full disk, a size limit) for a
  // whole one and commits the cut file over the good one.
  if (!path || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    Warn(owner, "File cannot be found!");
    return false;
  }
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

bool StoreResults(const core::TInformation& information, QWidget* owner, std::string& handInCode) {
  // The very bytes a drive would get are the ones handed in.
  const std::vector<uint8_t> bytes = core::EncodeResults(information);
  if (const std::optional<THandInSetting> setting = LoadHandInSetting()) {
    if (std::optional<bool> stored = TryHandIn(bytes, owner, handInCode, *setting))
      return *stored;
  }
  const std::string drivePath = ChooseResultsPath(owner);
  if (drivePath.empty()) return false;
  return WriteResults(drivePath, bytes, owner);
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
