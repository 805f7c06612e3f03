#include "platform/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

#ifndef QUIZ_VERSION
#error "QUIZ_VERSION must be defined by the build"
#endif

namespace platform {

namespace {

// The options QApplication takes for itself; the parser lets them through untouched.
const char* const kQtOptionsWithValue[] = {"platform", "platformpluginpath", "platformtheme",
                                           "plugin", "display", "geometry", "qwindowgeometry",
                                           "qwindowicon", "qwindowtitle", "style", "stylesheet",
                                           "session"};
const char* const kQtFlags[] = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

TCommandLine Misuse(const std::string& name, const QString& problem, const QString& help) {
  TCommandLine line;
  line.exitCode = 2;
  line.toStandardError = true;
  line.output = name + ": " + problem.toStdString() + "\n\n" + help.toStdString();
  return line;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments, const TProgramUsage& usage) {
  QCommandLineParser parser;
  // Qt's options are single-dash words (-platform), so -h is one option, not a bundle.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(QString::fromStdString(usage.description));
  // Our own help and version: Qt's help option brings --help-all, which lists Qt's options.
  const QCommandLineOption help({"h", "help"}, "Shows this help and exits.");
  const QCommandLineOption version({"v", "version"}, "Shows the version and exits.");
  parser.addOption(help);
  parser.addOption(version);
  for (const char* name : kQtOptionsWithValue) {
    QCommandLineOption option(name, QString(), "value");
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const char* name : kQtFlags) {
    QCommandLineOption option(name);
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  const bool takesFile = !usage.fileHelp.empty();
  if (takesFile) parser.addPositionalArgument("FILE", QString::fromStdString(usage.fileHelp), "[FILE]");

  QStringList list{QString::fromStdString(usage.name)};
  for (const std::string& argument : arguments) list << QString::fromLocal8Bit(argument);
  // The usage line names the program as installed, whatever path started it.
  const QString helpText = [&] {
    QString text = parser.helpText();
    const int end = text.indexOf('\n');
    const QString rest = end < 0 ? QString() : text.mid(end);
    return "Usage: " + QString::fromStdString(usage.name) + " [options]" +
           (takesFile ? " [FILE]" : "") + rest;
  }();

  if (!parser.parse(list)) return Misuse(usage.name, parser.errorText(), helpText);
  TCommandLine line;
  if (parser.isSet(help)) {
    line.exitCode = 0;
    line.output = helpText.toStdString();
    return line;
  }
  if (parser.isSet(version)) {
    line.exitCode = 0;
    line.output = usage.name + " " + QUIZ_VERSION + "\n";
    return line;
  }
  const QStringList files = parser.positionalArguments();
  if (!takesFile && !files.isEmpty())
    return Misuse(usage.name, "Unexpected argument '" + files.front() + "'.", helpText);
  if (files.size() > 1) return Misuse(usage.name, "Only one file can be opened at a time.", helpText);
  if (files.size() == 1) line.file = files.front().toLocal8Bit().toStdString();
  return line;
}

TCommandLine ReadCommandLine(int argc, char** argv, const TProgramUsage& usage) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  TCommandLine line = ParseCommandLine(arguments, usage);
  if (!line.output.empty()) {
    std::FILE* stream = line.toStandardError ? stderr : stdout;
    std::fputs(line.output.c_str(), stream);
    std::fflush(stream);
  }
  return line;
}

void NameProgramForDesktop(const std::string& name, const std::string& desktopEntry) {
  QGuiApplication::setApplicationName(QString::fromStdString(name));
  QGuiApplication::setDesktopFileName(QString::fromStdString(desktopEntry));
}

}  // namespace platform
