#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/command_line.h"

namespace {

const platform::TProgramUsage kQuizloom{"quizloom", "Quizloom: write tests.", "A test file to open."};
const platform::TProgramUsage kQuizdesk{"quizdesk", "Quizdesk: take a test.", ""};

const std::string kQuizloomHelp =
    "Usage: quizloom [options] [FILE]\n"
    "Quizloom: write tests.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Shows this help and exits.\n"
    "  -v, --version  Shows the version and exits.\n"
    "\n"
    "Arguments:\n"
    "  FILE           A test file to open.\n";

struct Case {
  const char* name;
  const platform::TProgramUsage* usage;
  std::vector<std::string> arguments;
  std::optional<int> exitCode;
  bool toStandardError;
  std::string output;  // of an error only the start: the usage follows
  std::optional<std::string> file;
};

TEST(CommandLine, ArgumentsAndWhatTheProgramDoes) {
  const std::string version = std::string(QUIZ_VERSION);
  const std::vector<Case> cases = {
      {"nothing", &kQuizloom, {}, std::nullopt, false, "", std::nullopt},
      {"one file", &kQuizloom, {"samples/sample.tst"}, std::nullopt, false, "", "samples/sample.tst"},
      {"a file that looks like an option", &kQuizloom, {"--", "-x.tst"}, std::nullopt, false, "", "-x.tst"},
      {"a name with spaces and letters", &kQuizloom, {"Pr\xC3\xBC" "fung 1.tst"}, std::nullopt, false, "",
       "Pr\xC3\xBC" "fung 1.tst"},
      {"Qt's own options pass", &kQuizloom, {"-platform", "offscreen", "-reverse", "t.tst"}, std::nullopt,
       false, "", "t.tst"},
      // The help lists the options and the file but not Qt's own.
      {"help", &kQuizloom, {"--help"}, 0, false, kQuizloomHelp, std::nullopt},
      {"short help", &kQuizloom, {"-h"}, 0, false, kQuizloomHelp, std::nullopt},
      {"version", &kQuizloom, {"--version"}, 0, false, "quizloom " + version + "\n", std::nullopt},
      {"short version", &kQuizdesk, {"-v"}, 0, false, "quizdesk " + version + "\n", std::nullopt},
      {"help before a file", &kQuizloom, {"a.tst", "--help"}, 0, false, kQuizloomHelp, std::nullopt},
      {"Quizdesk's help", &kQuizdesk, {"--help"}, 0, false,
       "Usage: quizdesk [options]\nQuizdesk: take a test.\n\nOptions:\n"
       "  -h, --help     Shows this help and exits.\n  -v, --version  Shows the version and exits.\n",
       std::nullopt},
      {"two files", &kQuizloom, {"a", "b"}, 2, true,
       "quizloom: Only one file can be opened at a time.\n\nUsage: quizloom [options] [FILE]\n", std::nullopt},
      {"unknown option", &kQuizloom, {"--bogus"}, 2, true,
       "quizloom: Unknown option 'bogus'.\n\nUsage: quizloom [options] [FILE]\n", std::nullopt},
      {"unknown short option", &kQuizdesk, {"-x"}, 2, true,
       "quizdesk: Unknown option 'x'.\n\nUsage: quizdesk [options]\n", std::nullopt},
      {"an option without its value", &kQuizloom, {"-platform"}, 2, true,
       "quizloom: Missing value after '-platform'.\n\nUsage:", std::nullopt},
      {"Quizdesk takes no file", &kQuizdesk, {"test.tst"}, 2, true,
       "quizdesk: Unexpected argument 'test.tst'.\n\nUsage: quizdesk [options]\n", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const platform::TCommandLine line = platform::ParseCommandLine(c.arguments, *c.usage);
    EXPECT_EQ(line.exitCode, c.exitCode);
    EXPECT_EQ(line.toStandardError, c.toStandardError);
    if (c.exitCode == 2) {
      EXPECT_EQ(line.output.substr(0, c.output.size()), c.output);
      EXPECT_NE(line.output.find("\nOptions:\n"), std::string::npos) << line.output;
    } else {
      EXPECT_EQ(line.output, c.output);
    }
    EXPECT_EQ(line.file, c.file);
  }
}

}  // namespace
