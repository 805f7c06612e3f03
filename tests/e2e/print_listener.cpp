// The network printer of the printing tests: listens on a free port of 127.0.0.1, writes that
// port number to DIR/port, and keeps every job it receives as DIR/job-N (N from 1), renamed
// into place only when the sender has closed the connection, so a reader never sees half.
//   print_listener DIR
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: print_listener DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  QTcpServer server;
  if (!server.listen(QHostAddress::LocalHost, 0)) {
    std::fprintf(stderr, "print_listener: %s\n", qPrintable(server.errorString()));
    return 1;
  }
  QSaveFile portFile(dir.filePath("port"));
  if (!portFile.open(QIODevice::WriteOnly) ||
      portFile.write(QByteArray::number(server.serverPort()) + "\n") < 0 || !portFile.commit()) {
    std::fprintf(stderr, "print_listener: cannot write the port file\n");
    return 1;
  }
  int jobs = 0;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* socket = server.nextPendingConnection()) {
      auto* job = new QSaveFile(dir.filePath(QString("job-%1").arg(++jobs)), socket);
      job->open(QIODevice::WriteOnly);
      QObject::connect(socket, &QTcpSocket::readyRead, [socket, job] { job->write(socket->readAll()); });
      QObject::connect(socket, &QTcpSocket::disconnected, [socket, job] {
        job->write(socket->readAll());
        job->commit();
        socket->deleteLater();
      });
    }
  });
  return app.exec();
}
