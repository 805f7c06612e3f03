#include <sqlite3.h>

#include <bit>
#include <cstring>

#include "core/answer_check.h"
#include "gradebook/attempt_key.h"
#include "gradebook/store_internal.h"
#include "platform/cp1252.h"

namespace gradebook {

namespace {


// The test rows' statements. Tables before version 3 keep one row per test for every teacher;
// since then each is a teacher's own, whose collector comes first.
struct TTestStatement {
  const char* own;
  const char* shared;
};

constexpr TTestStatement kFindTest = {
    "SELECT id FROM tests WHERE collector = ? AND fingerprint = ?",
    "SELECT id FROM tests WHERE fingerprint = ?"};
// Another Quizloom of the same teacher may be storing the same new test: the first one's row
// serves both.
constexpr TTestStatement kAddTest = {
    "INSERT INTO tests (collector, fingerprint, file_name, question_count) VALUES (?, ?, ?, ?) "
    "ON CONFLICT (collector, fingerprint) DO NOTHING RETURNING id",
    "INSERT INTO tests (fingerprint, file_name, question_count) VALUES (?, ?, ?) "
    "ON CONFLICT (fingerprint) DO NOTHING RETURNING id"};
constexpr TTestStatement kAddQuestion = {
    "INSERT INTO test_questions (collector, test_id, number, question_text, question_marks, "
    "answer_text, answer_marks) VALUES (?, ?, ?, ?, ?, ?, ?)",
    "INSERT INTO test_questions (test_id, number, question_text, question_marks, answer_text, "
    "answer_marks) VALUES (?, ?, ?, ?, ?, ?)"};

std::function<void()>& AfterAttemptRow() {
  static std::function<void()> step;
  return step;
}

constexpr char kAddResponse[] =
    "INSERT INTO responses (attempt_id, position, number, correct, given_text, given_marks) "
    "VALUES (?, ?, ?, ?, ?, ?)";

// On this computer each response is bound straight to SQLite's statement: Qt's binding of a
// value costs more than SQLite's storing of it. False, and why in error, on failure.
bool InsertResponsesHere(TStore::TConnection& connection, int64_t attemptId,
                         const core::TInformation& information, QSqlError& error) {
  auto found = connection.prepared.find(kAddResponse);
  if (found == connection.prepared.end()) {
    QSqlQuery query(connection.database);
    if (!query.prepare(kAddResponse)) return error = query.lastError(), false;
    found = connection.prepared.emplace(kAddResponse, std::move(query)).first;
  }
  const QVariant handle = found->second.result()->handle();
  if (qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0) return false;
  sqlite3_stmt* statement = *static_cast<sqlite3_stmt* const*>(handle.constData());
  int position = 0;
  for (const auto& response : information.responses) {
    // The record's own bytes are bound: they outlive the step, and need no copy.
    const std::size_t letters = strnlen(response->given, sizeof response->given);
    std::string marks;
    const void* markBytes = response->givenMarks;
    if constexpr (std::endian::native != std::endian::little)
      markBytes = (marks = MarkBytes(response->givenMarks, letters)).data();
    sqlite3_reset(statement);
    sqlite3_bind_int64(statement, 1, attemptId);
    sqlite3_bind_int(statement, 2, ++position);
    sqlite3_bind_int(statement, 3, response->number);
    sqlite3_bind_int(statement, 4, response->correct);
    sqlite3_bind_blob(statement, 5, response->given, int(letters), SQLITE_STATIC);
    sqlite3_bind_blob(statement, 6, markBytes, int(letters * 4), SQLITE_STATIC);
    const int result = sqlite3_step(statement);
    if (result != SQLITE_DONE) {
      error = QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement))),
                        QSqlError::StatementError, QString::number(result));
      sqlite3_reset(statement);
      return false;
    }
  }
  sqlite3_reset(statement);
  // The records bound may go before the statement runs again.
  sqlite3_clear_bindings(statement);
  return true;
}

// All of an attempt's responses; on a server in one statement, as each is a round trip.
bool InsertResponses(TStore::TConnection& connection, int64_t attemptId,
                     const core::TInformation& information, QSqlError& error) {
  if (!connection.onServer) return InsertResponsesHere(connection, attemptId, information, error);
  QStringList rows;
  std::vector<QVariant> values;
  int position = 0;
  for (const auto& response : information.responses) {
    const QByteArray given = FieldBytes(response->given, sizeof response->given);
    rows << "(?, ?, ?, ?, ?, ?)";
    values.insert(values.end(),
                  {qint64(attemptId), ++position, response->number, response->correct, given,
                   Bytes(MarkBytes(response->givenMarks, std::size_t(given.size())))});
  }
  return position == 0 ||
         connection.Run("INSERT INTO responses (attempt_id, position, number, correct, "
                        "given_text, given_marks) VALUES " + rows.join(", "),
                        values, error);
}

}  // namespace

void TStore::SetAfterAttemptRowForTests(std::function<void()> step) {
  AfterAttemptRow() = std::move(step);
}

void AfterAttemptRowForTests() {
  if (AfterAttemptRow()) AfterAttemptRow()();
}

bool TStore::DeleteAttempt(int64_t attemptId) {
  if (Refused() || !EnsureConnected()) return false;
  const bool onServer = connection_->onServer;
  QSqlQuery query(connection_->database);
  // On a server only the teacher who collected an attempt deletes it, even on older tables
  // whose rights let a head delete any.
  query.prepare(onServer ? "DELETE FROM attempts WHERE id = ? AND collector = ?"
                         : "DELETE FROM attempts WHERE id = ?");
  query.addBindValue(qint64(attemptId));
  if (onServer) query.addBindValue(QString::fromStdString(connection_->collector));
  if (query.exec()) {
    if (query.numRowsAffected() > 0) return true;
    lastError_ = "Only the teacher who collected an attempt may delete it.";
    return false;
  }
  if (IsBusy(query.lastError()))
    lastError_ = onServer ? kServerBusy : kBusy;
  else
    lastError_ = onServer ? "The gradebook server refused to delete the attempt: " +
                                RefusalReason(query.lastError().nativeErrorCode()) + "."
                          : kNotWritten;
  return false;
}

bool TStore::BeginBatch() {
  if (Refused()) return false;
  if (!EnsureConnected()) return lastError_ = kLost, false;
  QSqlError error;
  connection_->batchUndone = false;
  if (connection_->Begin(error)) return connection_->inBatch = true;
  const bool onServer = connection_->onServer;
  if (IsBusy(error)) lastError_ = onServer ? kServerBusy : kBusy;
  else if (onServer) lastError_ = kLost;
  else lastError_ = std::string(kNotWritten) + " " + platform::ToCp1252(error.databaseText());
  return false;
}

bool TStore::EndBatch() {
  if (!connection_->inBatch) return true;
  connection_->FinishAll();
  connection_->inBatch = false;
  if (connection_->batchUndone) {
    connection_->database.rollback();
    return lastError_ = kBatchUndone, false;
  }
  if (connection_->database.commit()) return true;
  const QSqlError error = connection_->database.lastError();
  connection_->database.rollback();
  if (connection_->onServer)
    lastError_ = connection_->Standing() ? "The gradebook server refused to store the files: " +
                                               RefusalReason(error.nativeErrorCode()) + "."
                                         : kLostBatch;
  else
    lastError_ = IsBusy(error) ? kBusy : std::string(kNotWritten);
  return false;
}

void TStore::AbandonBatch() {
  if (!connection_->inBatch) return;
  connection_->FinishAll();
  connection_->inBatch = false;
  connection_->database.rollback();
}

TStore::Outcome TStore::Collect(const core::TInformation& information,
                                const ReplaceQuestion& askReplace) {
  if (Refused()) return Outcome::Failed;
  // A score the file's own verdicts do not give is forged or damaged: it is not believed.
  if (!core::VerdictsAreConsistent(information)) {
    lastError_ = "The results contradict their own answers.";
    return Outcome::Damaged;
  }
  if (connection_->inBatch) return Store(information, askReplace);
  // A file of its own is a batch of its own.
  if (!BeginBatch()) return Outcome::Failed;
  Outcome outcome = Store(information, askReplace);
  if (outcome == Outcome::Added || outcome == Outcome::Replaced) {
    if (!EndBatch()) outcome = Outcome::Failed;
  } else {
    AbandonBatch();
  }
  // Only this file was in hand: the ones collected before it are stored.
  if (outcome == Outcome::Failed && connection_->onServer && !connection_->Standing())
    lastError_ = kLost, connectionLost_ = true;
  return outcome;
}

TStore::Outcome TStore::Store(const core::TInformation& information,
                              const ReplaceQuestion& askReplace) {
  const std::optional<std::string> testKey = TestKey(information);
  if (!testKey) {
    lastError_ = "The results do not answer each question of their test once.";
    return Outcome::Damaged;
  }
  const QString testFingerprint = connection_->TestFingerprint(*testKey);
  return connection_->collectFunction
             ? StoreByFunction(information, askReplace, testFingerprint)
             : StoreByStatements(information, askReplace, testFingerprint);
}

std::optional<int64_t> TStore::AskedReplace(int64_t earlierId, const ReplaceQuestion& askReplace,
                                            QSqlError& error) {
  std::optional<TAttempt> earlier;
  if (!ReadAttempts(*connection_, "a.id = ?", earlierId,
                    [&](TAttempt&& attempt) { return earlier = std::move(attempt), false; },
                    error))
    return std::nullopt;
  if (earlier && askReplace && askReplace(*earlier->information)) return earlier->id;
  return std::nullopt;
}

TStore::Outcome TStore::Failed(const core::TInformation& information, const QSqlError& error) {
  const bool onServer = connection_->onServer;
  if (onServer && !connection_->Standing()) {
    // The server undid the open transaction with its connection.
    connectionLost_ = true;
    lastError_ = kLostBatch;
  } else if (IsBusy(error)) {
    lastError_ = onServer ? kServerBusy : kBusy;
  } else if (onServer) {
    lastError_ = "The gradebook server refused the attempt of " +
                 FieldText(information.firstName, sizeof information.firstName) + " " +
                 FieldText(information.lastName, sizeof information.lastName) + ": " +
                 RefusalReason(error.nativeErrorCode()) + ".";
  } else {
    lastError_ = std::string(kNotWritten) + " " + platform::ToCp1252(error.databaseText());
  }
  return Outcome::Failed;
}

// Statement by statement, each file within a savepoint of the batch: this computer's
// gradebook, and a server's tables older than the one-call collecting.
TStore::Outcome TStore::StoreByStatements(const core::TInformation& information,
                                          const ReplaceQuestion& askReplace,
                                          const QString& testFingerprint) {
  const QString fingerprint = Fingerprint(testFingerprint.toStdString() + AttemptKey(information));
  const QString collector = QString::fromStdString(connection_->collector);
  QSqlError error;
  QSqlQuery* query = nullptr;
  const auto runOnTest = [&](const TTestStatement& statement, std::vector<QVariant> values) {
    if (connection_->sharedTests) return connection_->Run(statement.shared, values, error);
    values.insert(values.begin(), connection_->TestCollector());
    return connection_->Run(statement.own, values, error);
  };
  // The file's savepoint ends kept or undone; the batch's other files stay as they are.
  const auto finish = [&](Outcome outcome) {
    QSqlError ignored;
    if (!connection_->Exec(outcome == Outcome::Added || outcome == Outcome::Replaced
                               ? "RELEASE SAVEPOINT attempt"
                               : "ROLLBACK TO SAVEPOINT attempt",
                           ignored))
      connection_->batchUndone = true;
    return outcome;
  };
  const auto failed = [&] {
    const Outcome outcome = Failed(information, error);
    return connectionLost_ ? outcome : finish(outcome);
  };
  if (!connection_->Exec("SAVEPOINT attempt", error)) return Failed(information, error);

  query = connection_->Run("SELECT id FROM attempts WHERE collector = ? AND fingerprint = ?",
                           {collector, fingerprint}, error);
  if (!query) return failed();
  if (query->next()) return finish(Outcome::AlreadyCollected);

  if (!(query = runOnTest(kFindTest, {testFingerprint}))) return failed();
  std::optional<int64_t> testId;
  if (query->next()) testId = query->value(0).toLongLong();

  // The same student on the same test and date, with other responses: a review stored again
  // or a retake, which only the teacher can tell apart.
  std::optional<int64_t> replaced;
  if (testId) {
    query = connection_->Run(
        "SELECT id FROM attempts WHERE test_id = ? AND collector = ? AND first_name = ? AND "
        "last_name = ? AND course = ? AND period = ? AND year = ? AND month = ? AND day = ? "
        "ORDER BY id DESC LIMIT 1",
        {qint64(*testId), collector,
         FieldBytes(information.firstName, sizeof information.firstName),
         FieldBytes(information.lastName, sizeof information.lastName),
         FieldBytes(information.course, sizeof information.course),
         FieldBytes(information.period, sizeof information.period), information.year,
         information.month, information.day},
        error);
    if (!query) return failed();
    if (query->next()) {
      const int64_t latest = query->value(0).toLongLong();
      error = QSqlError();
      replaced = AskedReplace(latest, askReplace, error);
      if (error.isValid()) return failed();
    }
  }

  if (replaced &&
      !connection_->Run("DELETE FROM attempts WHERE id = ?", {qint64(*replaced)}, error))
    return failed();
  bool madeTest = false;
  if (!testId) {
    query = runOnTest(kAddTest,
                      {testFingerprint, Bytes(TestFileName(information)),
                       information.questionCount});
    if (!query) return failed();
    madeTest = query->next();
    if (!madeTest && (!(query = runOnTest(kFindTest, {testFingerprint})) || !query->next()))
      return failed();
    testId = query->value(0).toLongLong();
  }
  if (madeTest) {
    for (const auto& response : information.responses) {
      const QByteArray text = FieldBytes(response->questionText, sizeof response->questionText);
      const QByteArray answer = FieldBytes(response->expected, sizeof response->expected);
      if (!runOnTest(kAddQuestion,
                     {qint64(*testId), response->number, text,
                      Bytes(MarkBytes(response->questionMarks, std::size_t(text.size()))), answer,
                      Bytes(MarkBytes(response->expectedMarks, std::size_t(answer.size())))}))
        return failed();
    }
  }
  std::vector<QVariant> attemptRow = AttemptValues(information);
  attemptRow.insert(attemptRow.begin(), {qint64(*testId), collector, fingerprint});
  query = connection_->Run(
      "INSERT INTO attempts (test_id, collector, fingerprint, first_name, last_name, "
      "course, period, instructor, test_file, year, month, day, correct_count, "
      "question_count) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
      "ON CONFLICT (collector, fingerprint) DO NOTHING RETURNING id",
      attemptRow, error);
  if (!query) return failed();
  // Another Quizloom of this teacher stored the same attempt since the check above. Only this
  // conflict means it is known: any other refusal is a failure.
  if (!query->next()) return finish(Outcome::AlreadyCollected);
  const qint64 attemptId = query->value(0).toLongLong();
  query->finish();
  AfterAttemptRowForTests();
  if (!InsertResponses(*connection_, attemptId, information, error)) return failed();
  return finish(replaced ? Outcome::Replaced : Outcome::Added);
}

}  // namespace gradebook
