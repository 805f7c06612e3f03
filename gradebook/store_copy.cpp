#include "gradebook/store_internal.h"
#include "platform/cp1252.h"

namespace gradebook {

std::optional<TStore::TCopyCounts> TStore::CopyFrom(
    TStore& from, const std::function<bool(int done, int total)>& progress) {
  if (Refused()) return std::nullopt;
  const auto unread = [&] {
    lastError_ = from.LastError();
    return std::nullopt;
  };
  // The summaries count the attempts; the attempts themselves come a few at a time.
  const TRead<std::vector<TTestSummary>> tests = from.Tests();
  if (!tests) return unread();
  int total = 0;
  for (const TTestSummary& test : *tests) total += test.attemptCount;
  if (!BeginBatch()) return std::nullopt;
  TCopyCounts counts;
  int done = 0;
  bool cancelled = false, failed = false;
  for (const TTestSummary& test : *tests) {
    const bool read = from.EachAttempt(test.id, [&](TAttempt&& attempt) {
      if (progress && !progress(done, total)) return cancelled = true, false;
      ++done;
      // A retake beside an earlier attempt is kept as the local gradebook kept it.
      switch (Store(*attempt.information, {})) {
        case Outcome::Added: ++counts.copied; return true;
        case Outcome::AlreadyCollected: ++counts.skipped; return true;
        default: return failed = true, false;
      }
    });
    if (!read) {
      AbandonBatch();
      return unread();
    }
    if (cancelled || failed) break;
  }
  if (cancelled || failed) {
    AbandonBatch();
    if (cancelled) lastError_.clear();
    // The server undid the copy with its connection.
    else if (connectionLost_) lastError_ = kLostCopy;
    return std::nullopt;
  }
  if (progress) progress(total, total);
  if (!EndBatch()) {
    if (connectionLost_ || (connection_->onServer && !connection_->Standing()))
      lastError_ = kLostCopy;
    return std::nullopt;
  }
  return counts;
}

}  // namespace gradebook
