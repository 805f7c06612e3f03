#include "gradebook/hand_in_listener.h"

#include <libpq-fe.h>

#include <QSqlDriver>
#include <QUuid>
#include <QVariant>

namespace gradebook {

namespace {

constexpr char kChannel[] = "quizloom_hand_in";
// How often the listening connection is checked: a server restarted in a lesson is heard
// again within this time. Checking costs nothing on the server while the connection stands.
constexpr int kCheckMilliseconds = 20000;

}  // namespace

THandInListener::THandInListener(const QSqlDatabase& like, const QString& password)
    : name_(QUuid::createUuid().toString()), password_(password) {
  QSqlDatabase::cloneDatabase(like, name_);
  check_.setInterval(kCheckMilliseconds);
  connect(&check_, &QTimer::timeout, this, &THandInListener::Check);
}

THandInListener::~THandInListener() {
  {
    QSqlDatabase database = QSqlDatabase::database(name_, false);
    database.close();
  }
  QSqlDatabase::removeDatabase(name_);
}

bool THandInListener::Listen() {
  QSqlDatabase database = QSqlDatabase::database(name_, false);
  database.close();
  database.setPassword(password_);
  const bool opened = database.open();
  database.setPassword(QString());
  check_.start();
  if (!opened || !database.driver()->subscribeToNotification(kChannel)) return false;
  // The driver reports each notice with its payload, the session's number; once, however
  // often the connection was opened again.
  disconnect(database.driver(), nullptr, this, nullptr);
  connect(database.driver(), &QSqlDriver::notification, this,
          [this](const QString&, QSqlDriver::NotificationSource, const QVariant& payload) {
            emit Arrived(payload.toLongLong());
          });
  return true;
}

// The driver reads the socket when it turns readable: a notice, or the server's goodbye,
// after which libpq holds the connection bad. Nothing is read or sent here.
static bool Stands(const QSqlDatabase& database) {
  if (!database.isOpen()) return false;
  const QVariant handle = database.driver()->handle();
  if (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0)
    return false;
  PGconn* server = *static_cast<PGconn* const*>(handle.constData());
  return server && PQstatus(server) == CONNECTION_OK;
}

void THandInListener::Check() {
  if (Stands(QSqlDatabase::database(name_, false))) return;
  if (Listen()) emit Arrived(0);
}

}  // namespace gradebook
