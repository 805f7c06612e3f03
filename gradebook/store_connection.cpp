#include <fcntl.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "gradebook/attempt_key.h"
#include "gradebook/store_internal.h"
#include "platform/cp1252.h"

namespace gradebook {

namespace {

constexpr int kBusyMilliseconds = 5000;

// libpq's answer when the server wants a password it was not given, or a wrong one.
bool AsksPassword(const QString& text) {
  return text.contains("no password supplied") || text.contains("password authentication failed");
}

}  // namespace

std::string LoginName() {
  QString name = qEnvironmentVariable("USER");
  if (name.isEmpty()) name = qEnvironmentVariable("LOGNAME");
  return name.toStdString();
}

bool IsBusy(const QSqlError& error) {
  const QString code = error.nativeErrorCode();
  return code == "5" || code == "6" || code == "517" || code == "55P03" ||
         error.databaseText().contains("locked");
}

bool IsDuplicate(const QSqlError& error) {
  const QString code = error.nativeErrorCode();
  return code == "19" || code == "2067" || code == "1555" || code == "23505";
}

QByteArray Bytes(const std::string& bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QByteArray FieldBytes(const char* field, std::size_t size) { return Bytes(FieldText(field, size)); }

QString Fingerprint(const std::string& key) {
  return QString::fromLatin1(
      QCryptographicHash::hash(Bytes(key), QCryptographicHash::Sha256).toHex());
}

bool Run(QSqlQuery& query, std::initializer_list<QVariant> values) {
  for (const QVariant& value : values) query.addBindValue(value);
  return query.exec();
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

QSqlQuery& TStore::TConnection::Prepared(const QString& sql) {
  FinishAll();
  auto found = prepared.find(sql);
  if (found == prepared.end()) {
    found = prepared.emplace(sql, QSqlQuery(database)).first;
    found->second.prepare(sql);
  }
  return found->second;
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
  connection->database.setDatabaseName(file);
  connection->database.setConnectOptions("QSQLITE_BUSY_TIMEOUT=" +
                                         QString::number(kBusyMilliseconds));
  std::unique_ptr<TStore> store(new TStore(std::move(connection)));
  QSqlDatabase& database = store->connection_->database;
  const auto fail = [&](const QString& why) {
    error = platform::ToCp1252("The gradebook cannot be opened" + where + ": " + why);
    return nullptr;
  };
  if (!database.open()) return fail(database.lastError().text());
  QSqlQuery query(database);
  // WAL lets the Class Results window read while a collection writes; NORMAL keeps every
  // commit whole after a crash and spares a disk flush per file.
  if (!query.exec("PRAGMA foreign_keys = ON") || !query.exec("PRAGMA journal_mode = WAL") ||
      !query.exec("PRAGMA synchronous = NORMAL"))
    return fail(query.lastError().text());
  QString reason;
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
  database.setPassword(QString::fromStdString(password));
  QString options = QString::fromStdString(location.options).trimmed();
  if (!location.service.empty())
    options = "service=" + QString::fromStdString(location.service) + " " + options;
  // libpq's own settings; the connection string is not otherwise ours to build.
  database.setConnectOptions(options.trimmed().replace(QRegularExpression("\\s+"), ";"));
  if (!database.open()) {
    const QString why = database.lastError().databaseText().trimmed();
    needsPassword = AsksPassword(why);
    return fail(needsPassword && password.empty() ? "the server asks for a password." : why);
  }
  // The password served its purpose; the driver need not keep it.
  database.setPassword(QString());
  QSqlQuery query(database);
  if (!query.exec("SELECT current_user, current_setting('server_version')") || !query.next())
    return fail(query.lastError().databaseText());
  connection->collector = query.value(0).toString().toStdString();
  const std::string serverVersion = query.value(1).toString().toStdString();
  if (!query.exec("SELECT MAX(version) FROM schema_version") || !query.next())
    return fail("its gradebook tables are missing or this account may not read them. The "
                "school's database administrator must set them up as the help describes.");
  const int version = query.value(0).toInt();
  const int known = KnownVersion();
  if (version < known)
    return fail(QString("its gradebook tables are version %1, and this Quizloom needs version "
                        "%2. Nothing was written. The school's database administrator must "
                        "update them as the help describes.")
                    .arg(version)
                    .arg(known));
  std::unique_ptr<TStore> store(new TStore(std::move(connection)));
  store->serverVersion_ = serverVersion;
  store->schemaVersion_ = version;
  if (version > known)
    store->readOnlyReason_ = platform::ToCp1252(
        QString("The gradebook on the server%1 was updated for a newer Quizloom (version %2; "
                "this one knows %3). This Quizloom shows it but writes nothing to it.")
            .arg(where)
            .arg(version)
            .arg(known));
  return store;
}

bool TStore::Refused() {
  if (readOnlyReason_.empty()) return false;
  lastError_ = readOnlyReason_;
  return true;
}

}  // namespace gradebook
