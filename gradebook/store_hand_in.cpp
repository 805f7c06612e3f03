#include <QDateTime>
#include <QSqlDriver>

#include "gradebook/attempt_key.h"
#include "gradebook/hand_in_listener.h"
#include "gradebook/store_internal.h"

namespace gradebook {

namespace {

constexpr char kSessionColumns[] =
    "s.id, s.code, extract(epoch FROM s.closes)::bigint, "
    "GREATEST(extract(epoch FROM s.closes - now()), 0)::bigint, s.refused";
constexpr char kHandInColumns[] =
    "h.id, h.session_id, extract(epoch FROM h.received)::bigint, h.results, h.outcome";

// The teacher's clock shows the times, whatever zone the server keeps.
std::string LocalTime(qint64 epochSeconds, const char* format) {
  return QDateTime::fromSecsSinceEpoch(epochSeconds).toString(format).toStdString();
}

THandInSession SessionFields(const QSqlQuery& query) {
  THandInSession session;
  session.id = query.value(0).toLongLong();
  session.code = query.value(1).toString().toStdString();
  session.closes = LocalTime(query.value(2).toLongLong(), "HH:mm");
  session.secondsLeft = query.value(3).toLongLong();
  session.refused = query.value(4).toInt();
  return session;
}

}  // namespace

std::string TStore::HandInRefusal() const {
  if (!connection_->onServer)
    return "Handing in over the network needs the gradebook on the school's server; this "
           "computer's gradebook cannot take hand-ins. Choose School server in Results, "
           "Gradebook Location, or collect the results from the students' drives.";
  if (schemaVersion_ < kHandInVersion)
    return std::string("The gradebook server cannot take hand-ins yet; ask the administrator "
                       "to apply ") + kHandInFile + ".";
  return readOnlyReason_;
}

// A statement of the hand-in tables: the query before its first row, or nothing and why in
// lastError_.
QSqlQuery* TStore::RunHandIn(const QString& sql, const std::vector<QVariant>& values) {
  lastError_ = HandInRefusal();
  if (!lastError_.empty() || !EnsureConnected()) return nullptr;
  QSqlError error;
  QSqlQuery* query = connection_->Run(sql, values, error);
  if (!query) lastError_ = connection_->ReadFailure(error);
  return query;
}

TRead<THandInSession> TStore::OpenHandIn(const core::TOpenTest& test, int minutes) {
  QSqlQuery* query = RunHandIn(
      QString("INSERT INTO hand_in_sessions AS s (collector, fingerprint, question_count, "
              "closes) VALUES (current_user, ?, ?, now() + make_interval(mins => ?::integer)) "
              "RETURNING ") + kSessionColumns,
      {Fingerprint(TestKey(test)), int(test.questions.Count()), minutes});
  if (!query || !query->next()) return TRead<THandInSession>::Failed(lastError_);
  THandInSession session = SessionFields(*query);
  query->finish();
  return session;
}

TRead<std::optional<THandInSession>> TStore::OpenHandInOf(const core::TOpenTest& test) {
  using TFound = TRead<std::optional<THandInSession>>;
  QSqlQuery* query = RunHandIn(QString("SELECT ") + kSessionColumns +
                                   " FROM hand_in_sessions s WHERE s.collector = current_user "
                                   "AND s.fingerprint = ? AND s.closes > now() "
                                   "ORDER BY s.id DESC LIMIT 1",
                               {Fingerprint(TestKey(test))});
  if (!query) return TFound::Failed(lastError_);
  if (!query->next()) return TFound(std::nullopt);
  THandInSession session = SessionFields(*query);
  query->finish();
  return TFound(std::move(session));
}

TRead<THandInSession> TStore::HandInSession(int64_t sessionId) {
  QSqlQuery* query = RunHandIn(
      QString("SELECT ") + kSessionColumns + " FROM hand_in_sessions s WHERE s.id = ?",
      {qint64(sessionId)});
  if (!query) return TRead<THandInSession>::Failed(lastError_);
  if (!query->next()) return TRead<THandInSession>::Failed("The hand-in session is gone.");
  THandInSession session = SessionFields(*query);
  query->finish();
  return session;
}

bool TStore::CloseHandIn(int64_t sessionId) {
  QSqlQuery* query = RunHandIn("UPDATE hand_in_sessions SET closes = GREATEST(opened, now()) "
                               "WHERE id = ? AND collector = current_user AND closes > now()",
                               {qint64(sessionId)});
  return query != nullptr;
}

TRead<std::vector<THandIn>> TStore::ReadHandIns(const QString& filter, const QVariant& value) {
  using TList = TRead<std::vector<THandIn>>;
  QSqlQuery* query = RunHandIn(QString("SELECT ") + kHandInColumns +
                                   " FROM hand_ins h JOIN hand_in_sessions s ON s.id = "
                                   "h.session_id WHERE " + filter + " ORDER BY h.id",
                               {value});
  if (!query) return TList::Failed(lastError_);
  std::vector<THandIn> handIns;
  while (query->next()) {
    THandIn& handIn = handIns.emplace_back();
    handIn.id = query->value(0).toLongLong();
    handIn.sessionId = query->value(1).toLongLong();
    handIn.received = LocalTime(query->value(2).toLongLong(), "HH:mm:ss");
    handIn.results = query->value(3).toByteArray().toStdString();
    handIn.outcome = query->value(4).toString().toStdString();
  }
  query->finish();
  return handIns;
}

TRead<std::vector<THandIn>> TStore::HandIns(int64_t sessionId) {
  return ReadHandIns("h.session_id = ?", qint64(sessionId));
}

// A head of department reads every teacher's hand-ins, but collects only their own.
TRead<std::vector<THandIn>> TStore::PendingHandIns(int64_t testId) {
  return ReadHandIns("h.outcome IS NULL AND s.collector = current_user AND s.fingerprint = "
                     "(SELECT t.fingerprint FROM tests t WHERE t.id = ?)",
                     qint64(testId));
}

TRead<std::vector<THandIn>> TStore::PendingHandIns(const core::TOpenTest& test) {
  return ReadHandIns("h.outcome IS NULL AND s.collector = current_user AND s.fingerprint = ?",
                     Fingerprint(TestKey(test)));
}

bool TStore::MarkHandIn(int64_t handInId, const std::string& outcome) {
  return RunHandIn("UPDATE hand_ins SET outcome = ? WHERE id = ? AND collector = current_user",
                   {QString::fromStdString(outcome), qint64(handInId)}) != nullptr;
}

TRead<std::optional<int64_t>> TStore::FindAttempt(const core::TInformation& information) {
  using TFound = TRead<std::optional<int64_t>>;
  const std::optional<std::string> testKey = TestKey(information);
  if (!testKey) return TFound(std::nullopt);
  const QString fingerprint =
      Fingerprint(connection_->TestFingerprint(*testKey).toStdString() + AttemptKey(information));
  QSqlQuery* query = RunHandIn("SELECT id FROM attempts WHERE collector = current_user AND "
                               "fingerprint = ?",
                               {fingerprint});
  if (!query) return TFound::Failed(lastError_);
  std::optional<int64_t> found;
  if (query->next()) found = query->value(0).toLongLong();
  query->finish();
  return TFound(found);
}

std::unique_ptr<THandInListener> TStore::ListenForHandIns(std::string& error) {
  error = HandInRefusal();
  if (!error.empty()) return nullptr;
  auto listener = std::make_unique<THandInListener>(connection_->database, connection_->password);
  if (!listener->Listen()) return error = kLostRead, nullptr;
  return listener;
}

}  // namespace gradebook
