#include <QFileInfo>
#include <QTimer>

#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "gradebook/class_results_window.h"
#include "gradebook/gradebook_thread.h"
#include "gradebook/hand_in_listener.h"
#include "gradebook/hand_in_window.h"
#include "gradebook/store.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace quizloom {

namespace {

constexpr char kCaption[] = "Open Hand-In";
// How soon Class Results collects again while another gradebook command runs.
constexpr int kBusyRetryMilliseconds = 500;

}  // namespace

// A session for the open test: the one still open, shown again, or a new one.
void TTestWindow::CmOpenHandIn() {
  const core::TOpenTest& test = listWindow->openTest;
  if (test.questions.IsEmpty())
    return platform::MessageBox(this, "Open the test the class is taking first: hand-in opens "
                                      "for the open test.",
                                kCaption, platform::MB_OK | platform::MB_ICONINFORMATION),
           void();
  gradebook::TGradebookThread* gradebook = Gradebook();
  if (!gradebook) return;
  const auto say = [this](const std::string& text) {
    platform::MessageBox(this, text, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
  };
  if (const std::string refusal = gradebook->Store()->HandInRefusal(); !refusal.empty())
    return say(refusal);
  std::optional<gradebook::THandInSession> session;
  std::string error;
  const bool finished = gradebook->Use(this, "Opening the hand-in...",
                                       [&](gradebook::TStore& store, gradebook::TJob&) {
    auto open = store.OpenHandInOf(test);
    if (!open) return error = open.Error(), void();
    if (*open) return session = std::move(**open), void();
    auto made = store.OpenHandIn(test, gradebook::kHandInMinutes);
    if (!made) return error = made.Error(), void();
    session = std::move(*made);
  });
  if (!session) return say(finished ? error : gradebook::kCancelled);
  if (!handInWindow || handInWindow->SessionId() != session->id) {
    const std::string name = platform::PathToText(
        platform::PathFromQt(QFileInfo(platform::PathToQt(test.fileName)).fileName()));
    handInWindow = std::make_unique<gradebook::THandInWindow>(*gradebook, std::move(*session),
                                                              name, this);
    handInWindow->OnCollected([this] { RefreshClassResults(); });
  }
  FollowHandIns();
  handInWindow->Refresh();
  handInWindow->show();
  handInWindow->raise();
  handInWindow->activateWindow();
}

// One listening connection for the session window and Class Results alike. Without one the
// windows still show what arrived when opened; they just do not follow.
void TTestWindow::FollowHandIns() {
  if (handInListener || !gradebookThread || !gradebookThread->Store() ||
      !gradebookThread->Store()->HandInRefusal().empty())
    return;
  // The listening connection lives on the gradebook's thread beside the one connection; it
  // is opened there with the window alive, and ends there when the location changes.
  gradebookThread->Use(this, "Connecting to the gradebook server...",
                       [this](gradebook::TStore& store, gradebook::TJob&) {
    handInListener = static_cast<gradebook::THandInListener*>(gradebookThread->Host([&store] {
      std::string error;
      return std::unique_ptr<QObject>(store.ListenForHandIns(error));
    }));
  });
  if (!handInListener) return;
  connect(handInListener, &QObject::destroyed, this, [this] { handInListener = nullptr; });
  connect(handInListener, &gradebook::THandInListener::Arrived, this, [this](qint64 session) {
    // Collected as they come, also while the teacher has hidden the window.
    if (handInWindow && (session == 0 || session == handInWindow->SessionId()))
      handInWindow->RefreshSoon();  // which shows Class Results anew when it collected
    else if (classResultsWindow && classResultsWindow->isVisible() && !handInsPending)
      // Once for the notices that came together, and after a command that runs.
      handInsPending = true, QTimer::singleShot(0, this, [this] { CollectForClassResults(); });
  });
}

void TTestWindow::CollectForClassResults() {
  if (gradebookThread && gradebookThread->Busy())
    return QTimer::singleShot(kBusyRetryMilliseconds, this, [this] { CollectForClassResults(); });
  handInsPending = false;
  if (!classResultsWindow) return;
  CollectHandInsOf(classResultsWindow->TestId());
  RefreshClassResults();
}

// Hand-ins of the test that nobody collected yet, because Quizloom was closed when they came
// or they went to another of the teacher's sessions, go into the gradebook before it is read.
void TTestWindow::CollectHandInsOf(std::optional<int64_t> testId) {
  if (!gradebookThread || !gradebookThread->Store() ||
      !gradebookThread->Store()->HandInRefusal().empty())
    return;
  // Without a stored test, the open one: nothing of it may have been collected yet.
  if (!testId && listWindow->openTest.questions.IsEmpty()) return;
  gradebookThread->Use(this, "Collecting what was handed in...",
                       [&](gradebook::TStore& store, gradebook::TJob&) {
    auto pending = testId ? store.PendingHandIns(*testId)
                          : store.PendingHandIns(listWindow->openTest);
    std::string error;
    if (pending && !pending->empty()) gradebook::CollectHandIns(store, *pending, error);
  });
}

}  // namespace quizloom
