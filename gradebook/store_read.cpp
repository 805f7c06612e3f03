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

std::optional<std::vector<TStore::TAttempt>> LoadAttempts(QSqlDatabase& database,
                                                          const char* filter, int64_t value,
                                                          QSqlError& error) {
  std::vector<TStore::TAttempt> attempts;
  QSqlQuery query(database);
  // Rows are read once, in order: Qt need not keep a copy of each.
  query.setForwardOnly(true);
  query.prepare(QString("SELECT %1 FROM attempts a WHERE %2 ORDER BY a.id")
                    .arg(kAttemptColumns, filter));
  query.addBindValue(qint64(value));
  if (!query.exec()) return error = query.lastError(), std::nullopt;
  std::map<int64_t, std::size_t> indexOf;
  std::optional<int64_t> testId;
  while (query.next()) {
    auto information = std::make_unique<core::TInformation>();
    testId = query.value(1).toLongLong();
    CopyBytes(information->firstName, sizeof information->firstName, query.value(2).toByteArray());
    CopyBytes(information->lastName, sizeof information->lastName, query.value(3).toByteArray());
    CopyBytes(information->course, sizeof information->course, query.value(4).toByteArray());
    CopyBytes(information->period, sizeof information->period, query.value(5).toByteArray());
    CopyBytes(information->instructor, sizeof information->instructor,
              query.value(6).toByteArray());
    CopyBytes(information->testFile, sizeof information->testFile, query.value(7).toByteArray());
    information->year = query.value(8).toInt();
    information->month = query.value(9).toInt();
    information->day = query.value(10).toInt();
    information->correctCount = query.value(11).toInt();
    information->questionCount = query.value(12).toInt();
    indexOf[query.value(0).toLongLong()] = attempts.size();
    attempts.push_back({query.value(0).toLongLong(), std::move(information),
                        query.value(13).toString().toStdString()});
  }
  if (!testId) return attempts;
  std::map<int, TQuestionRow> questions;
  query.prepare("SELECT number, question_text, question_marks, answer_text, answer_marks "
                "FROM test_questions WHERE test_id = ?");
  query.addBindValue(qint64(*testId));
  if (!query.exec()) return error = query.lastError(), std::nullopt;
  while (query.next()) {
    core::TResponse& fields = questions[query.value(0).toInt()].fields;
    CopyBytes(fields.questionText, sizeof fields.questionText, query.value(1).toByteArray());
    CopyMarks(fields.questionMarks, std::size(fields.questionMarks), query.value(2).toByteArray());
    CopyBytes(fields.expected, sizeof fields.expected, query.value(3).toByteArray());
    CopyMarks(fields.expectedMarks, std::size(fields.expectedMarks), query.value(4).toByteArray());
  }
  // The attempts' ids first, so that the responses come in their key's order, unsorted.
  query.prepare(QString("SELECT r.attempt_id, r.number, r.correct, r.given_text, r.given_marks "
                        "FROM responses r WHERE r.attempt_id IN (SELECT a.id FROM attempts a "
                        "WHERE %1) ORDER BY r.attempt_id, r.position")
                    .arg(filter));
  query.addBindValue(qint64(value));
  if (!query.exec()) return error = query.lastError(), std::nullopt;
  while (query.next()) {
    const auto found = indexOf.find(query.value(0).toLongLong());
    if (found == indexOf.end()) continue;
    const int number = query.value(1).toInt();
    auto response = std::make_unique<core::TResponse>(questions[number].fields);
    response->number = number;
    response->correct = query.value(2).toInt();
    CopyBytes(response->given, sizeof response->given, query.value(3).toByteArray());
    CopyMarks(response->givenMarks, std::size(response->givenMarks), query.value(4).toByteArray());
    attempts[found->second].information->responses.Add(std::move(response));
  }
  return attempts;
}

std::optional<std::vector<TStore::TTestSummary>> TStore::Tests() {
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
    return std::nullopt;
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

std::optional<int64_t> TStore::FindTest(const core::TOpenTest& test) {
  QSqlQuery query(connection_->database);
  if (connection_->sharedTests) {
    query.prepare("SELECT id FROM tests WHERE fingerprint = ?");
  } else {
    query.prepare("SELECT id FROM tests WHERE collector = ? AND fingerprint = ?");
    query.addBindValue(connection_->TestCollector());
  }
  query.addBindValue(Fingerprint(TestKey(test)));
  if (!query.exec()) {
    lastError_ = connection_->ReadFailure(query.lastError());
    return std::nullopt;
  }
  if (!query.next()) return std::nullopt;
  return query.value(0).toLongLong();
}

std::optional<std::vector<TStore::TAttempt>> TStore::Attempts(int64_t testId) {
  QSqlError error;
  auto attempts = LoadAttempts(connection_->database, "a.test_id = ?", testId, error);
  if (!attempts) lastError_ = connection_->ReadFailure(error);
  return attempts;
}

}  // namespace gradebook
