#include <cstdio>
#include <map>
#include <memory>
#include <optional>

#include <QApplication>
#include <QFileInfo>

#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "core/results_file.h"
#include "gradebook/attempt_key.h"
#include "gradebook/gradebook_thread.h"
#include "gradebook/location_dialog.h"
#include "gradebook/statistics.h"
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
constexpr char kCancelledDisk[] = "Cancelled: the results on this disk were not stored.";
constexpr char kCancelledFile[] = "Cancelled: the file in hand was not stored.";

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

// Older tables still take the results; the teacher hears that they lack today's rights.
void SayOutdated(QWidget* owner, const gradebook::TStore& store, const char* caption) {
  if (!store.OutdatedRights().empty())
    Say(owner, store.OutdatedRights(), caption, platform::MB_ICONEXCLAMATION);
}

// "2026-03-07, 11 of 12, 92 %"
std::string DateAndScore(const core::TInformation& information) {
  char date[32];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", information.year, information.month,
                information.day);
  const std::optional<int32_t> percent =
      gradebook::Percent(information.correctCount, information.questionCount);
  return std::string(date) + ", " + std::to_string(information.correctCount) + " of " +
         std::to_string(information.questionCount) +
         (percent ? ", " + std::to_string(*percent) + " %" : std::string());
}

gradebook::TStore::ReplaceQuestion AskReplace(QWidget* owner, const char* caption,
                                              const core::TInformation& newer) {
  return [owner, caption, &newer](const core::TInformation& earlier) {
    int answer = platform::IDNO;
    // Asked on the window's thread while the gradebook's waits for the answer.
    gradebook::TGradebookThread::AskOnWindowThread([&] {
      // Asked while the wait cursor is up: the question gets the ordinary one.
      QApplication::setOverrideCursor(Qt::ArrowCursor);
      answer = platform::MessageBox(owner,
                                    "Replace the attempt of " + StudentName(earlier) +
                                        " collected before (" + DateAndScore(earlier) +
                                        ") with this one (" + DateAndScore(newer) +
                                        ")? No keeps both.",
                                    caption, platform::MB_YESNO | platform::MB_ICONQUESTION);
      QApplication::restoreOverrideCursor();
    });
    return answer == platform::IDYES;
  };
}

// What a failure leaves behind: the attempts this command stored before it stay stored.
std::string StoredBefore(int stored) {
  return " Attempts stored before it: " + std::to_string(stored) + ".";
}

// The test an attempt went to, when a test is open and it is another: " to CHEM.TST".
std::string OtherTest(const core::TInformation& information,
                      const std::optional<std::string>& openTestKey, const char* preposition) {
  if (!openTestKey || gradebook::TestKey(information) == *openTestKey) return "";
  return std::string(" ") + preposition + " " + gradebook::TestFileName(information);
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

std::optional<std::string> TTestWindow::OpenTestKey() const {
  if (listWindow->openTest.questions.IsEmpty()) return std::nullopt;
  return gradebook::TestKey(listWindow->openTest);
}

void TTestWindow::CmCollectResults() {
  const std::string drivePath = core::ChooseResultsPath(this);
  if (drivePath.empty()) return;
  // The one gradebook connection, which Class Results reads through too.
  gradebook::TGradebookThread* gradebook = Gradebook();
  if (!gradebook) return;
  SayOutdated(this, *gradebook->Store(), kCollectCaption);
  int stored = 0;
  do {
    // The gradebook failing (busy, full disk) or Cancel ends the loop; a disk without results
    // does not.
    if (!CollectDisk(*gradebook, drivePath, stored)) return;
    RefreshClassResults();
  } while (core::AskForAnotherDisk(this, drivePath, kCollectAgain, kCollectCaption));
}

bool TTestWindow::CollectDisk(gradebook::TGradebookThread& gradebook,
                              const std::string& drivePath, int& stored) {
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
  auto outcome = gradebook::TStore::Outcome::Failed;
  std::string error;
  const auto collect = [&](gradebook::TStore& store, gradebook::TJob&) {
    outcome = store.Collect(*information, AskReplace(this, kCollectCaption, *information));
    error = store.LastError();
  };
  const bool finished = gradebook.Use(this, "Collecting the results...", collect);
  switch (outcome) {
    case gradebook::TStore::Outcome::Added:
      ++stored;
      Say(this, "Added" + OtherTest(*information, OpenTestKey(), "to") + ": " +
                    Describe(*information) + ".",
          kCollectCaption, platform::MB_ICONINFORMATION);
      return true;
    case gradebook::TStore::Outcome::Replaced:
      ++stored;
      Say(this, "Replaced" + OtherTest(*information, OpenTestKey(), "in") + ": " +
                    Describe(*information) + ".",
          kCollectCaption, platform::MB_ICONINFORMATION);
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
  Say(this, (finished ? error : kCancelledDisk) + StoredBefore(stored), kCollectCaption,
      platform::MB_ICONEXCLAMATION);
  return false;
}

void TTestWindow::CmAddResultsFiles() {
  std::vector<std::string> paths;
  if (!platform::GetOpenFileNames(this, resultsFileData, paths)) return;
  gradebook::TGradebookThread* gradebook = Gradebook();
  if (!gradebook) return;
  SayOutdated(this, *gradebook->Store(), kAddCaption);
  const int count = static_cast<int>(paths.size());
  int added = 0, replaced = 0, known = 0, done = 0;
  std::vector<std::string> refused;
  std::string stopped;
  bool began = false;
  const std::optional<std::string> openTestKey = OpenTestKey();
  std::map<std::string, int> addedElsewhere;  // by the test's file name
  const auto collect = [&](gradebook::TStore& store, gradebook::TJob& job) {
    // The list is one batch: each file whole or not at all, and on a server no round trip for
    // each file's own transaction.
    if (!(began = store.BeginBatch())) return void(stopped = store.LastError());
    for (const std::string& path : paths) {
      job.Progress(done, count);
      if (job.Cancelled()) break;
      const std::string name = platform::PathToText(QFileInfo(platform::PathToQt(path))
                                                        .fileName().toStdString());
      std::string refusal;
      std::unique_ptr<core::TInformation> information = ReadAttempt(path, name, refusal);
      if (information) {
        switch (store.Collect(*information, AskReplace(this, kAddCaption, *information))) {
          case gradebook::TStore::Outcome::Added:
            ++added;
            if (!OtherTest(*information, openTestKey, "to").empty())
              ++addedElsewhere[gradebook::TestFileName(*information)];
            break;
          case gradebook::TStore::Outcome::Replaced: ++replaced; break;
          case gradebook::TStore::Outcome::AlreadyCollected: ++known; break;
          case gradebook::TStore::Outcome::Damaged: refusal = Damaged(name); break;
          case gradebook::TStore::Outcome::Failed: stopped = store.LastError(); break;
        }
      }
      if (!stopped.empty()) break;
      if (!refusal.empty()) refused.push_back(refusal);
      ++done;
    }
    // The statement that Cancel interrupted failed: its file was undone, the others stay.
    if (job.Cancelled() && !stopped.empty()) stopped = kCancelledFile;
    if (store.ConnectionLost()) {
      // The server undid the batch with its connection: nothing of it is stored.
      store.AbandonBatch();
      added = replaced = 0, addedElsewhere.clear();
    } else if (!store.EndBatch()) {
      stopped += (stopped.empty() ? "" : " ") + store.LastError();
      added = replaced = 0, addedElsewhere.clear();
    } else if (!stopped.empty()) {
      stopped += StoredBefore(added + replaced);
    }
  };
  gradebook->Use(this, "Collecting results files...", collect);
  if (!began) return Say(this, stopped, kAddCaption, platform::MB_ICONEXCLAMATION);
  std::string elsewhere;
  for (const auto& [test, count] : addedElsewhere)
    elsewhere += (elsewhere.empty() ? ", of which " : " and ") + std::to_string(count) + " to " +
                 test;
  std::string report = "Added: " + std::to_string(added) + elsewhere +
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
