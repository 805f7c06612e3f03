#include "gradebook/attempt_key.h"
#include "gradebook/store_internal.h"
#include "platform/cp1252.h"

namespace gradebook {

namespace {

// How an acceptance's kind is kept: words an administrator reading the table understands.
constexpr const char* kKindNames[] = {"answer", "any letter case", "without marks"};

QString KindName(TAcceptKind kind) { return kKindNames[static_cast<int>(kind)]; }

std::optional<TAcceptKind> KindNamed(const QString& name) {
  for (int kind = 0; kind < static_cast<int>(std::size(kKindNames)); ++kind)
    if (name == kKindNames[kind]) return static_cast<TAcceptKind>(kind);
  return std::nullopt;  // a kind a newer Quizloom keeps
}

// Never a null array, which would be bound as NULL: a way of comparing keeps empty bytes.
QByteArray TextBytes(const core::TLetters& letters) {
  std::string text;
  for (const core::TLetter& letter : letters) text += static_cast<char>(letter.ch);
  return Bytes(text);
}

QByteArray MarkBytes(const core::TLetters& letters) {
  std::vector<int32_t> marks;
  for (const core::TLetter& letter : letters) marks.push_back(letter.mark);
  return Bytes(gradebook::MarkBytes(marks.data(), marks.size()));
}

// A stored row of kind, text and marks, or nothing when its kind is unknown.
std::optional<TAcceptance> StoredAcceptance(int32_t number, const QSqlQuery& row, int column) {
  const std::optional<TAcceptKind> kind = KindNamed(row.value(column).toString());
  if (!kind) return std::nullopt;
  return TAcceptance{number, *kind,
                     StoredLetters(row.value(column + 1).toByteArray(),
                                   row.value(column + 2).toByteArray())};
}

}  // namespace

bool TStore::KeepsAcceptances() const {
  static const int version = TableFileVersion("accepted_answers");
  return version > 0 && schemaVersion_ >= version;
}

std::string TStore::AcceptingRefusal() const {
  if (!readOnlyReason_.empty()) return readOnlyReason_;
  if (KeepsAcceptances()) return {};
  // Only a server's tables stay older than this program: this computer's are brought up to date.
  return "The gradebook's tables on the server are older than this Quizloom and keep no "
         "accepted answers; ask the administrator to apply " +
         FilesAfter(schemaVersion_) + ".";
}

std::optional<std::vector<TAcceptance>> TStore::Acceptances(int64_t testId) {
  std::vector<TAcceptance> acceptances;
  if (!KeepsAcceptances()) return acceptances;
  if (!EnsureConnected()) return std::nullopt;
  QSqlQuery query(connection_->database);
  query.setForwardOnly(true);
  query.prepare("SELECT number, kind, answer_text, answer_marks FROM accepted_answers "
                "WHERE test_id = ? ORDER BY id");
  query.addBindValue(qint64(testId));
  if (!query.exec()) {
    lastError_ = connection_->ReadFailure(query.lastError());
    return std::nullopt;
  }
  while (query.next())
    if (std::optional<TAcceptance> acceptance = StoredAcceptance(query.value(0).toInt(), query, 1))
      acceptances.push_back(std::move(*acceptance));
  return acceptances;
}

bool TStore::Accept(int64_t testId, const TAcceptance& acceptance) {
  return ChangeAcceptance(testId, acceptance, true);
}

bool TStore::StopAccepting(int64_t testId, const TAcceptance& acceptance) {
  return ChangeAcceptance(testId, acceptance, false);
}

// The test's question and what it accepts are read again inside the transaction, so the
// refusals hold whoever calls, and another Quizloom's change in between is seen.
bool TStore::ChangeAcceptance(int64_t testId, const TAcceptance& change, bool accept) {
  if (const std::string refusal = AcceptingRefusal(); !refusal.empty()) {
    lastError_ = refusal;
    return false;
  }
  if (!EnsureConnected()) return false;
  QSqlDatabase& database = connection_->database;
  const QString collector = connection_->TestCollector();
  const bool onServer = connection_->onServer;
  QSqlError error;
  const auto refused = [&](const std::string& why) {
    connection_->FinishAll();
    database.rollback();
    lastError_ = why;
    return false;
  };
  const auto failed = [&] {
    if (IsBusy(error)) return refused(onServer ? kServerBusy : kBusy);
    if (onServer)
      return refused("The gradebook server refused the change: " + RefusalReason(error.nativeErrorCode()) + ".");
    return refused(std::string(kNotWritten) + " " + platform::ToCp1252(error.databaseText()));
  };
  if (!connection_->Begin(error)) return failed();
  QSqlQuery* query = connection_->Run(
      "SELECT q.answer_text, q.answer_marks FROM tests t LEFT JOIN test_questions q "
      "ON q.test_id = t.id AND q.number = ? WHERE t.id = ? AND t.collector = ?",
      {change.number, qint64(testId), collector}, error);
  if (!query) return failed();
  if (!query->next())
    return refused("Only the teacher who collected a test may accept answers for it.");
  if (query->value(0).isNull())
    return refused("Question " + std::to_string(change.number) + " is not in this test.");
  const core::TLetters expected =
      StoredLetters(query->value(0).toByteArray(), query->value(1).toByteArray());
  query = connection_->Run("SELECT kind, answer_text, answer_marks FROM accepted_answers "
                           "WHERE test_id = ? AND number = ? ORDER BY id",
                           {qint64(testId), change.number}, error);
  if (!query) return failed();
  TAcceptedAnswers accepted;
  while (query->next())
    if (std::optional<TAcceptance> stored = StoredAcceptance(change.number, *query, 0))
      accepted = Changed(std::move(accepted), *stored, true);
  if (const std::string problem = AcceptanceProblem(change, accept, expected, accepted);
      !problem.empty())
    return refused(problem);
  const std::vector<QVariant> row = {qint64(testId), collector, change.number,
                                     KindName(change.kind), TextBytes(change.answer),
                                     MarkBytes(change.answer)};
  // Another Quizloom of the same teacher may have accepted the same at the same moment.
  if (!connection_->Run(accept ? "INSERT INTO accepted_answers (test_id, collector, number, "
                                 "kind, answer_text, answer_marks) VALUES (?, ?, ?, ?, ?, ?) "
                                 "ON CONFLICT DO NOTHING"
                               : "DELETE FROM accepted_answers WHERE test_id = ? AND "
                                 "collector = ? AND number = ? AND kind = ? AND "
                                 "answer_text = ? AND answer_marks = ?",
                        row, error))
    return failed();
  connection_->FinishAll();
  if (!database.commit()) return error = database.lastError(), failed();
  return true;
}

}  // namespace gradebook
