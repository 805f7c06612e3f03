#include <memory>

#include <QApplication>
#include <QFileInfo>
#include <QProgressDialog>

#include "authoring/test_window.h"
#include "core/results_file.h"
#include "gradebook/location_dialog.h"
#include "gradebook/store.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace quizloom {

namespace {

constexpr char kCollectCaption[] = "Collect Results";
constexpr char kAddCaption[] = "Add Results Files";
constexpr char kCollectAgain[] =
    "Do you want to collect another set of results from the same drive? If so put the next "
    "disk into the drive.";
// Lists longer than this show their progress, with Cancel.
constexpr int kListShownFrom = 20;

std::string Field(const char* field, std::size_t size) {
  return std::string(field, strnlen(field, size));
}

std::string StudentName(const core::TInformation& information) {
  return Field(information.firstName, sizeof information.firstName) + " " +
         Field(information.lastName, sizeof information.lastName);
}

// "Ada Lovelace, Biology, 11 of 12"
std::string Describe(const core::TInformation& information) {
  return StudentName(information) + ", " + Field(information.course, sizeof information.course) +
         ", " + std::to_string(information.correctCount) + " of " +
         std::to_string(information.questionCount);
}

std::string Damaged(const std::string& name) {
  return "The results file " + name + " is damaged or is not a results file.";
}

void Say(QWidget* owner, const std::string& text, const char* caption, unsigned icon) {
  platform::MessageBox(owner, text, caption, platform::MB_OK | icon);
}

std::unique_ptr<gradebook::TStore> OpenGradebook(QWidget* owner, const char* caption) {
  std::string error;
  // This computer's file or the school's server, as Gradebook Location chose.
  auto store = gradebook::OpenChosen(owner, error);
  if (!store) Say(owner, error, caption, platform::MB_ICONEXCLAMATION);
  // Older tables still take the results; the teacher hears that they lack today's rights.
  else if (!store->OutdatedRights().empty())
    Say(owner, store->OutdatedRights(), caption, platform::MB_ICONEXCLAMATION);
  return store;
}

gradebook::TStore::ReplaceQuestion AskReplace(QWidget* owner, const char* caption) {
  return [owner, caption](const core::TInformation& earlier) {
    // Asked while the wait cursor is up: the question gets the ordinary one.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = platform::MessageBox(owner,
                                "Replace the attempt of " + StudentName(earlier) +
                                    " collected before?",
                                caption, platform::MB_YESNO | platform::MB_ICONQUESTION);
    QApplication::restoreOverrideCursor();
    return answer == platform::IDYES;
  };
}

// Stores one attempt with the wait cursor up, as the server may make it wait.
gradebook::TStore::Outcome StoreAttempt(QWidget* owner, const char* caption,
                                        gradebook::TStore& store,
                                        const core::TInformation& information) {
  platform::TWaitCursor wait;
  return store.Collect(information, AskReplace(owner, caption));
}

// Reads the file at the system path: the attempt, or nothing and why in refusal.
std::unique_ptr<core::TInformation> ReadAttempt(const std::string& path, const std::string& name,
                                                std::string& refusal) {
  core::ResultsReadError error = core::ResultsReadError::None;
  auto information = core::ReadResultsFile(path, error);
  if (error == core::ResultsReadError::Missing)
    refusal = "The results file " + name + " cannot be read.";
  else if (!information)
    refusal = Damaged(name);
  return information;
}

}  // namespace

void TTestWindow::CmCollectResults() {
  const std::string drivePath = core::ChooseResultsPath(this);
  if (drivePath.empty()) return;
  std::unique_ptr<gradebook::TStore> store = OpenGradebook(this, kCollectCaption);
  if (!store) return;
  do {
    // The gradebook failing (busy, full disk) ends the loop; a disk without results does not.
    if (!CollectDisk(*store, drivePath)) return;
    RefreshClassResults();
  } while (core::AskForAnotherDisk(this, drivePath, kCollectAgain, kCollectCaption));
}

bool TTestWindow::CollectDisk(gradebook::TStore& store, const std::string& drivePath) {
  const std::optional<std::string> path = platform::MapDrivePath(drivePath);
  if (!path || !QFileInfo(platform::PathToQt(*path)).isFile()) {
    Say(this, "There are no test results on the specified drive!!", kCollectCaption,
        platform::MB_ICONEXCLAMATION);
    return true;
  }
  std::string refusal;
  std::unique_ptr<core::TInformation> information = ReadAttempt(*path, drivePath, refusal);
  if (!information) {
    Say(this, refusal, kCollectCaption, platform::MB_ICONEXCLAMATION);
    return true;
  }
  switch (StoreAttempt(this, kCollectCaption, store, *information)) {
    case gradebook::TStore::Outcome::Added:
      Say(this, "Added: " + Describe(*information) + ".", kCollectCaption,
          platform::MB_ICONINFORMATION);
      return true;
    case gradebook::TStore::Outcome::Replaced:
      Say(this, "Replaced: " + Describe(*information) + ".", kCollectCaption,
          platform::MB_ICONINFORMATION);
      return true;
    case gradebook::TStore::Outcome::AlreadyCollected:
      Say(this, "Already collected: " + Describe(*information) + ".", kCollectCaption,
          platform::MB_ICONINFORMATION);
      return true;
    case gradebook::TStore::Outcome::Damaged:
      Say(this, Damaged(drivePath), kCollectCaption, platform::MB_ICONEXCLAMATION);
      return true;
    case gradebook::TStore::Outcome::Failed:
      break;
  }
  Say(this, store.LastError(), kCollectCaption, platform::MB_ICONEXCLAMATION);
  return false;
}

void TTestWindow::CmAddResultsFiles() {
  std::vector<std::string> paths;
  if (!platform::GetOpenFileNames(this, resultsFileData, paths)) return;
  std::unique_ptr<gradebook::TStore> store = OpenGradebook(this, kAddCaption);
  if (!store) return;
  const int count = static_cast<int>(paths.size());
  QProgressDialog progress("Collecting results files...", "Cancel", 0, count, this);
  progress.setWindowTitle(kAddCaption);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(count > kListShownFrom ? 0 : 1000000);
  int added = 0, replaced = 0, known = 0, done = 0;
  std::vector<std::string> refused;
  std::string stopped;
  for (const std::string& path : paths) {
    progress.setValue(done);
    if (progress.wasCanceled()) break;
    const std::string name = platform::PathToText(QFileInfo(platform::PathToQt(path))
                                                      .fileName().toStdString());
    std::string refusal;
    std::unique_ptr<core::TInformation> information = ReadAttempt(path, name, refusal);
    if (information) {
      switch (StoreAttempt(this, kAddCaption, *store, *information)) {
        case gradebook::TStore::Outcome::Added: ++added; break;
        case gradebook::TStore::Outcome::Replaced: ++replaced; break;
        case gradebook::TStore::Outcome::AlreadyCollected: ++known; break;
        case gradebook::TStore::Outcome::Damaged: refusal = Damaged(name); break;
        case gradebook::TStore::Outcome::Failed: stopped = store->LastError(); break;
      }
    }
    if (!stopped.empty()) break;
    if (!refusal.empty()) refused.push_back(refusal);
    ++done;
  }
  progress.reset();
  std::string report = "Added: " + std::to_string(added) +
                       ". Replaced: " + std::to_string(replaced) +
                       ". Already collected: " + std::to_string(known) +
                       ". Refused: " + std::to_string(refused.size()) + ".";
  for (const std::string& refusal : refused) report += "\n" + refusal;
  if (!stopped.empty()) report += "\n" + stopped;
  if (done < count)
    report += "\n" + std::to_string(count - done) + " of " + std::to_string(count) +
              " files were not read.";
  RefreshClassResults();
  Say(this, report, kAddCaption,
      refused.empty() && done == count ? platform::MB_ICONINFORMATION
                                       : platform::MB_ICONEXCLAMATION);
}

}  // namespace quizloom
