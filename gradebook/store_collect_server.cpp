#include "gradebook/attempt_key.h"
#include "gradebook/store_internal.h"

namespace gradebook {

namespace {

constexpr char kCollectCall[] =
    "SELECT outcome, attempt_id FROM collect_attempt(?, ?, ?, ?::integer[], ?, ?, ?, ?, ?, ?, "
    "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?::integer[], ?::integer[], ?, ?, ?, ?)";

// The lists the server's collect_attempt takes: texts as hex after an 'x', joined by commas.
class THexList {
 public:
  void Add(const QByteArray& bytes) {
    if (!text_.isEmpty()) text_ += ',';
    text_ += 'x' + QString::fromLatin1(bytes.toHex());
  }
  QString Text() const { return text_; }

 private:
  QString text_;
};

QString IntegerArray(const std::vector<int>& values) {
  QStringList items;
  for (int value : values) items << QString::number(value);
  return "{" + items.join(',') + "}";
}

}  // namespace

// The whole attempt in one call: identity checks, test row, attempt and responses. A second
// call only when the teacher must be asked, or the test row went since this connection saw it.
TStore::Outcome TStore::StoreByFunction(const core::TInformation& information,
                                        const ReplaceQuestion& askReplace,
                                        const QString& testFingerprint) {
  const QString fingerprint = Fingerprint(testFingerprint.toStdString() + AttemptKey(information));
  std::vector<int> numbers, correct;
  THexList questionTexts, questionMarks, answerTexts, answerMarks, givenTexts, givenMarks;
  for (const auto& response : information.responses) {
    numbers.push_back(response->number);
    correct.push_back(response->correct);
    const QByteArray given = FieldBytes(response->given, sizeof response->given);
    givenTexts.Add(given);
    givenMarks.Add(Bytes(MarkBytes(response->givenMarks, std::size_t(given.size()))));
  }
  bool withQuestions = !connection_->knownTests.contains(testFingerprint);
  bool decided = false;
  std::optional<int64_t> replaced;
  QSqlError error;
  bool questionsListed = false;
  for (;;) {
    if (withQuestions && !questionsListed) {
      questionsListed = true;
      for (const auto& response : information.responses) {
        const QByteArray text = FieldBytes(response->questionText, sizeof response->questionText);
        const QByteArray answer = FieldBytes(response->expected, sizeof response->expected);
        questionTexts.Add(text);
        questionMarks.Add(Bytes(MarkBytes(response->questionMarks, std::size_t(text.size()))));
        answerTexts.Add(answer);
        answerMarks.Add(Bytes(MarkBytes(response->expectedMarks, std::size_t(answer.size()))));
      }
    }
    const QVariant none(QMetaType(QMetaType::QString));
    std::vector<QVariant> values = {
        testFingerprint,
        Bytes(TestFileName(information)),
        information.questionCount,
        withQuestions ? QVariant(IntegerArray(numbers)) : none,
        withQuestions ? QVariant(questionTexts.Text()) : none,
        withQuestions ? QVariant(questionMarks.Text()) : none,
        withQuestions ? QVariant(answerTexts.Text()) : none,
        withQuestions ? QVariant(answerMarks.Text()) : none,
        fingerprint};
    const std::vector<QVariant> attempt = AttemptValues(information);
    values.insert(values.end(), attempt.begin(), attempt.end());
    values.insert(values.end(),
                  {IntegerArray(numbers), IntegerArray(correct), givenTexts.Text(),
                   givenMarks.Text(), decided,
                   replaced ? QVariant(qint64(*replaced))
                            : QVariant(QMetaType(QMetaType::LongLong))});
    QSqlQuery* query = connection_->Run(kCollectCall, values, error);
    if (!query || !query->next()) {
      // A statement that failed outside the function's own undoing leaves the batch undone.
      connection_->batchUndone = true;
      return Failed(information, error);
    }
    const QString outcome = query->value(0).toString();
    const int64_t attemptId = query->value(1).toLongLong();
    query->finish();
    if (outcome == "known") return Outcome::AlreadyCollected;
    if (outcome == "added" || outcome == "replaced") {
      connection_->knownTests.insert(testFingerprint);
      AfterAttemptRowForTests();
      return replaced ? Outcome::Replaced : Outcome::Added;
    }
    if (outcome == "questions") {
      withQuestions = true;
      continue;
    }
    if (outcome == "ask" && !decided) {
      decided = true;
      replaced = AskedReplace(attemptId, askReplace, error);
      if (error.isValid()) return Failed(information, error);
      continue;
    }
    // The server refused this file and undid it alone; its code tells why.
    return Failed(information,
                  QSqlError(QString(), QString(), QSqlError::StatementError, outcome.section(' ', 1)));
  }
}

}  // namespace gradebook
