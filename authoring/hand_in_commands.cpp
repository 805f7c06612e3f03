#include <QFileInfo>
#include <QTimer>

#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "gradebook/class_results_window.h"
#include "gradebook/hand_in_listener.h"
#include "gradebook/hand_in_window.h"
#include "gradebook/store.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace quizloom {

namespace {

constexpr char kCaption[] = "Open Hand-In";

}  // namespace

// A session for the open test: the one still open, shown again, or a new one.
void TTestWindow::CmOpenHandIn() {
  const core::TOpenTest& test = listWindow->openTest;
  if (test.questions.IsEmpty())
    return platform::MessageBox(this, "Open the test the class is taking first: hand-in opens "
                                      "for the open test.",
                                kCaption, platform::MB_OK | platform::MB_ICONINFORMATION),
           void();
  gradebook::TStore* store = Gradebook();
  if (!store) return;
  const auto say = [this](const std::string& text) {
    platform::MessageBox(this, text, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
  };
  if (const std::string refusal = store->HandInRefusal(); !refusal.empty()) return say(refusal);
  auto open = store->OpenHandInOf(test);
  if (!open) return say(open.Error());
  if (!*open) {
    auto made = store->OpenHandIn(test, gradebook::kHandInMinutes);
    if (!made) return say(made.Error());
    *open = std::move(*made);
  }
  if (!handInWindow || handInWindow->SessionId() != (*open)->id) {
    const std::string name = platform::PathToText(
        platform::PathFromQt(QFileInfo(platform::PathToQt(test.fileName)).fileName()));
    handInWindow = std::make_unique<gradebook::THandInWindow>(*store, std::move(**open), name,
                                                              this);
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
  if (handInListener || !gradebookStore || !gradebookStore->HandInRefusal().empty()) return;
  std::string error;
  handInListener = gradebookStore->ListenForHandIns(error);
  if (!handInListener) return;
  connect(handInListener.get(), &gradebook::THandInListener::Arrived, this,
          [this](qint64 session) {
            // Collected as they come, also while the teacher has hidden the window.
            if (handInWindow && (session == 0 || session == handInWindow->SessionId()))
              handInWindow->RefreshSoon();  // which shows Class Results anew when it collected
            else if (classResultsWindow && classResultsWindow->isVisible() && !handInsPending)
              // Once for the notices that came together.
              handInsPending = true, QTimer::singleShot(0, this, [this] {
                handInsPending = false;
                if (!classResultsWindow) return;
                CollectHandInsOf(classResultsWindow->TestId());
                RefreshClassResults();
              });
          });
}

// Hand-ins of the test that nobody collected yet, because Quizloom was closed when they came
// or they went to another of the teacher's sessions, go into the gradebook before it is read.
void TTestWindow::CollectHandInsOf(std::optional<int64_t> testId) {
  if (!gradebookStore || !gradebookStore->HandInRefusal().empty()) return;
  // Without a stored test, the open one: nothing of it may have been collected yet.
  if (!testId && listWindow->openTest.questions.IsEmpty()) return;
  auto pending = testId ? gradebookStore->PendingHandIns(*testId)
                        : gradebookStore->PendingHandIns(listWindow->openTest);
  std::string error;
  if (pending && !pending->empty()) {
    platform::TWaitCursor wait;
    gradebook::CollectHandIns(*gradebookStore, *pending, error);
  }
}

}  // namespace quizloom
