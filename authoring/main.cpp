#include <QApplication>

#include "authoring/application.h"
#include "platform/command_line.h"

int main(int argc, char** argv) {
  // --help and --version answer before anything needs a display.
  const platform::TCommandLine line = platform::ReadCommandLine(
      argc, argv,
      {"quizloom", "Quizloom: write classroom tests of short, exactly answered questions.",
       "A test file (.tst) to open at start-up, as File, Open would."});
  if (line.exitCode) return *line.exitCode;
  // QSettings and QStandardPaths find the program's own folders by these names.
  QCoreApplication::setOrganizationName("Quizloom");
  QCoreApplication::setApplicationName("Quizloom");
  QApplication qt(argc, argv);
  quizloom::TMyApp app;
  if (line.file) app.OpenAtStart(*line.file);
  return app.Run();
}
