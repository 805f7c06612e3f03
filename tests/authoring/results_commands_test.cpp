#include "authoring_fixture.h"
#include "core/results_codec.h"
#include "gradebook/store.h"

namespace quizloom {
namespace {

using testing_support::ScriptedUser;

// Ada Lovelace's results file of a three-question test, with answer as her first answer.
std::vector<uint8_t> AdaResults(const char* answer) {
  core::TInformation information;
  core::CopyField(information.firstName, 21, "Ada");
  core::CopyField(information.lastName, 21, "Lovelace");
  core::CopyField(information.course, 21, "Biology");
  core::CopyField(information.testFile, 80, "C:\\CELLS.TST");
  information.year = 1997, information.month = 3, information.day = 7;
  information.questionCount = 3;
  const int32_t marks[500] = {};
  for (int number = 1; number <= 3; ++number) {
    const bool right = number > 1 || std::string(answer) == "A1";
    information.correctCount += right;
    const std::string expected = "A" + std::to_string(number);
    information.responses.Add(std::make_unique<core::TResponse>(
        number, number == 1 ? answer : expected.c_str(), expected.c_str(), "Q", right ? 1 : 0,
        marks, marks, marks));
  }
  return core::EncodeResults(information);
}

class ResultsCommandsTest : public AuthoringTest {
 protected:
  ResultsCommandsTest() {
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder.filePath("data")));
    qputenv("QUIZDESK_DRIVE_A", QFile::encodeName(folder.filePath("stick")));
    QDir(folder.path()).mkdir("stick");
  }
  ~ResultsCommandsTest() override {
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("QUIZDESK_DRIVE_A");
  }
  void Put(const std::string& name, const std::vector<uint8_t>& bytes) {
    QFile file(QString::fromStdString(Path(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
  }
  // The messages shown, as "caption style: text".
  std::vector<std::string> Shown() {
    std::vector<std::string> shown;
    for (const auto& p : user.Messages())
      shown.push_back(p.caption + " " + std::to_string(p.style) + ": " + p.text);
    user.Forget();
    return shown;
  }
};

void ChooseA(platform::TDialog& d) { d.SetChecked(103, true); }

TEST_F(ResultsCommandsTest, CollectResultsDiskAfterDisk) {
  const std::string again = "Collect Results 36: Do you want to collect another set of results "
                            "from the same drive? If so put the next disk into the drive.";
  const auto replace = [](const std::string& earlier) {
    return "Collect Results 36: Replace the attempt of Ada Lovelace collected before "
           "(1997-03-07, " + earlier + ") with this one (1997-03-07, 2 of 3, 67 %)? No keeps both.";
  };
  const std::vector<uint8_t> none;
  struct Case {
    const char* what;
    std::vector<uint8_t> stick;  // empty: no file on the stick
    std::vector<int> answers;    // to the message boxes, in order
    std::vector<std::string> shown;
  } cases[] = {
      {"new", AdaResults("A1"), {platform::IDOK, platform::IDNO},
       {"Collect Results 64: Added: Ada Lovelace, Biology, 3 of 3.", again}},
      {"identical", AdaResults("A1"), {platform::IDOK, platform::IDNO},
       {"Collect Results 64: Already collected: Ada Lovelace, Biology, 3 of 3.", again}},
      {"retake kept", AdaResults("B"), {platform::IDNO, platform::IDOK, platform::IDNO},
       {replace("3 of 3, 100 %"), "Collect Results 64: Added: Ada Lovelace, Biology, 2 of 3.",
        again}},
      {"review replaces", AdaResults(""), {platform::IDYES, platform::IDOK, platform::IDNO},
       {replace("2 of 3, 67 %"),
        "Collect Results 64: Replaced: Ada Lovelace, Biology, 2 of 3.", again}},
      {"damaged", std::vector<uint8_t>(AdaResults("A1").size() - 1), {platform::IDOK, platform::IDNO},
       {"Collect Results 48: The results file A:\\results.qzr is damaged or is not a results "
        "file.", again}},
      {"no file", none, {platform::IDOK, platform::IDNO},
       {"Collect Results 48: There are no test results on the specified drive!!", again}},
  };
  for (const Case& c : cases) {
    QFile::remove(QString::fromStdString(Path("stick/results.qzr")));
    if (!c.stick.empty()) Put("stick/results.qzr", c.stick);
    user.AnswerDialog(1, ChooseA);
    for (int answer : c.answers) user.AnswerMessage(answer);
    window().Command(CM_COLLECT_RESULTS);
    EXPECT_EQ(Shown(), c.shown) << c.what;
  }
  std::string error;
  auto store = gradebook::TStore::Open(gradebook::TStore::DefaultPath(), error);
  ASSERT_TRUE(store) << error;
  ASSERT_EQ(store->Tests().value().size(), 1u);
  EXPECT_EQ(store->Tests().value()[0].attemptCount, 2);
}

TEST_F(ResultsCommandsTest, AddResultsFilesReportsEachRefusedFile) {
  Put("ada.qzr", AdaResults("A1"));
  Put("again.qzr", AdaResults("A1"));
  Put("retake.qzr", AdaResults("B"));
  Put("bad.qzr", {1, 2, 3});
  GiveQuestions(2);  // another test is open
  const QString before = QDir::currentPath();
  user.ChooseFiles({Path("ada.qzr"), Path("again.qzr"), Path("bad.qzr"), Path("retake.qzr"),
                    Path("gone.qzr")});
  user.AnswerMessage(platform::IDYES).AnswerMessage();
  window().Command(CM_ADD_RESULTS_FILES);
  ASSERT_FALSE(user.prompts().empty());
  EXPECT_EQ(user.prompts()[0].fileData.flags & 0x0208u, 0x0208u);
  EXPECT_EQ(QDir::currentPath(), before);
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         "Add Results Files 36: Replace the attempt of Ada Lovelace collected "
                         "before (1997-03-07, 3 of 3, 100 %) with this one (1997-03-07, 2 of 3, "
                         "67 %)? No keeps both.",
                         "Add Results Files 48: Added: 1, of which 1 to CELLS.TST. Replaced: 1. "
                         "Already collected: 1. "
                         "Refused: 2.\nThe results file bad.qzr is damaged or is not a results "
                         "file.\nThe results file gone.qzr cannot be read."}));
}

// Handing in needs a test open and the school's server; the command says so plainly.
TEST_F(ResultsCommandsTest, OpenHandInNeedsTheOpenTestAndTheSchoolServer) {
  user.AnswerMessage().AnswerMessage();
  window().Command(CM_OPEN_HAND_IN);
  GiveQuestions(2);
  window().Command(CM_OPEN_HAND_IN);
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         "Open Hand-In 64: Open the test the class is taking first: hand-in "
                         "opens for the open test.",
                         "Open Hand-In 48: Handing in over the network needs the gradebook on "
                         "the school's server; this computer's gradebook cannot take hand-ins. "
                         "Choose School server in Results, Gradebook Location, or collect the "
                         "results from the students' drives."}));
}

}  // namespace
}  // namespace quizloom
