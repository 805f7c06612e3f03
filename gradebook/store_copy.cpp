#include "gradebook/store_internal.h"
#include "platform/cp1252.h"

namespace gradebook {

std::optional<TStore::TCopyCounts> TStore::CopyFrom(
    TStore& from, const std::function<bool(int done, int total)>& progress) {
  if (Refused()) return std::nullopt;
  std::vector<TAttempt> attempts;
  const auto unread = [&] {
    lastError_ = from.LastError();
    return std::nullopt;
  };
  const std::optional<std::vector<TTestSummary>> tests = from.Tests();
  if (!tests) return unread();
  for (const TTestSummary& test : *tests) {
    std::optional<std::vector<TAttempt>> read = from.Attempts(test.id);
    if (!read) return unread();
    for (TAttempt& attempt : *read) attempts.push_back(std::move(attempt));
  }
  QSqlDatabase& database = connection_->database;
  // What the server said, in plain words; this computer's own text otherwise.
  const auto refused = [&] {
    const QSqlError error = database.lastError();
    if (IsBusy(error)) lastError_ = connection_->onServer ? kServerBusy : kBusy;
    else if (connection_->onServer)
      lastError_ = "The gradebook server refused the copy: " + RefusalReason(error) + ".";
    else
      lastError_ = std::string(kNotWritten) + " " + platform::ToCp1252(error.text());
    database.rollback();
    return std::nullopt;
  };
  if (!database.transaction()) return refused();
  TCopyCounts counts;
  const int total = static_cast<int>(attempts.size());
  for (int done = 0; done < total; ++done) {
    if (progress && !progress(done, total)) {
      database.rollback();
      lastError_.clear();
      return std::nullopt;
    }
    // A retake beside an earlier attempt is kept as the local gradebook kept it.
    switch (Store(*attempts[std::size_t(done)].information, {}, false)) {
      case Outcome::Added: ++counts.copied; break;
      case Outcome::AlreadyCollected: ++counts.skipped; break;
      default:
        database.rollback();
        return std::nullopt;
    }
  }
  if (progress) progress(total, total);
  if (!database.commit()) return refused();
  return counts;
}

}  // namespace gradebook
