#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/open_test.h"
#include "core/records.h"
#include "gradebook/location.h"
#include "gradebook/regrading.h"

namespace gradebook {

// One open connection to the teacher's gradebook. Every call that can fail says so by its
// result (a read gives nothing) and leaves the reason, in a sentence fit for a message box,
// in LastError().
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

  std::optional<std::vector<TTestSummary>> Tests();
  // The stored test with the open test's questions and answers, letters and marks alike.
  std::optional<int64_t> FindTest(const core::TOpenTest& test);
  std::optional<std::vector<TAttempt>> Attempts(int64_t testId);
  bool DeleteAttempt(int64_t attemptId);

  // Stores one attempt read from a results file in one transaction: whole or not at all.
  Outcome Collect(const core::TInformation& information, const ReplaceQuestion& askReplace);

  // What collecting many files at once did.
  struct TCopyCounts {
    int copied = 0;
    int skipped = 0;  // already in this gradebook, collected by the same account
  };
  // Copies every attempt of from into this gradebook in one transaction; progress(done, total)
  // returning false cancels and rolls the whole copy back. Nothing on failure or Cancel.
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

  const std::string& LastError() const { return lastError_; }
  // The account whose rows are this connection's own: the server's user, or this login.
  const std::string& Collector() const;
  // The server stopped answering: the collection loop must end, what it stored stays.
  bool ConnectionLost() const { return connectionLost_; }
  // The server's version ("15.8"), or empty for this computer's file.
  const std::string& ServerVersion() const { return serverVersion_; }
  int SchemaVersion() const { return schemaVersion_; }
  // Why nothing may be written (the file or its folder is read-only, or the tables are newer
  // than this program knows), or empty.
  const std::string& ReadOnlyReason() const { return readOnlyReason_; }
  // The server's tables are older than this program's and their rights weaker: what to tell
  // the teacher at Test Connection and each collection, or empty.
  const std::string& OutdatedRights() const { return outdatedRights_; }

  // Tests only: called inside a collection's transaction after the attempt's row is written
  // and before its responses, so a test can kill the process there.
  static void SetAfterAttemptRowForTests(std::function<void()> step);

 private:
  struct TConnection;
  explicit TStore(std::unique_ptr<TConnection> connection);
  Outcome Store(const core::TInformation& information, const ReplaceQuestion& askReplace,
                bool ownTransaction);
  bool Refused();
  bool ChangeAcceptance(int64_t testId, const TAcceptance& acceptance, bool accept);

  std::unique_ptr<TConnection> connection_;
  std::string lastError_;
  bool connectionLost_ = false;
  std::string serverVersion_;
  int schemaVersion_ = 0;
  std::string readOnlyReason_;
  std::string outdatedRights_;
};

}  // namespace gradebook
