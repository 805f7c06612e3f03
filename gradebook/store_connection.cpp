#include <fcntl.h>
#include <libpq-fe.h>
#include <openssl/evp.h>
#include <poll.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QStandardPaths>
#include <QUrl>

#include "gradebook/attempt_key.h"
#include "gradebook/store_internal.h"
#include "platform/cp1252.h"

namespace gradebook {

namespace {

constexpr int kBusyMilliseconds = 5000;
// The oldest tables a server may hold for this Quizloom: those before teachers had tests of
// their own, which it still writes to, with a warning.
constexpr int kOldestServerVersion = 2;

// libpq's answer when the server wants a password it was not given, or a wrong one.
bool AsksPassword(const QString& text) {
  return text.contains("no password supplied") || text.contains("password authentication failed");
}

// Whether the gradebook file, and the folder its WAL files go to, may be written.
enum class TWriteAccess { Full, FileReadOnly, FolderReadOnly };

TWriteAccess WriteAccess(const QString& file) {
  if (::access(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), W_OK) != 0)
    return TWriteAccess::FolderReadOnly;
  if (::access(QFile::encodeName(file).constData(), W_OK) != 0) return TWriteAccess::FileReadOnly;
  return TWriteAccess::Full;
}

// SQLite's URI for reading only. Where no WAL file can be made beside it (a read-only
// medium), the file is read as one that cannot change.
QString ReadOnlyUri(const QString& file, TWriteAccess access) {
  QUrl uri = QUrl::fromLocalFile(file);
  uri.setQuery(access == TWriteAccess::FolderReadOnly ? "mode=ro&immutable=1" : "mode=ro");
  return uri.toString(QUrl::FullyEncoded);
}

}  // namespace

std::string LoginName() {
  QString name = qEnvironmentVariable("USER");
  if (name.isEmpty()) name = qEnvironmentVariable("LOGNAME");
  return name.toStdString();
}

bool IsBusyCode(const QString& code) {
  // SQLite's busy and locked; the server's lock and statement timeouts, deadlock, and a
  // transaction that another one's change made impossible.
  return code == "5" || code == "6" || code == "517" || code == "55P03" || code == "57014" ||
         code == "40P01" || code == "40001";
}

bool IsBusy(const QSqlError& error) {
  return IsBusyCode(error.nativeErrorCode()) || error.databaseText().contains("locked");
}

std::string RefusalReason(const QString& code) {
  if (code == "42501")
    return "this account lacks the rights for it; the school's database administrator must "
           "give it a teacher's rights";
  if (code == "53100") return "the server's disk is full";
  if (code.startsWith("53")) return "the server is short of memory or connections";
  if (code.startsWith("23")) return "a rule of the gradebook's tables does not allow it";
  if (code.startsWith("22")) return "one of its values does not fit the gradebook's tables";
  if (code.startsWith("42")) return "the gradebook's tables are not the ones this Quizloom knows";
  if (code.isEmpty() || code.startsWith("08") || code.startsWith("57P"))
    return "the server stopped answering";
  return "the server gave the error code " + code.toStdString();
}

QByteArray Bytes(const std::string& bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QByteArray FieldBytes(const char* field, std::size_t size) { return Bytes(FieldText(field, size)); }

std::vector<QVariant> AttemptValues(const core::TInformation& information) {
  return {FieldBytes(information.firstName, sizeof information.firstName),
          FieldBytes(information.lastName, sizeof information.lastName),
          FieldBytes(information.course, sizeof information.course),
          FieldBytes(information.period, sizeof information.period),
          FieldBytes(information.instructor, sizeof information.instructor),
          FieldBytes(information.testFile, sizeof information.testFile),
          information.year,
          information.month,
          information.day,
          information.correctCount,
          information.questionCount};
}

QString Fingerprint(const std::string& key) {
  // OpenSSL's SHA-256 uses the processor's own instructions: an attempt's key is hashed for
  // each file collected, and Qt's byte-by-byte hashing was a good part of collecting's time.
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (!EVP_Digest(key.data(), key.size(), digest, &size, EVP_sha256(), nullptr))
    return QString::fromLatin1(
        QCryptographicHash::hash(Bytes(key), QCryptographicHash::Sha256).toHex());
  return QString::fromLatin1(
      QByteArray::fromRawData(reinterpret_cast<const char*>(digest), int(size)).toHex());
}

bool TStore::TConnection::Begin(QSqlError& error) {
  if (onServer) {
    if (database.transaction()) return true;
    error = database.lastError();
    return false;
  }
  FinishAll();
  QSqlQuery begin(database);
  if (begin.exec("BEGIN IMMEDIATE")) return true;
  error = begin.lastError();
  return false;
}

void TStore::TConnection::FinishAll() {
  for (auto& [text, query] : prepared)
    if (query.isActive()) query.finish();
}

QSqlQuery* TStore::TConnection::Run(const QString& sql, const std::vector<QVariant>& values,
                                     QSqlError& error) {
  FinishAll();
  auto found = prepared.find(sql);
  if (found == prepared.end()) {
    QSqlQuery query(database);
    if (!query.prepare(sql)) return error = query.lastError(), nullptr;
    found = prepared.emplace(sql, std::move(query)).first;
  }
  QSqlQuery& query = found->second;
  for (const QVariant& value : values) query.addBindValue(value);
  if (!query.exec()) return error = query.lastError(), nullptr;
  return &query;
}

bool TStore::TConnection::Exec(const char* sql, QSqlError& error) {
  // SQLite prepares any statement, once; the server prepares none of these.
  if (!onServer) return Run(sql, {}, error) != nullptr;
  FinishAll();
  QSqlQuery query(database);
  if (query.exec(sql)) return true;
  error = query.lastError();
  return false;
}

bool TStore::TConnection::Standing() {
  if (!onServer) return true;
  const QVariant handle = database.driver()->handle();
  // Qt names the type by libpq's struct.
  if (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0)
    return false;
  PGconn* server = *static_cast<PGconn* const*>(handle.constData());
  // A stopped server has said goodbye and closed the socket: it reads at once, and libpq
  // learns the connection is gone. An idle connection has nothing to read.
  for (int read = 0; server && PQstatus(server) == CONNECTION_OK && read < 4; ++read) {
    pollfd socket = {PQsocket(server), POLLIN, 0};
    if (::poll(&socket, 1, 0) <= 0) return true;
    if (!PQconsumeInput(server)) return false;
  }
  return server && PQstatus(server) == CONNECTION_OK;
}

QString TStore::TConnection::TestCollector() const {
  return onServer ? QString::fromStdString(collector) : QString("");  // empty, never NULL
}

QString TStore::TConnection::TestFingerprint(const std::string& key) {
  if (key != lastTestKey) lastTestKey = key, lastTestFingerprint = Fingerprint(key);
  return lastTestFingerprint;
}

std::string TStore::TConnection::ReadFailure(const QSqlError& error) {
  if (!onServer) return IsBusy(error) ? kBusy : platform::ToCp1252(error.text());
  if (IsBusy(error)) return kServerBusy;
  if (!Standing()) return kLostRead;
  return "The gradebook on the server cannot be read: " +
         RefusalReason(error.nativeErrorCode()) + ".";
}

TStore::TConnection::~TConnection() {
  prepared.clear();
  database.close();
  database = QSqlDatabase();
  QSqlDatabase::removeDatabase(name);
}

TStore::TStore(std::unique_ptr<TConnection> connection) : connection_(std::move(connection)) {}
TStore::~TStore() = default;

std::string TStore::DefaultPath() {
  return platform::PathFromQt(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                              "/gradebook.sqlite");
}

std::unique_ptr<TStore> TStore::Open(const std::string& path, std::string& error) {
  const QString file = platform::PathToQt(path);
  const QString where = " (" + QDir::toNativeSeparators(file) + ")";
  if (!QFileInfo::exists(file)) {
    // Created by us, readable by this account only: it holds the students' names and marks.
    QDir().mkpath(QFileInfo(file).absolutePath());
    const int fd = ::open(QFile::encodeName(file).constData(), O_CREAT | O_EXCL | O_WRONLY, 0600);
    if (fd < 0) {
      error = platform::ToCp1252("The gradebook cannot be created" + where +
                                 ": its folder cannot be written.");
      return nullptr;
    }
    ::close(fd);
  }
  auto connection = std::make_unique<TConnection>();
  connection->database = QSqlDatabase::addDatabase("QSQLITE", connection->name);
  if (!connection->database.isValid()) {
    error = "The gradebook cannot be opened: the SQLite driver of Qt SQL is not installed.";
    return nullptr;
  }
  const TWriteAccess writeAccess = WriteAccess(file);
  const bool writable = writeAccess == TWriteAccess::Full;
  connection->database.setDatabaseName(writable ? file : ReadOnlyUri(file, writeAccess));
  connection->database.setConnectOptions(
      (writable ? "" : "QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;") +
      QString("QSQLITE_BUSY_TIMEOUT=") + QString::number(kBusyMilliseconds));
  std::unique_ptr<TStore> store(new TStore(std::move(connection)));
  QSqlDatabase& database = store->connection_->database;
  const auto fail = [&](const QString& why) {
    error = platform::ToCp1252("The gradebook cannot be opened" + where + ": " + why);
    return nullptr;
  };
  if (!database.open()) return fail(database.lastError().text());
  QSqlQuery query(database);
  // WAL lets the Class Results window read while a collection writes; NORMAL keeps every
  // commit whole after a crash and spares a disk flush per file; each file's savepoint keeps
  // the pages it would undo in memory, not in a temporary file.
  if (!query.exec("PRAGMA foreign_keys = ON") ||
      (writable && (!query.exec("PRAGMA journal_mode = WAL") ||
                    !query.exec("PRAGMA synchronous = NORMAL") ||
                    !query.exec("PRAGMA temp_store = MEMORY"))))
    return fail(query.lastError().text());
  QString reason;
  if (!writable) {
    // Shown as it is, an older gradebook's tables too: nothing is written to it.
    const int version = AppliedVersion(query, reason);
    if (version < 0) return fail(reason);
    store->schemaVersion_ = version;
    store->connection_->sharedTests = version < 3;
    store->readOnlyReason_ = platform::ToCp1252(
        "The gradebook" + where +
        " cannot be written: it or its folder is read-only. Quizloom shows it but writes "
        "nothing to it; collect into a gradebook that can be written.");
    return store;
  }
  const std::optional<int> version = UpdateFileSchema(database, reason);
  if (!version) return fail(reason);
  store->schemaVersion_ = *version;
  return store;
}

std::unique_ptr<TStore> TStore::Open(const TLocation& location, const std::string& password,
                                     std::string& error, bool& needsPassword) {
  needsPassword = false;
  if (location.onServer) return OpenServer(location, password, error, needsPassword);
  return Open(DefaultPath(), error);
}

std::unique_ptr<TStore> TStore::OpenServer(const TLocation& location, const std::string& password,
                                           std::string& error, bool& needsPassword) {
  needsPassword = false;
  auto connection = std::make_unique<TConnection>();
  connection->onServer = true;
  connection->database = QSqlDatabase::addDatabase("QPSQL", connection->name);
  const QString where = QString::fromStdString(" (" + Describe(location) + ")");
  const auto fail = [&](const QString& why) {
    error = platform::ToCp1252("The gradebook on the server cannot be used" + where + ": " + why);
    return nullptr;
  };
  if (!connection->database.isValid())
    return fail("the PostgreSQL driver of Qt SQL (libqt6sql6-psql) is not installed.");
  QSqlDatabase& database = connection->database;
  database.setHostName(QString::fromStdString(location.host));
  if (!location.port.empty()) database.setPort(std::stoi("0" + location.port));
  database.setDatabaseName(QString::fromStdString(location.database));
  database.setUserName(QString::fromStdString(location.user));
  QString options = QString::fromStdString(location.options).trimmed();
  if (!location.service.empty())
    options = "service=" + QString::fromStdString(location.service) + " " + options;
  // An unreachable server must not hold the window longer than a busy one may.
  const QString timeout = QString::number(std::max(location.timeoutSeconds, 1));
  if (!options.contains("connect_timeout")) options += " connect_timeout=" + timeout;
  // libpq's own settings; the connection string is not otherwise ours to build.
  database.setConnectOptions(options.trimmed().replace(QRegularExpression("\\s+"), ";"));
  connection->password = QString::fromStdString(password);
  connection->waitSeconds = timeout;
  std::unique_ptr<TStore> store(new TStore(std::move(connection)));
  std::string why;
  if (!store->StartSession(why)) {
    needsPassword = AsksPassword(QString::fromStdString(why));
    return fail(needsPassword && password.empty() ? "the server asks for a password."
                                                  : QString::fromStdString(why));
  }
  const int version = store->schemaVersion_, known = KnownVersion();
  if (version < kOldestServerVersion)
    return fail(QString("its gradebook tables are version %1, and this Quizloom needs version "
                        "%2. Nothing was written. The school's database administrator must "
                        "update them as the help describes.")
                    .arg(version)
                    .arg(known));
  if (version < known)
    store->outdatedRights_ = "The gradebook's rights are older than this Quizloom; ask the "
                             "administrator to apply " + FilesAfter(version) + ".";
  if (version > known)
    store->readOnlyReason_ = platform::ToCp1252(
        QString("The gradebook on the server%1 was updated for a newer Quizloom (version %2; "
                "this one knows %3). This Quizloom shows it but writes nothing to it.")
            .arg(where)
            .arg(version)
            .arg(known));
  return store;
}

bool TStore::StartSession(std::string& why) {
  TConnection& connection = *connection_;
  QSqlDatabase& database = connection.database;
  connection.prepared.clear();
  connection.knownTests.clear();
  connection.inBatch = false;
  database.close();
  database.setPassword(connection.password);
  const bool opened = database.open();
  // The password served its purpose; the driver need not keep it.
  database.setPassword(QString());
  // libpq's text without its layout of lines and tabs.
  if (!opened) return why = database.lastError().databaseText().simplified().toStdString(), false;
  // No colleague's open transaction or lock may hold this Quizloom longer than the timeout.
  const QString timeout = connection.waitSeconds;
  QSqlQuery query(database);
  query.prepare("SELECT current_user, current_setting('server_version'), "
                "set_config('lock_timeout', ?, false), set_config('statement_timeout', ?, false), "
                "(SELECT MAX(version) FROM schema_version)");
  query.addBindValue(timeout + "s");
  query.addBindValue(timeout + "s");
  if (!query.exec() || !query.next()) {
    const QString code = query.lastError().nativeErrorCode();
    why = code == "42P01" || code == "42501"
              ? "its gradebook tables are missing or this account may not read them. The "
                "school's database administrator must set them up as the help describes."
              : RefusalReason(code) + ".";
    return false;
  }
  connection.collector = query.value(0).toString().toStdString();
  serverVersion_ = query.value(1).toString().toStdString();
  schemaVersion_ = query.value(4).toInt();
  connection.sharedTests = schemaVersion_ < 3;
  connection.collectFunction = schemaVersion_ >= 4;
  return true;
}

bool TStore::EnsureConnected() {
  if (connection_->Standing()) return connectionLost_ = false, true;
  // A batch's transaction went with the connection: opening another would hide that.
  if (connection_->inBatch) return lastError_ = kLostBatch, connectionLost_ = true, false;
  // Once, at the start of a command: a server still down ends the command plainly.
  std::string why;
  if (StartSession(why)) return connectionLost_ = false, true;
  lastError_ = kLostRead;
  connectionLost_ = true;
  return false;
}

QSqlDriver* TStore::Driver() const { return connection_->database.driver(); }

const std::string& TStore::Collector() const { return connection_->collector; }

bool TStore::Refused() {
  if (readOnlyReason_.empty()) return false;
  lastError_ = readOnlyReason_;
  return true;
}

}  // namespace gradebook
