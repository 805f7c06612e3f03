#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/open_test.h"
#include "core/records.h"
#include "gradebook/hand_in.h"
#include "gradebook/location.h"
#include "gradebook/regrading.h"

class QSqlDriver;
class QSqlError;
class QSqlQuery;
class QString;
class QVariant;

namespace gradebook {

// What a read gave: its value, or why there is none in a sentence fit for a message box
// (empty when the teacher cancelled the read).
template <class T>
class TRead {
 public:
  TRead(T value) : value_(std::move(value)) {}
  static TRead Failed(std::string error) {
    TRead read;
    read.error_ = std::move(error);
    return read;
  }
  explicit operator bool() const { return value_.has_value(); }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }
  T&& operator*() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  // The value; a read that failed throws its reason (for tests and benchmarks).
  T& value() & { return Checked(), *value_; }
  const T& value() const& { return Checked(), *value_; }
  T&& value() && { return Checked(), std::move(*value_); }
  const std::string& Error() const { return error_; }

 private:
  TRead() = default;
  void Checked() const {
    if (!value_) throw std::runtime_error(error_);
  }
  std::optional<T> value_;
  std::string error_;
};

// One open connection to the teacher's gradebook, used on the thread that opened it. Every
// call that can fail says so by its result and leaves the reason, in a sentence fit for a
// message box, in LastError() too; reads carry it in their result.
class TStore {
 public:
  struct TTestSummary {
    int64_t id = 0;
    std::string fileName;  // the test path's file name, as the first collected attempt gave it
    int32_t questionCount = 0;
    int32_t attemptCount = 0;
    std::string collector;  // whose test row it is on a server; empty on this computer
    // The days of its first and last attempts as year x 10000 + month x 100 + day, and its
    // first question: what tells two versions of a test apart.
    int32_t firstDay = 0;
    int32_t lastDay = 0;
    core::TLetters firstQuestion;
  };

  struct TAttempt {
    int64_t id = 0;
    // Names, course, period, instructor, test path, date, counts and every response in
    // answering order, with the question and expected answer as the results file held them.
    std::unique_ptr<core::TInformation> information;
    std::string collector;  // the account that collected it
  };

  // What collecting one attempt did.
  enum class Outcome {
    Added,             // a new attempt, or a retake kept beside the earlier one
    Replaced,          // the earlier attempt of the same student was replaced
    AlreadyCollected,  // identical to one stored: nothing was written
    Damaged,           // the responses do not answer each of the test's questions once
    Failed,            // nothing was written; LastError() says why
  };

  // Asked when the gradebook holds an attempt of the same student on the same test and date
  // with other responses: true replaces it, false keeps both. Without one, both are kept.
  using ReplaceQuestion = std::function<bool(const core::TInformation& earlier)>;

  // Opens the gradebook at path, creating it (mode 0600, its folder too) when missing, and
  // brings its schema up to date. Nothing, and the reason in error, when it cannot be used.
  static std::unique_ptr<TStore> Open(const std::string& path, std::string& error);
  // gradebook.sqlite in Quizloom's data folder of this account.
  static std::string DefaultPath();
  // Opens the gradebook on a school's PostgreSQL server. The tables are the administrator's:
  // they are checked, never made or altered. needsPassword tells that the server asked for a
  // password that password did not give.
  static std::unique_ptr<TStore> OpenServer(const TLocation& location, const std::string& password,
                                            std::string& error, bool& needsPassword);
  // This computer's file or the server, as the teacher chose.
  static std::unique_ptr<TStore> Open(const TLocation& location, const std::string& password,
                                      std::string& error, bool& needsPassword);

  ~TStore();
  TStore(const TStore&) = delete;
  TStore& operator=(const TStore&) = delete;

  // Before each command: a server connection that the server has closed since the last one
  // (it was stopped and started again) is opened again, its prepared statements cleared. False,
  // and LastError() says so, when the server does not answer.
  bool EnsureConnected();

  TRead<std::vector<TTestSummary>> Tests();
  // The stored test with the open test's questions and answers, letters and marks alike, or
  // nothing when the gradebook holds none.
  TRead<std::optional<int64_t>> FindTest(const core::TOpenTest& test);
  TRead<std::vector<TAttempt>> Attempts(int64_t testId);
  // Each attempt of the test in the order collected, read a few at a time, so that a test of
  // any size is read in little memory; visit returning false stops. False on failure.
  bool EachAttempt(int64_t testId, const std::function<bool(TAttempt&&)>& visit);
  bool DeleteAttempt(int64_t attemptId);

  // A batch (the files of Add Results Files, one disk of Collect Results) is one transaction:
  // what it collected is stored when it ends, each attempt whole or not at all. False, and
  // why in LastError(), when it cannot begin or end; nothing of it is then stored.
  bool BeginBatch();
  bool EndBatch();
  void AbandonBatch();
  // Stores one attempt read from a results file: within a batch, or as a batch of its own.
  // A failure leaves the batch's other attempts as they are, unless the server stopped
  // answering (ConnectionLost()), which loses the batch.
  Outcome Collect(const core::TInformation& information, const ReplaceQuestion& askReplace);

  // What collecting many files at once did.
  struct TCopyCounts {
    int copied = 0;
    int skipped = 0;  // already in this gradebook, collected by the same account
  };
  // Copies every attempt of from into this gradebook in one transaction, test by test and
  // attempt by attempt, so that a gradebook of any size is copied in little memory;
  // progress(done, total) returning false cancels and rolls the whole copy back. Nothing on
  // failure or Cancel (LastError() then empty).
  std::optional<TCopyCounts> CopyFrom(TStore& from,
                                      const std::function<bool(int done, int total)>& progress);

  // Whether this gradebook keeps answers accepted after the test: its tables are recent enough
  // (a read-only or a server's older gradebook may not be). Why not, when not, is
  // AcceptingRefusal().
  bool KeepsAcceptances() const;
  // What each question of the test accepts besides its expected answer, in the order accepted.
  std::optional<std::vector<TAcceptance>> Acceptances(int64_t testId);
  // Accepts the answer, or a way of comparing, for a question of the teacher's own test, or
  // stops accepting it, in one transaction. False, and why in LastError(), when refused (an
  // empty answer, the expected answer itself, another teacher's test) or not stored.
  bool Accept(int64_t testId, const TAcceptance& acceptance);
  bool StopAccepting(int64_t testId, const TAcceptance& acceptance);
  // Why nothing may be accepted in this gradebook, or empty.
  std::string AcceptingRefusal() const;

  // Handing in over the network (hand_in.h), on a school's server only. Why this gradebook
  // takes no hand-ins (this computer's, older tables, read only), or empty.
  std::string HandInRefusal() const;
  // Opens a session for the test, closing after minutes; the server draws its code.
  TRead<THandInSession> OpenHandIn(const core::TOpenTest& test, int minutes);
  // The teacher's session for the test that is still open, if any; as it stands now.
  TRead<std::optional<THandInSession>> OpenHandInOf(const core::TOpenTest& test);
  TRead<THandInSession> HandInSession(int64_t sessionId);
  bool CloseHandIn(int64_t sessionId);
  // The session's hand-ins in the order they came; the teacher's not yet collected of a
  // stored test, from any session.
  TRead<std::vector<THandIn>> HandIns(int64_t sessionId);
  TRead<std::vector<THandIn>> PendingHandIns(int64_t testId);
  TRead<std::vector<THandIn>> PendingHandIns(const core::TOpenTest& test);
  bool MarkHandIn(int64_t handInId, const std::string& outcome);
  // The teacher's stored attempt identical to information, if any.
  TRead<std::optional<int64_t>> FindAttempt(const core::TInformation& information);
  // A second connection, idle, that hears of new hand-ins; nothing, and why, when it cannot.
  std::unique_ptr<THandInListener> ListenForHandIns(std::string& error);

  const std::string& LastError() const { return lastError_; }
  // The account whose rows are this connection's own: the server's user, or this login.
  const std::string& Collector() const;
  // The server stopped answering: the collection loop must end, what it stored stays.
  bool ConnectionLost() const { return connectionLost_; }
  // The server's version ("15.8"), or empty for this computer's file.
  const std::string& ServerVersion() const { return serverVersion_; }
  int SchemaVersion() const { return schemaVersion_; }
  // Qt's driver of the connection, whose handle Cancel interrupts: on the store's thread.
  QSqlDriver* Driver() const;
  // Why nothing may be written (the file or its folder is read-only, or the tables are newer
  // than this program knows), or empty.
  const std::string& ReadOnlyReason() const { return readOnlyReason_; }
  // The server's tables are older than this program's and their rights weaker: what to tell
  // the teacher at Test Connection and each collection, or empty.
  const std::string& OutdatedRights() const { return outdatedRights_; }

  // Tests only: called inside a collection's transaction after the attempt's row is written
  // and before the transaction ends, so a test can kill the process there.
  static void SetAfterAttemptRowForTests(std::function<void()> step);

  // The connection and its statements: the store's files' own.
  struct TConnection;

 private:
  explicit TStore(std::unique_ptr<TConnection> connection);
  // Checks the server's answers after connecting: who, its version, its tables' version.
  bool StartSession(std::string& why);
  Outcome Store(const core::TInformation& information, const ReplaceQuestion& askReplace);
  Outcome StoreByStatements(const core::TInformation& information,
                            const ReplaceQuestion& askReplace, const QString& testFingerprint);
  Outcome StoreByFunction(const core::TInformation& information, const ReplaceQuestion& askReplace,
                          const QString& testFingerprint);
  // Whether the teacher replaces the earlier attempt: its id, or nothing to keep both.
  std::optional<int64_t> AskedReplace(int64_t earlierId, const ReplaceQuestion& askReplace,
                                      QSqlError& error);
  // What a failed statement tells the teacher; the batch goes when the server stopped answering.
  Outcome Failed(const core::TInformation& information, const QSqlError& error);
  bool EachAttempt(int64_t testId, const std::function<bool(TAttempt&&)>& visit, int pageSize);
  bool Refused();
  bool ChangeAcceptance(int64_t testId, const TAcceptance& acceptance, bool accept);
  QSqlQuery* RunHandIn(const QString& sql, const std::vector<QVariant>& values);
  TRead<std::vector<THandIn>> ReadHandIns(const QString& filter, const QVariant& value);

  std::unique_ptr<TConnection> connection_;
  std::string lastError_;
  bool connectionLost_ = false;
  std::string serverVersion_;
  int schemaVersion_ = 0;
  std::string readOnlyReason_;
  std::string outdatedRights_;
};

}  // namespace gradebook
