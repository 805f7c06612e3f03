#include <algorithm>
#include <bit>
#include <cstring>

#include "gradebook/attempt_key.h"
#include "gradebook/store_internal.h"

namespace gradebook {

namespace {

void CopyBytes(char* field, std::size_t size, const QByteArray& bytes) {
  const std::size_t length = std::min(static_cast<std::size_t>(bytes.size()), size - 1);
  std::memcpy(field, bytes.constData(), length);
}

void CopyMarks(int32_t* marks, std::size_t count, const QByteArray& bytes) {
  const std::size_t stored = std::min(static_cast<std::size_t>(bytes.size()) / 4, count);
  // An empty answer's marks may have no array at all: memcpy takes no null pointer.
  if (stored == 0) return;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(marks, bytes.constData(), stored * 4);
    return;
  }
  for (std::size_t i = 0; i < stored; ++i) {
    uint32_t bits = 0;
    for (int k = 3; k >= 0; --k) bits = bits << 8 | static_cast<uint8_t>(bytes[qsizetype(i * 4 + k)]);
    marks[i] = static_cast<int32_t>(bits);
  }
}

// A question of the test as each of its responses carries it, decoded once.
struct TQuestionRow {
  core::TResponse fields;  // questionText, questionMarks, expected and expectedMarks
};

constexpr char kAttemptColumns[] =
    "a.id, a.test_id, a.first_name, a.last_name, a.course, a.period, a.instructor, a.test_file, "
    "a.year, a.month, a.day, a.correct_count, a.question_count, a.collector";

}  // namespace

core::TLetters StoredLetters(const QByteArray& text, const QByteArray& marks) {
  std::vector<int32_t> values(static_cast<std::size_t>(text.size()), 0);
  CopyMarks(values.data(), values.size(), marks);
  core::TLetters letters;
  for (qsizetype i = 0; i < text.size(); ++i)
    letters.emplace_back(static_cast<unsigned char>(text[i]), values[std::size_t(i)]);
  return letters;
}

namespace {

// Attempts are read this many at a time, each page with its responses: two statements a
// page. A visit page keeps attempts of many answers to a few megabytes; a whole class read
// at once needs fewer statements, each a round trip on a server.
constexpr int kVisitPage = 25;
constexpr int kClassPage = 1000;

std::unique_ptr<core::TInformation> AttemptFields(const QSqlQuery& query) {
  auto information = std::make_unique<core::TInformation>();
  CopyBytes(information->firstName, sizeof information->firstName, query.value(2).toByteArray());
  CopyBytes(information->lastName, sizeof information->lastName, query.value(3).toByteArray());
  CopyBytes(information->course, sizeof information->course, query.value(4).toByteArray());
  CopyBytes(information->period, sizeof information->period, query.value(5).toByteArray());
  CopyBytes(information->instructor, sizeof information->instructor, query.value(6).toByteArray());
  CopyBytes(information->testFile, sizeof information->testFile, query.value(7).toByteArray());
  information->year = query.value(8).toInt();
  information->month = query.value(9).toInt();
  information->day = query.value(10).toInt();
  information->correctCount = query.value(11).toInt();
  information->questionCount = query.value(12).toInt();
  return information;
}

bool ReadQuestions(TStore::TConnection& connection, int64_t testId,
                   std::map<int, TQuestionRow>& questions, QSqlError& error) {
  questions.clear();
  QSqlQuery* query = connection.Run("SELECT number, question_text, question_marks, answer_text, "
                                    "answer_marks FROM test_questions WHERE test_id = ?",
                                    {qint64(testId)}, error);
  if (!query) return false;
  while (query->next()) {
    core::TResponse& fields = questions[query->value(0).toInt()].fields;
    CopyBytes(fields.questionText, sizeof fields.questionText, query->value(1).toByteArray());
    CopyMarks(fields.questionMarks, std::size(fields.questionMarks), query->value(2).toByteArray());
    CopyBytes(fields.expected, sizeof fields.expected, query->value(3).toByteArray());
    CopyMarks(fields.expectedMarks, std::size(fields.expectedMarks), query->value(4).toByteArray());
  }
  return true;
}

// The responses of the page's attempts, added to each in answering order.
bool ReadResponses(TStore::TConnection& connection, const QString& pageFilter,
                   const std::vector<QVariant>& values, std::vector<TStore::TAttempt>& page,
                   const std::map<int, TQuestionRow>& questions, QSqlError& error) {
  std::map<int64_t, core::TInformation*> byId;
  for (TStore::TAttempt& attempt : page) byId[attempt.id] = attempt.information.get();
  QSqlQuery* query = connection.Run(
      "SELECT r.attempt_id, r.number, r.correct, r.given_text, r.given_marks FROM responses r "
      "WHERE r.attempt_id IN (SELECT a.id FROM attempts a WHERE " + pageFilter +
          ") ORDER BY r.attempt_id, r.position",
      values, error);
  if (!query) return false;
  while (query->next()) {
    const auto found = byId.find(query->value(0).toLongLong());
    if (found == byId.end()) continue;
    const int number = query->value(1).toInt();
    const auto question = questions.find(number);
    auto response = question == questions.end() ? std::make_unique<core::TResponse>()
                                                : std::make_unique<core::TResponse>(question->second.fields);
    response->number = number;
    response->correct = query->value(2).toInt();
    CopyBytes(response->given, sizeof response->given, query->value(3).toByteArray());
    CopyMarks(response->givenMarks, std::size(response->givenMarks), query->value(4).toByteArray());
    found->second->responses.Add(std::move(response));
  }
  return true;
}

}  // namespace

bool ReadAttempts(TStore::TConnection& connection, const char* filter, int64_t value,
                  const std::function<bool(TStore::TAttempt&&)>& visit, QSqlError& error,
                  int pageSize) {
  // Each page starts after the last attempt of the one before: the order is the ids'.
  const QString pageFilter = QString("%1 AND a.id > ? ORDER BY a.id LIMIT %2").arg(filter).arg(pageSize);
  std::map<int, TQuestionRow> questions;
  std::optional<int64_t> questionsOf;
  int64_t after = -1;
  for (;;) {
    const std::vector<QVariant> values = {qint64(value), qint64(after)};
    QSqlQuery* query = connection.Run(
        QString("SELECT %1 FROM attempts a WHERE %2").arg(kAttemptColumns, pageFilter), values,
        error);
    if (!query) return false;
    std::vector<TStore::TAttempt> page;
    std::vector<int64_t> testIds;
    while (query->next()) {
      page.push_back({query->value(0).toLongLong(), AttemptFields(*query),
                      query->value(13).toString().toStdString()});
      testIds.push_back(query->value(1).toLongLong());
    }
    if (page.empty()) return true;
    // A filter chooses attempts of one test.
    if (questionsOf != testIds.front()) {
      if (!ReadQuestions(connection, testIds.front(), questions, error)) return false;
      questionsOf = testIds.front();
    }
    if (!ReadResponses(connection, pageFilter, values, page, questions, error)) return false;
    connection.FinishAll();
    for (TStore::TAttempt& attempt : page)
      if (!visit(std::move(attempt))) return true;
    if (int(page.size()) < pageSize) return true;
    after = page.back().id;
  }
}

TRead<std::vector<TStore::TTestSummary>> TStore::Tests() {
  if (!EnsureConnected()) return TRead<std::vector<TTestSummary>>::Failed(lastError_);
  std::vector<TTestSummary> tests;
  QSqlQuery query(connection_->database);
  // A head of department reads every teacher's tests, each with whose it is. The dates and
  // the first question tell two versions of a test apart.
  const QString collector = connection_->sharedTests ? "''" : "t.collector";
  if (!query.exec(QString("SELECT t.id, t.file_name, t.question_count, COUNT(a.id), %1, "
                          "MIN(a.year * 10000 + a.month * 100 + a.day), "
                          "MAX(a.year * 10000 + a.month * 100 + a.day), q.question_text, "
                          "q.question_marks FROM tests t LEFT JOIN attempts a ON a.test_id = t.id "
                          "LEFT JOIN test_questions q ON q.test_id = t.id AND q.number = 1 "
                          "GROUP BY t.id, t.file_name, t.question_count, %1, q.question_text, "
                          "q.question_marks ORDER BY t.id")
                      .arg(collector))) {
    lastError_ = connection_->ReadFailure(query.lastError());
    return TRead<std::vector<TTestSummary>>::Failed(lastError_);
  }
  while (query.next()) {
    const QByteArray name = query.value(1).toByteArray();
    tests.push_back({query.value(0).toLongLong(), name.toStdString(), query.value(2).toInt(),
                     query.value(3).toInt(), query.value(4).toString().toStdString(),
                     query.value(5).toInt(), query.value(6).toInt(),
                     StoredLetters(query.value(7).toByteArray(), query.value(8).toByteArray())});
  }
  return tests;
}

TRead<std::optional<int64_t>> TStore::FindTest(const core::TOpenTest& test) {
  using TFound = TRead<std::optional<int64_t>>;
  if (!EnsureConnected()) return TFound::Failed(lastError_);
  QSqlError error;
  std::vector<QVariant> values = {Fingerprint(TestKey(test))};
  if (!connection_->sharedTests) values.insert(values.begin(), connection_->TestCollector());
  QSqlQuery* query =
      connection_->Run(connection_->sharedTests
                           ? "SELECT id FROM tests WHERE fingerprint = ?"
                           : "SELECT id FROM tests WHERE collector = ? AND fingerprint = ?",
                       values, error);
  if (!query) return TFound::Failed(lastError_ = connection_->ReadFailure(error));
  if (!query->next()) return TFound(std::nullopt);
  return TFound(query->value(0).toLongLong());
}

TRead<std::vector<TStore::TAttempt>> TStore::Attempts(int64_t testId) {
  std::vector<TAttempt> attempts;
  if (!EachAttempt(
          testId,
          [&](TAttempt&& attempt) {
            attempts.push_back(std::move(attempt));
            return true;
          },
          kClassPage))
    return TRead<std::vector<TAttempt>>::Failed(lastError_);
  return attempts;
}

bool TStore::EachAttempt(int64_t testId, const std::function<bool(TAttempt&&)>& visit) {
  return EachAttempt(testId, visit, kVisitPage);
}

bool TStore::EachAttempt(int64_t testId, const std::function<bool(TAttempt&&)>& visit,
                         int pageSize) {
  if (!EnsureConnected()) return false;
  QSqlError error;
  if (ReadAttempts(*connection_, "a.test_id = ?", testId, visit, error, pageSize)) return true;
  lastError_ = connection_->ReadFailure(error);
  return false;
}

}  // namespace gradebook
