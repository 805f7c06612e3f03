#include "taking/hand_in.h"

#include <libpq-fe.h>
#include <sys/socket.h>

#include <cctype>
#include <memory>
#include <mutex>

#include <QAtomicInteger>
#include <QEventLoop>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>

#include "platform/system.h"

namespace quizdesk {

namespace {

constexpr char kSystemFile[] = "/etc/xdg/Quizloom/quizdesk.conf";
// How long connecting, and then the call, may take on the server's side.
constexpr int kConnectSeconds = 5;
constexpr int kCallSeconds = 5;
// A second later the connection is cut from our side: a server stopped mid-call, or a cable
// pulled, never answers, and libpq would wait for it for as long as TCP does.
constexpr int kCallDeadlineMilliseconds = (kCallSeconds + 1) * 1000;

constexpr const char* kRefusals[] = {"closed", "unknown", "too large", "too many"};

bool handingIn = false;

// One call, shared by the thread that makes it and the window that waits for it.
struct TCall {
  QTimer* deadline = nullptr;  // the window's, started once the connection is open
  std::mutex lock;
  int socket = -1;  // the connection's socket while it is open
  THandInOutcome outcome;

  // libpq's wait on the socket ends at once with an error; nothing else is touched.
  void Cut() {
    std::lock_guard guard(lock);
    if (socket >= 0) ::shutdown(socket, SHUT_RDWR);
  }
  // Publishes the socket of an open connection, or takes it back (-1).
  void Watch(int fd) {
    std::lock_guard guard(lock);
    socket = fd;
  }
};

int SocketOf(const QSqlDatabase& database) {
  const QVariant handle = database.driver()->handle();
  if (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0)
    return -1;
  return PQsocket(*static_cast<PGconn* const*>(handle.constData()));
}

// A reason safe to show for a connection the server would not open. libpq's own words are
// not shown: they may name the server's accounts and addresses.
std::string ConnectFailure(const QSqlError& error) {
  const QString text = error.databaseText();
  if (text.contains("too many connections") || text.contains("too many clients"))
    return "the school server is busy";
  if (text.contains("authentication") || text.contains("password") || text.contains("pg_hba") ||
      text.contains("role"))
    return "the school server did not accept this computer's login";
  if (text.contains("database")) return "the school server is not set up for handing in";
  return kNoAnswer;
}

std::string CallFailure(const QSqlError& error) {
  const QString code = error.nativeErrorCode();
  // No such function, or this login may not call it.
  if (code == "42883" || code == "42501" || code == "3F000")
    return "the school server is not set up for handing in";
  if (code.startsWith("53")) return "the school server is busy";
  // A statement timeout, a lost connection, or the server shutting down.
  return kNoAnswer;
}

QString ConnectOptions(const THandInSetting& setting) {
  QString options = QString::fromStdString(setting.options).simplified();
  if (!options.contains("connect_timeout"))
    options += QString(" connect_timeout=%1").arg(kConnectSeconds);
  // The server gives up on a call it cannot finish, whatever the login's own setting.
  if (!options.contains("options"))
    options += QString(" options=-cstatement_timeout=%1").arg(kCallSeconds * 1000);
  return options.trimmed();
}

THandInOutcome Ask(QSqlDatabase& database, const QString& code, const QByteArray& results) {
  QSqlQuery query(database);
  query.setForwardOnly(true);
  query.prepare("SELECT hand_in(?, ?)");
  query.addBindValue(code);
  query.addBindValue(results);
  if (!query.exec() || !query.next()) return {false, CallFailure(query.lastError())};
  const std::string answer = query.value(0).toString().toStdString();
  if (answer == "handed in") return {true, {}};
  for (const char* refusal : kRefusals)
    if (answer == refusal) return {false, refusal};
  return {false, "the school server gave an answer Quizdesk does not know"};
}

void Call(TCall& call, const THandInSetting& setting, const QString& connectionName,
          const QString& code, const QByteArray& results) {
  QSqlDatabase database = QSqlDatabase::addDatabase("QPSQL", connectionName);
  if (!database.isValid()) {
    call.outcome.reason = "Quizdesk lacks the PostgreSQL driver of Qt SQL";
    return;
  }
  database.setHostName(QString::fromStdString(setting.host));
  if (!setting.port.empty()) database.setPort(QString::fromStdString(setting.port).toInt());
  database.setDatabaseName(QString::fromStdString(setting.database));
  database.setUserName(QString::fromStdString(setting.user));
  database.setPassword(QString::fromStdString(setting.password));
  database.setConnectOptions(ConnectOptions(setting));
  if (!database.open()) {
    call.outcome.reason = ConnectFailure(database.lastError());
    return;
  }
  call.Watch(SocketOf(database));
  QTimer* deadline = call.deadline;
  QMetaObject::invokeMethod(deadline, [deadline] { deadline->start(); }, Qt::QueuedConnection);
  call.outcome = Ask(database, code, results);
  call.Watch(-1);
  database.close();
}

}  // namespace

std::string HandInSettingsPath() {
  const QString path = qEnvironmentVariable("QUIZDESK_HAND_IN_SETTINGS");
  return path.isEmpty() ? kSystemFile : path.toStdString();
}

std::optional<THandInSetting> LoadHandInSetting() {
  const QString path = QString::fromStdString(HandInSettingsPath());
  const QFileInfo file(path);
  if (!file.isFile() || !file.isReadable()) return std::nullopt;
  if (file.permissions() & (QFile::WriteGroup | QFile::WriteOther)) return std::nullopt;
  QSettings settings(path, QSettings::IniFormat);
  settings.beginGroup("HandIn");
  const auto text = [&](const char* key) { return settings.value(key).toString().toStdString(); };
  THandInSetting setting{text("host"), text("port"),     text("database"),
                         text("user"), text("password"), text("options")};
  if (setting.user.empty()) return std::nullopt;
  return setting;
}

std::string CleanHandInCode(std::string_view typed) {
  std::string code;
  for (char c : typed)
    if (!std::isspace(static_cast<unsigned char>(c)))
      code += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return code;
}

THandInOutcome HandIn(const THandInSetting& setting, const std::string& code,
                      std::span<const uint8_t> results) {
  static QAtomicInteger<int> calls;
  const QString connectionName = QString("quizdesk-hand-in-%1").arg(calls.fetchAndAddRelaxed(1));
  const QByteArray bytes(reinterpret_cast<const char*>(results.data()),
                         static_cast<qsizetype>(results.size()));
  auto call = std::make_shared<TCall>();
  std::unique_ptr<QThread> thread(QThread::create([=] {
    Call(*call, setting, connectionName, QString::fromStdString(code), bytes);
    QSqlDatabase::removeDatabase(connectionName);
  }));
  QEventLoop loop;
  QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setInterval(kCallDeadlineMilliseconds);
  QObject::connect(&deadline, &QTimer::timeout, [call] { call->Cut(); });
  call->deadline = &deadline;
  platform::TWaitCursor waiting;
  thread->start();
  // The window repaints meanwhile; a click or a key waits until the call is over.
  handingIn = true;
  if (!thread->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  handingIn = false;
  thread->wait();
  return call->outcome;
}

bool HandingIn() { return handingIn; }

}  // namespace quizdesk
