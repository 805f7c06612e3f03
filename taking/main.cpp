#include <QApplication>

#include "platform/command_line.h"
#include "taking/application.h"

int main(int argc, char** argv) {
  // --help and --version answer before anything needs a display.
  const platform::TCommandLine line = platform::ReadCommandLine(
      argc, argv,
      {"quizdesk", "Quizdesk: take a classroom test; the results are stored in results.qzr.", ""});
  if (line.exitCode) return *line.exitCode;
  // QSettings and QStandardPaths find the program's own folders by these names.
  QCoreApplication::setOrganizationName("Quizloom");
  QCoreApplication::setApplicationName("Quizdesk");
  QApplication qt(argc, argv);
  quizdesk::TMyApp app;
  return app.Run();
}
