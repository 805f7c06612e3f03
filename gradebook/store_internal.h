#pragma once
// What the gradebook store's files share: the connection, the engines' differences, and the
// helpers that turn the records' fixed fields into bound values and back. Not for use outside
// the store.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include "gradebook/store.h"

namespace gradebook {

// What failed, not what went before it: a command that stored attempts first says how many.
inline constexpr char kBusy[] =
    "The gradebook is in use by another program; try again when that program has finished.";
inline constexpr char kNotWritten[] =
    "The gradebook could not be written (the disk may be full or its folder read-only).";
inline constexpr char kLost[] =
    "The gradebook server stopped answering. The files collected before are stored; collect "
    "the others again when the server is back: the disks still hold them.";
inline constexpr char kLostBatch[] =
    "The gradebook server stopped answering, so it undid this collection: none of its files "
    "is stored. Collect them again when the server is back.";
inline constexpr char kBatchUndone[] =
    "The gradebook server undid this collection: none of its files is stored.";
inline constexpr char kLostRead[] =
    "The gradebook server stopped answering; try again when it is back.";
inline constexpr char kLostCopy[] =
    "The gradebook server stopped answering during the copy, so the server undid it: nothing "
    "was copied. Copy again when the server is back.";
inline constexpr char kServerBusy[] =
    "The gradebook server is busy (another program holds the gradebook); try again.";

std::string LoginName();

struct TStore::TConnection {
  QString name = QUuid::createUuid().toString();
  QSqlDatabase database;
  std::string collector = LoginName();
  bool onServer = false;
  // Tables older than version 3 keep one row per test for every teacher, without a collector.
  bool sharedTests = false;
  // Tables of version 4 collect an attempt in one call to the server: one round trip.
  bool collectFunction = false;
  // The server's password, in memory only, for opening the connection again.
  QString password;
  QString waitSeconds;  // how long a busy server may make the teacher wait
  // Each statement prepared once per connection: on a server, preparing is a round trip.
  std::map<QString, QSqlQuery> prepared;
  bool inBatch = false;
  // A statement failed in a way that undid the whole batch: it ends undone.
  bool batchUndone = false;
  // Tests whose rows this connection found or made: their questions need not be sent again.
  std::set<QString> knownTests;
  // The test key hashed last, and its fingerprint: the files of a class share one test.
  std::string lastTestKey;
  QString lastTestFingerprint;

  // On this computer the write lock is taken at once, so a second Quizloom collecting at the
  // same time waits its turn instead of failing when the first one's commit overtakes it.
  bool Begin(QSqlError& error);
  // A statement left stepping would keep SQLite's snapshot and locks.
  void FinishAll();
  // Runs sql, prepared once per connection, with values bound in order: the query before its
  // first row, or nothing and why in error. A statement the server would not prepare (a
  // colleague's lock) is prepared again the next time.
  QSqlQuery* Run(const QString& sql, const std::vector<QVariant>& values, QSqlError& error);
  // A statement without values, such as SAVEPOINT; false and why in error.
  bool Exec(const char* sql, QSqlError& error);
  // Whose test rows these are: the teacher on a server; on this computer they are the file's.
  QString TestCollector() const;
  // The fingerprint of a test key; the last one is remembered.
  QString TestFingerprint(const std::string& key);
  // Why a statement failed, in a sentence fit for a message box. A server's refusal is told
  // in plain words, never in its own text, which names keys and other teachers' rows.
  std::string ReadFailure(const QSqlError& error);
  // Whether the server's end of the connection still stands, as far as is known without
  // asking it: a server that was stopped has closed it.
  bool Standing();
  ~TConnection();
};

// Tests only: the step SetAfterAttemptRowForTests gave, if any.
void AfterAttemptRowForTests();

// Another program holds the gradebook: SQLite's busy or locked, the server's lock or
// statement timeout, or two programs waiting for each other.
bool IsBusy(const QSqlError& error);
bool IsBusyCode(const QString& code);
// Why the server refused a statement, in plain words.
std::string RefusalReason(const QString& code);

QByteArray Bytes(const std::string& bytes);
QByteArray FieldBytes(const char* field, std::size_t size);
QString Fingerprint(const std::string& key);
// The attempt's own columns as bound values, in the tables' order: names, course, period,
// instructor, test path, date and counts.
std::vector<QVariant> AttemptValues(const core::TInformation& information);
// Letters kept as text bytes and little-endian marks, one per letter.
core::TLetters StoredLetters(const QByteArray& text, const QByteArray& marks);

// The attempts chosen by filter ("a.test_id = ?" or "a.id = ?") in the order they were
// collected, each with its responses and its test's questions and expected answers, read
// pageSize at a time; visit returning false stops. False, and why in error, on failure.
bool ReadAttempts(TStore::TConnection& connection, const char* filter, int64_t value,
                  const std::function<bool(TStore::TAttempt&&)>& visit, QSqlError& error,
                  int pageSize = 1);

// The version of this computer's tables as they stand: 0 before any, -1 (and why in reason)
// when unreadable.
int AppliedVersion(QSqlQuery& query, QString& reason);
// The newest version of the tables this program knows: the highest numbered table file.
int KnownVersion();
// The table files numbered above version, as the administrator applies them: "003_x.sql".
std::string FilesAfter(int version);
// The version of the table file named NNN_role.sql, or 0 when this program has none.
int TableFileVersion(const QString& role);
// Brings this computer's gradebook up to the known version, each table file in one
// transaction. Nothing, and why, when it cannot be read or brought up to date.
std::optional<int> UpdateFileSchema(QSqlDatabase& database, QString& reason);

}  // namespace gradebook
