#include "gradebook/gradebook_thread.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QSqlDriver>
#include <QTimer>
#include <QVariant>

#include "gradebook/store.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"

namespace gradebook {

namespace {

// A wait shorter than this shows no dialog; the window only repaints.
constexpr int kProgressAfterMs = 500;
constexpr int kPollMs = 100;

constexpr char kStillRunning[] =
    "The gradebook is still busy with another command; try again when it has finished.";

bool IsType(const QVariant& handle, const char* name) {
  return qstrcmp(handle.typeName(), name) == 0;
}

}  // namespace

void TEndOnThread::operator()(TStore* store) const {
  if (!thread) return delete store;
  thread->RunQuick([store] { delete store; });
}

void TJob::Watch(TStore& store) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (serverCancel_) PQfreeCancel(static_cast<PGcancel*>(serverCancel_));
  serverCancel_ = file_ = nullptr;
  const QVariant handle = store.Driver()->handle();
  // Qt names the types by libpq's and SQLite's structs.
  if (IsType(handle, "PGconn*") || IsType(handle, "pg_conn*")) {
    if (PGconn* server = *static_cast<PGconn* const*>(handle.constData()))
      serverCancel_ = PQgetCancel(server);
  } else if (IsType(handle, "sqlite3*")) {
    file_ = *static_cast<sqlite3* const*>(handle.constData());
  }
}

void TJob::Unwatch() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (serverCancel_) PQfreeCancel(static_cast<PGcancel*>(serverCancel_));
  serverCancel_ = file_ = nullptr;
}

TJob::~TJob() { Unwatch(); }

void TJob::Cancel() {
  cancelled_ = true;
  std::lock_guard<std::mutex> lock(mutex_);
  // Both may be called from another thread than the connection's: that is what they are for.
  if (serverCancel_) {
    char why[256];
    PQcancel(static_cast<PGcancel*>(serverCancel_), why, sizeof why);
  }
  if (file_) sqlite3_interrupt(static_cast<sqlite3*>(file_));
}

TGradebookThread::TGradebookThread() : context_(new QObject) {
  thread_.setObjectName("gradebook");
  context_->moveToThread(&thread_);
  QObject::connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
  thread_.start();
}

TGradebookThread::TGradebookThread(TStore& store) : inline_(true), store_(&store) {}

TGradebookThread::~TGradebookThread() {
  Close();
  if (inline_) return;
  thread_.quit();
  thread_.wait();
}

void TGradebookThread::RunQuick(const std::function<void()>& step) {
  if (inline_ || QThread::currentThread() == &thread_) return step();
  QMetaObject::invokeMethod(context_, [&step] { step(); }, Qt::BlockingQueuedConnection);
}

void TGradebookThread::AskOnWindowThread(const std::function<void()>& ask) {
  if (QThread::currentThread() == QCoreApplication::instance()->thread()) return ask();
  QMetaObject::invokeMethod(QCoreApplication::instance(), [&ask] { ask(); },
                            Qt::BlockingQueuedConnection);
}

bool TGradebookThread::Run(QWidget* owner, const std::string& label,
                           const std::function<void(TJob&)>& work) {
  TJob job;
  if (inline_) return work(job), true;
  if (running_) {
    // Reached through a question the running work asked: the thread cannot take another.
    platform::MessageBox(owner, kStillRunning, "Gradebook",
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return false;
  }
  running_ = true;
  platform::TWaitCursor wait;
  std::atomic<bool> finished{false};
  QMetaObject::invokeMethod(context_, [&] {
    work(job);
    job.Unwatch();
    finished = true;
    // Wakes the window's thread, which waits for events.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
  }, Qt::QueuedConnection);

  QElapsedTimer clock;
  clock.start();
  std::unique_ptr<QProgressDialog> progress;
  QTimer poll;
  poll.setInterval(kPollMs);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (finished || job.Cancelled() || clock.elapsed() < kProgressAfterMs) return;
    if (!progress) {
      progress = std::make_unique<QProgressDialog>(platform::FromCp1252(label), "Cancel", 0, 0,
                                                   owner);
      progress->setWindowTitle("Gradebook");
      progress->setWindowModality(Qt::ApplicationModal);
      progress->setMinimumDuration(0);
      progress->show();
    }
    if (platform::Modal().ProgressCancelled(*progress, job.done_, job.total_)) {
      progress->setLabelText("Cancelling...");
      job.Cancel();
    }
  });
  poll.start();
  // Until the dialog can show, the window repaints but takes no input: no second command.
  while (!finished)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                    (progress ? QEventLoop::AllEvents
                                              : QEventLoop::ExcludeUserInputEvents));
  running_ = false;
  return !job.Cancelled();
}

bool TGradebookThread::Use(QWidget* owner, const std::string& label,
                           const std::function<void(TStore&, TJob&)>& work) {
  return Run(owner, label, [&](TJob& job) {
    // A connection the server closed is opened again before it is watched.
    if (!inline_ && store_->EnsureConnected()) job.Watch(*store_);
    work(*store_, job);
  });
}

void TGradebookThread::Keep(TStorePtr store) {
  Close();
  store_ = store.release();
}

void TGradebookThread::Close() {
  RunQuick([this] {
    // The hosted objects may use the connection's server: they end first.
    for (QObject* object : hosted_) delete object;
    hosted_.clear();
    if (!inline_) delete store_;
  });
  if (!inline_) store_ = nullptr;
}

QObject* TGradebookThread::Host(const std::function<std::unique_ptr<QObject>()>& make) {
  QObject* object = nullptr;
  RunQuick([&] { object = make().release(); });
  if (object) hosted_.push_back(object);
  return object;
}

void TGradebookThread::Unhost(QObject* object) {
  const auto found = std::find(hosted_.begin(), hosted_.end(), object);
  if (found == hosted_.end()) return;
  hosted_.erase(found);
  RunQuick([object] { delete object; });
}

}  // namespace gradebook
