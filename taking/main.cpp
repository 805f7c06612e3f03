#include <QApplication>

#include "platform/command_line.h"
#include "taking/application.h"

int main(int argc, char** argv) {
  // --help and --version answer before anything needs a display.
  const platform::TProgramUsage usage{
      "quizdesk", "Quizdesk: take a classroom test; the results are stored in results.qzr.", ""};
  if (std::optional<int> exitCode = platform::ReadCommandLine(argc, argv, usage)) return *exitCode;
  QApplication qt(argc, argv);
  quizdesk::TMyApp app;
  return app.Run();
}
