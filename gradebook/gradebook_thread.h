#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QThread>

class QObject;
class QWidget;

namespace gradebook {

// What a command tells when the teacher cancelled it: the gradebook kept nothing of what the
// command had not finished.
inline constexpr char kCancelled[] =
    "Cancelled: the gradebook undid what the command had not finished.";

class TStore;
class TGradebookThread;

// Ends a store on the gradebook thread: a Qt SQL connection is used on the thread that made it
// only, its closing too.
struct TEndOnThread {
  TGradebookThread* thread = nullptr;
  void operator()(TStore* store) const;
};
using TStorePtr = std::unique_ptr<TStore, TEndOnThread>;

// What a piece of work tells and learns while it runs on the gradebook thread.
class TJob {
 public:
  // done of total, shown in the progress dialog; a total of 0 shows work of unknown length.
  void Progress(int done, int total) { done_ = done, total_ = total; }
  // The teacher pressed Cancel: the work stops at its next step. The statement running then
  // was interrupted, so it failed; the work rolls back what it had not finished.
  bool Cancelled() const { return cancelled_; }
  // The store whose running statement Cancel interrupts (the one connection is watched
  // already). On the gradebook thread; a store opened again must be watched again.
  void Watch(TStore& store);
  ~TJob();

 private:
  friend class TGradebookThread;
  void Cancel();  // on the window's thread
  void Unwatch();
  std::atomic<int> done_{0}, total_{0};
  std::atomic<bool> cancelled_{false};
  std::mutex mutex_;
  void* serverCancel_ = nullptr;  // libpq's PGcancel for the watched connection
  void* file_ = nullptr;          // SQLite's sqlite3 of the watched file
};

// The gradebook's own thread: it owns the one gradebook connection, and every gradebook
// command sends its work here and waits with the window alive, so that a slow server never
// freezes it. Runs one piece of work at a time. Its objects (stores, hosted objects) are made,
// used and ended on it only.
//
// A QObject that must live beside the connection, such as a second connection listening for
// the server's notifications, is hosted: Host makes it on the thread and the thread ends it
// there, on Unhost, on Close (the location changes) and before the thread ends. Its signals
// reach the window through queued connections; its methods are called on the thread, with
// Run, or through its own queued slots.
class TGradebookThread {
 public:
  TGradebookThread();
  // For tests of the windows: work runs at once on the calling thread over their store, and
  // nothing is ever cancelled.
  explicit TGradebookThread(TStore& store);
  ~TGradebookThread();
  TGradebookThread(const TGradebookThread&) = delete;
  TGradebookThread& operator=(const TGradebookThread&) = delete;

  // Runs work on the thread and waits for it: the window repaints, and after half a second a
  // progress dialog showing label offers Cancel (through the modal seam). Cancel interrupts the
  // watched connection's statement: the server's through libpq's cancel request, this
  // computer's file through SQLite's interrupt. False when the teacher cancelled, or when
  // another piece of work was still running (the teacher is told); work must then tell what it
  // rolled back.
  bool Run(QWidget* owner, const std::string& label, const std::function<void(TJob&)>& work);
  // The same over the one connection, watched for Cancel. Open it first.
  bool Use(QWidget* owner, const std::string& label,
           const std::function<void(TStore&, TJob&)>& work);

  // A piece of work is running: what the window does meanwhile (a notice, a timer) waits.
  bool Busy() const { return running_; }

  // The one connection: null until one is kept. Its settings (Collector, OutdatedRights...) may
  // be read on the window's thread while no work runs; its commands go through Use.
  TStore* Store() const { return store_; }
  void Keep(TStorePtr store);
  // Ends the hosted objects, then the connection, on the thread: the location changed.
  void Close();

  // Makes an object on the thread with make (quick: a connection that takes long to open is
  // opened later with Run) and keeps it until Unhost or Close. The pointer is for connecting
  // its signals and for Unhost; after Close it is gone (its destroyed() signal tells).
  QObject* Host(const std::function<std::unique_ptr<QObject>()>& make);
  void Unhost(QObject* object);

  // Runs step on the thread and waits for it without any dialog: for steps that never wait
  // for a server, such as ending an object.
  void RunQuick(const std::function<void()>& step);
  // Runs ask on the window's thread and waits for it: the questions that work asks (the
  // replace question, a password). At once when already there.
  static void AskOnWindowThread(const std::function<void()>& ask);

 private:
  QThread thread_;
  QObject* context_ = nullptr;  // lives on thread_: work is queued to it
  bool inline_ = false;
  bool running_ = false;
  TStore* store_ = nullptr;  // owned; ended on the thread
  std::vector<QObject*> hosted_;
};

}  // namespace gradebook
