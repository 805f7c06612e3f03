#pragma once
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QTimer>

namespace gradebook {

// Hears the server tell of new hand-ins, through PostgreSQL's LISTEN on a second connection
// of its own that stays idle and outside any transaction: nothing is asked of the server
// until something arrives. The notice names only the session; what came is read on the
// gradebook's own connection. Any login may send such a notice, so it is only a reason to
// look. A connection the server closed is opened again at the next check, and a check then
// reports Arrived(0), since hand-ins may have come meanwhile. Meant to live on the thread
// of the gradebook's connection.
class THandInListener : public QObject {
  Q_OBJECT
 public:
  // A copy of like's settings, opened with password.
  THandInListener(const QSqlDatabase& like, const QString& password);
  ~THandInListener() override;
  // Opens the connection and listens; false when the server does not answer.
  bool Listen();

 signals:
  // Something was handed in to the session (0: to any of them, as far as is known).
  void Arrived(qint64 sessionId);

 private:
  void Check();

  QString name_;
  QString password_;
  QTimer check_;
};

}  // namespace gradebook
