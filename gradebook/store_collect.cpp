#include "gradebook/attempt_key.h"
#include "gradebook/store_internal.h"
#include "platform/cp1252.h"

namespace gradebook {

namespace {

std::function<void()>& AfterAttemptRow() {
  static std::function<void()> step;
  return step;
}

}  // namespace

void TStore::SetAfterAttemptRowForTests(std::function<void()> step) {
  AfterAttemptRow() = std::move(step);
}

bool TStore::DeleteAttempt(int64_t attemptId) {
  if (Refused()) return false;
  QSqlQuery query(connection_->database);
  query.prepare("DELETE FROM attempts WHERE id = ?");
  if (Run(query, {qint64(attemptId)})) return true;
  lastError_ = IsBusy(query.lastError()) ? kBusy : kNotWritten;
  return false;
}

TStore::Outcome TStore::Collect(const core::TInformation& information,
                                const ReplaceQuestion& askReplace) {
  if (Refused()) return Outcome::Failed;
  return Store(information, askReplace, true);
}

TStore::Outcome TStore::Store(const core::TInformation& information,
                              const ReplaceQuestion& askReplace, bool ownTransaction) {
  const std::optional<std::string> testKey = TestKey(information);
  if (!testKey) {
    lastError_ = "The results do not answer each question of their test once.";
    return Outcome::Damaged;
  }
  QSqlDatabase& database = connection_->database;
  const QString testFingerprint = Fingerprint(*testKey);
  const QString fingerprint = Fingerprint(testFingerprint.toStdString() + AttemptKey(information));
  const QString collector = QString::fromStdString(connection_->collector);
  QSqlQuery* query = nullptr;
  const auto failed = [&](const QSqlError& error) {
    if (ownTransaction) database.rollback();
    lastError_ = IsBusy(error) ? kBusy : std::string(kNotWritten) + " " +
                                             platform::ToCp1252(error.databaseText());
    if (connection_->onServer && ownTransaction && !QSqlQuery(database).exec("SELECT 1")) {
      connectionLost_ = true;
      lastError_ = kLost;
    }
    return Outcome::Failed;
  };

  query = &connection_->Prepared("SELECT id FROM attempts WHERE collector = ? AND fingerprint = ?");
  if (!Run(*query, {collector, fingerprint})) return failed(query->lastError());
  if (query->next()) return Outcome::AlreadyCollected;

  query = &connection_->Prepared("SELECT id FROM tests WHERE fingerprint = ?");
  if (!Run(*query, {testFingerprint})) return failed(query->lastError());
  std::optional<int64_t> testId;
  if (query->next()) testId = query->value(0).toLongLong();

  // The same student on the same test and date, with other responses: a review stored again
  // or a retake, which only the teacher can tell apart.
  std::optional<int64_t> replaced;
  if (testId) {
    query = &connection_->Prepared(
        "SELECT MAX(id) FROM attempts WHERE test_id = ? AND collector = ? AND "
        "first_name = ? AND last_name = ? AND course = ? AND period = ? AND "
        "year = ? AND month = ? AND day = ?");
    if (!Run(*query, {qint64(*testId), collector,
                      FieldBytes(information.firstName, sizeof information.firstName),
                      FieldBytes(information.lastName, sizeof information.lastName),
                      FieldBytes(information.course, sizeof information.course),
                      FieldBytes(information.period, sizeof information.period), information.year,
                      information.month, information.day}))
      return failed(query->lastError());
    if (query->next() && !query->value(0).isNull()) {
      QSqlError error;
      auto earlier = LoadAttempts(database, "a.id = ?", query->value(0).toLongLong(), error);
      if (!earlier) return failed(error);
      if (!earlier->empty() && askReplace && askReplace(*earlier->front().information))
        replaced = earlier->front().id;
    }
  }

  if (ownTransaction) {
    QSqlError error;
    if (!connection_->Begin(error)) return failed(error);
  }
  if (replaced) {
    query = &connection_->Prepared("DELETE FROM attempts WHERE id = ?");
    if (!Run(*query, {qint64(*replaced)})) return failed(query->lastError());
  }
  bool madeTest = false;
  if (!testId) {
    // Another Quizloom may be storing the same new test: the first one's row serves both.
    query = &connection_->Prepared(
        "INSERT INTO tests (fingerprint, file_name, question_count) VALUES (?, ?, ?) "
        "ON CONFLICT (fingerprint) DO NOTHING RETURNING id");
    const std::string path = FieldText(information.testFile, sizeof information.testFile);
    const std::string name = path.substr(path.find_last_of("\\/:") + 1);
    if (!Run(*query, {testFingerprint, Bytes(name), information.questionCount}))
      return failed(query->lastError());
    madeTest = query->next();
    if (!madeTest) {
      query = &connection_->Prepared("SELECT id FROM tests WHERE fingerprint = ?");
      if (!Run(*query, {testFingerprint}) || !query->next()) return failed(query->lastError());
    }
    testId = query->value(0).toLongLong();
  }
  if (madeTest) {
    query = &connection_->Prepared(
        "INSERT INTO test_questions (test_id, number, question_text, question_marks, "
        "answer_text, answer_marks) VALUES (?, ?, ?, ?, ?, ?)");
    for (const auto& response : information.responses) {
      const QByteArray text = FieldBytes(response->questionText, sizeof response->questionText);
      const QByteArray answer = FieldBytes(response->expected, sizeof response->expected);
      if (!Run(*query, {qint64(*testId), response->number, text,
                        Bytes(MarkBytes(response->questionMarks, std::size_t(text.size()))), answer,
                        Bytes(MarkBytes(response->expectedMarks, std::size_t(answer.size())))}))
        return failed(query->lastError());
    }
  }
  query = &connection_->Prepared(
      "INSERT INTO attempts (test_id, collector, fingerprint, first_name, last_name, "
      "course, period, instructor, test_file, year, month, day, correct_count, "
      "question_count) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id");
  if (!Run(*query, {qint64(*testId), collector, fingerprint,
                    FieldBytes(information.firstName, sizeof information.firstName),
                    FieldBytes(information.lastName, sizeof information.lastName),
                    FieldBytes(information.course, sizeof information.course),
                    FieldBytes(information.period, sizeof information.period),
                    FieldBytes(information.instructor, sizeof information.instructor),
                    FieldBytes(information.testFile, sizeof information.testFile), information.year,
                    information.month, information.day, information.correctCount,
                    information.questionCount}) ||
      !query->next()) {
    // Another Quizloom stored the same attempt since the check above.
    if (ownTransaction && IsDuplicate(query->lastError()))
      return database.rollback(), Outcome::AlreadyCollected;
    return failed(query->lastError());
  }
  const qint64 attemptId = query->value(0).toLongLong();
  query->finish();
  if (AfterAttemptRow()) AfterAttemptRow()();
  // All responses in one statement: on a server each statement is a round trip.
  QStringList rows;
  for (int i = 0; i < information.responses.Count(); ++i) rows << "(?, ?, ?, ?, ?, ?)";
  query = &connection_->Prepared(
      "INSERT INTO responses (attempt_id, position, number, correct, given_text, "
      "given_marks) VALUES " +
      rows.join(", "));
  int position = 0;
  for (const auto& response : information.responses) {
    const QByteArray given = FieldBytes(response->given, sizeof response->given);
    for (const QVariant& value :
         {QVariant(attemptId), QVariant(++position), QVariant(response->number),
          QVariant(response->correct), QVariant(given),
          QVariant(Bytes(MarkBytes(response->givenMarks, std::size_t(given.size()))))})
      query->addBindValue(value);
  }
  if (position > 0 && !query->exec()) return failed(query->lastError());
  if (ownTransaction && !database.commit()) return failed(database.lastError());
  return replaced ? Outcome::Replaced : Outcome::Added;
}

}  // namespace gradebook
