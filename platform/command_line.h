#pragma once
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What a program's command line says, for its main() to act on before any window exists.
struct TProgramUsage {
  std::string name;         // "quizloom"
  std::string description;  // the first line of --help
  std::string fileHelp;     // the help of the FILE argument; empty when the program takes none
};

struct TCommandLine {
  // Set when the program must end at once: 0 after --help or --version, 2 on misuse.
  std::optional<int> exitCode;
  std::string output;        // what to print before ending
  bool toStandardError = false;
  std::optional<std::string> file;  // the file to open at start-up, as the system's bytes
};

// The arguments without the program's own name, decoded as the system's text. Qt's own
// options (-platform, -display, -style and the like) are accepted and left to QApplication.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments, const TProgramUsage& usage);

// Parses argv and prints what the command line asks to print.
TCommandLine ReadCommandLine(int argc, char** argv, const TProgramUsage& usage);

// Names the running program to the desktop: the window class "quizloom", whatever name it was
// started by, which X11 docks match with the menu entry's StartupWMClass; and the entry's own
// name (org.quizloom.Quizloom), which is also the Wayland app id.
void NameProgramForDesktop(const std::string& name, const std::string& desktopEntry);

}  // namespace platform
