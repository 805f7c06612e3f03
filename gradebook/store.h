#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/open_test.h"
#include "core/records.h"

namespace gradebook {

// One open connection to the teacher's gradebook. Every call that can fail says so by its
// result and leaves the reason, in a sentence fit for a message box, in LastError().
class TStore {
 public:
  struct TTestSummary {
    int64_t id = 0;
    std::string fileName;  // the test path's file name, as the first collected attempt gave it
    int32_t questionCount = 0;
    int32_t attemptCount = 0;
  };

  struct TAttempt {
    int64_t id = 0;
    // Names, course, period, instructor, test path, date, counts and every response in
    // answering order, with the question and expected answer as the results file held them.
    std::unique_ptr<core::TInformation> information;
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

  ~TStore();
  TStore(const TStore&) = delete;
  TStore& operator=(const TStore&) = delete;

  std::vector<TTestSummary> Tests();
  // The stored test with the open test's questions and answers, letters and marks alike.
  std::optional<int64_t> FindTest(const core::TOpenTest& test);
  std::vector<TAttempt> Attempts(int64_t testId);
  bool DeleteAttempt(int64_t attemptId);

  // Stores one attempt read from a results file in one transaction: whole or not at all.
  Outcome Collect(const core::TInformation& information, const ReplaceQuestion& askReplace);

  const std::string& LastError() const { return lastError_; }

  // Tests only: called inside a collection's transaction after the attempt's row is written
  // and before its responses, so a test can kill the process there.
  static void SetAfterAttemptRowForTests(std::function<void()> step);

 private:
  struct TConnection;
  explicit TStore(std::unique_ptr<TConnection> connection);

  std::unique_ptr<TConnection> connection_;
  std::string lastError_;
};

}  // namespace gradebook
