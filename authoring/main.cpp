#include <QApplication>

#include "authoring/application.h"
#include "platform/command_line.h"

int main(int argc, char** argv) {
  std::optional<std::string> file;
  // --help and --version answer before anything needs a display.
  const platform::TProgramUsage usage{
      "quizloom", "Quizloom: write classroom tests of short, exactly answered questions.",
      "A test file (.tst) to open at start-up, as File, Open would."};
  if (std::optional<int> exitCode = platform::ReadCommandLine(argc, argv, usage, &file))
    return *exitCode;
  QApplication qt(argc, argv);
  quizloom::TMyApp app;
  if (file) app.OpenAtStart(*file);
  return app.Run();
}
