#include "taking/results_file.h"

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

#include "core/results_codec.h"
#include "platform/system.h"
#include "taking_fixture.h"

namespace quizdesk {
namespace {

using testing_support::Prompt;

class ResultsFileTest : public TakingTest {
 protected:
  // A test of n questions all expecting "A"; the first `right` answers are right.
  // A message is expected right after the drive dialog when failing is set.
  void TakeTest(int n, int right, std::function<void(platform::TDialog&)> drive = {},
                bool failing = false) {
    core::TList<core::TQuestion> questions;
    for (int i = 1; i <= n; ++i) questions.Add(MakeQuestion("Question " + std::to_string(i), "A"));
    StartTest(WriteTest("test.tst", questions));
    user.AnswerDialog(1, std::move(drive));
    if (failing) user.AnswerMessage();
    for (int i = 0; i < n; ++i) {
      Type(i < right ? "A" : "B");
      Enter();
    }
    ASSERT_EQ(window().testTaken, 1);
  }
  QString Results() const { return folder.path() + "/results.qzr"; }
  static void ChooseA(platform::TDialog& d) { d.SetChecked(103, true); }
};

TEST_F(ResultsFileTest, SizeIsTheHeaderAndOneRecordPerQuestion) {
  for (int n : {1, 3, 10}) {
    SCOPED_TRACE(n);
    app = std::make_unique<TMyApp>(false);
    TakeTest(n, 0);
    EXPECT_EQ(ReadBytes(Results()).size(), 199u + 3018u * static_cast<unsigned>(n));
  }
}

TEST_F(ResultsFileTest, HeaderIntegersOfTheSeventhOfMarch1997) {
  user.AnswerDialog(1, [](platform::TDialog& d) {
    d.SetControlText(101, "Ann");
    d.SetControlText(102, "Lee");
    d.SetControlText(103, "Biology");
    d.SetControlText(104, "3");
    d.SetControlText(105, "Smith");
  });
  core::TList<core::TQuestion> questions;
  for (int i = 1; i <= 10; ++i) questions.Add(MakeQuestion("Question " + std::to_string(i), "A"));
  const std::string path = WriteTest("ten.tst", questions);
  user.ChooseFile(path);
  window().Command(CM_START);
  user.AnswerDialog(1);
  for (int i = 0; i < 10; ++i) {
    Type(i < 8 ? "A" : "a");
    Enter();
  }
  const auto bytes = ReadBytes(Results());
  ASSERT_EQ(bytes.size(), 199u + 10u * 3018u);
  const struct {
    std::size_t offset, size;
    std::string text;
  } fields[] = {{0, 21, "Ann"}, {21, 21, "Lee"}, {42, 21, "Biology"}, {63, 6, "3"}, {69, 26, "Smith"},
                {95, 80, path}};
  for (const auto& field : fields) {
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[field.offset])), field.text);
    for (std::size_t i = field.offset + field.text.size(); i < field.offset + field.size; ++i)
      ASSERT_EQ(bytes[i], 0) << i;
  }
  const int32_t integers[] = {1997, 3, 7, 8, 10, 10};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(IntAt(bytes, 175 + 4 * i), integers[i]) << i;
}

TEST_F(ResultsFileTest, EveryRecordHoldsTheAnsweredQuestion) {
  StartTest(WriteThreeQuestions());
  user.AnswerDialog(1);
  Type("4");
  Enter();
  Type("H2O");
  editor().EvKeyDown(platform::VK_LEFT);
  editor().EvKeyDown(platform::VK_LEFT);
  window().Command(607);
  Enter();
  Type("Paris ");
  Enter();
  const auto bytes = ReadBytes(Results());
  ASSERT_EQ(bytes.size(), 199u + 3u * 3018u);
  EXPECT_EQ(IntAt(bytes, 187), 2);
  EXPECT_EQ(IntAt(bytes, 191), 3);
  EXPECT_EQ(IntAt(bytes, 195), 3);
  const struct {
    int number, correct;
    const char *given, *expected, *question;
    int givenMarkOfTwo, expectedMarkOfTwo;
  } records[] = {{3, 1, "4", "4", "Two and two?", 0, 0},
                 {2, 1, "H2O", "H2O", "Water?", 2, 2},
                 {1, 0, "Paris ", "Paris", "Capital of France?", 0, 0}};
  for (int r = 0; r < 3; ++r) {
    SCOPED_TRACE(r);
    const std::size_t at = 199 + 3018 * static_cast<std::size_t>(r);
    const auto text = [&](std::size_t offset) { return std::string(reinterpret_cast<const char*>(&bytes[at + offset])); };
    EXPECT_EQ(IntAt(bytes, at), records[r].number);
    EXPECT_EQ(IntAt(bytes, at + 4), records[r].correct);
    EXPECT_EQ(text(8), records[r].given);
    EXPECT_EQ(text(59), records[r].expected);
    EXPECT_EQ(text(110), records[r].question);
    for (int k = 0; k < 500; ++k) ASSERT_EQ(IntAt(bytes, at + 610 + 4 * k), 0) << k;
    for (int k = 0; k < 51; ++k) {
      EXPECT_EQ(IntAt(bytes, at + 2610 + 8 * k), k == 1 ? records[r].givenMarkOfTwo : 0) << k;
      EXPECT_EQ(IntAt(bytes, at + 2614 + 8 * k), k == 1 ? records[r].expectedMarkOfTwo : 0) << k;
    }
  }
}

TEST_F(ResultsFileTest, TwoStoresToTheSameDriveLeaveOnlyTheSecond) {
  const QString driveA = folder.path() + "/floppy";
  ASSERT_TRUE(QDir().mkpath(driveA));
  qputenv("QUIZDESK_DRIVE_A", driveA.toUtf8());
  TakeTest(2, 0, ChooseA);
  EXPECT_FALSE(QFile::exists(Results()));
  EXPECT_EQ(IntAt(ReadBytes(driveA + "/results.qzr"), 187), 0);
  window().Command(CM_CHECK_ANSWERS);
  for (int i = 0; i < 2; ++i) {
    editor().EvKeyDown(platform::VK_END);
    editor().EvChar(8);
    Type("A");
    if (i == 1) user.AnswerDialog(1, ChooseA);
    Enter();
  }
  const auto bytes = ReadBytes(driveA + "/results.qzr");
  ASSERT_EQ(bytes.size(), 199u + 2u * 3018u);
  EXPECT_EQ(IntAt(bytes, 187), 2);
  EXPECT_EQ(IntAt(bytes, 199 + 4), 1);
  EXPECT_EQ(QDir(driveA).entryList(QDir::Files | QDir::Hidden), QStringList{"results.qzr"});
}

TEST_F(ResultsFileTest, EscapeInTheDriveDialogWritesNothingAndSaysNothing) {
  core::TList<core::TQuestion> questions;
  questions.Add(MakeQuestion("Question", "A"));
  StartTest(WriteTest("one.tst", questions));
  user.Forget();
  user.AnswerDialog(2);
  Type("A");
  Enter();
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].text, "DRIVEDLG");
  EXPECT_FALSE(QFile::exists(Results()));
  EXPECT_EQ(window().testTaken, 1);
  // The attempt is still there for a review to store.
  window().Command(CM_CHECK_ANSWERS);
  user.AnswerDialog(1);
  Enter();
  EXPECT_EQ(ReadBytes(Results()).size(), 199u + 3018u);
}

TEST_F(ResultsFileTest, PlacesThatCannotBeWrittenGiveFileCannotBeFound) {
  const QString notAFolder = folder.path() + "/plain-file";
  QFile plain(notAFolder);
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  const QString readOnly = folder.path() + "/read-only";
  ASSERT_TRUE(QDir().mkpath(readOnly));
  QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  // The superuser writes into a read-only folder; the check then rests on the other cases.
  const bool modesHold = !QFileInfo(readOnly).isWritable() || ::geteuid() != 0;
  const struct {
    const char* name;
    QString driveA;  // empty: no volume at all
    bool run;
  } places[] = {
      {"read-only folder", readOnly, modesHold},
      {"a file where the folder should be", notAFolder, true},
      {"a folder that is not there", folder.path() + "/no-such-drive", true},
      {"no volume in the drive", QString(), !platform::MapDrivePath("A:\\results.qzr").has_value()},
  };
  for (const auto& place : places) {
    if (!place.run) continue;
    SCOPED_TRACE(place.name);
    app = std::make_unique<TMyApp>(false);
    if (place.driveA.isEmpty())
      qunsetenv("QUIZDESK_DRIVE_A");
    else
      qputenv("QUIZDESK_DRIVE_A", place.driveA.toUtf8());
    user.Forget();
    TakeTest(1, 1, ChooseA, true);
    const auto messages = user.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "File cannot be found!");
    EXPECT_EQ(messages[0].caption, "Warning");
    EXPECT_EQ(messages[0].style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(window().information->responses.Count(), 1);
  }
  EXPECT_TRUE(QDir(readOnly).entryList(QDir::Files | QDir::Hidden).isEmpty());
  QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A write cut short after the file was created (a full disk) was taken for a whole one by the
// buffered save file, which then committed the cut file over the first pass's good one.
TEST_F(ResultsFileTest, AShortWriteIsReportedAndNotCommittedOverTheEarlierFile) {
  TakeTest(3, 3);
  const auto first = ReadBytes(Results());
  ASSERT_EQ(first.size(), 199u + 3u * 3018u);

  // A file size limit makes the write fail as a full disk would.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  window().Command(CM_CHECK_ANSWERS);
  editor().EvKeyDown(platform::VK_END);
  editor().EvChar(8);
  Type("B");
  Enter();
  Enter();
  user.AnswerDialog(1);
  user.AnswerMessage();
  Enter();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, SIG_DFL);

  const auto messages = user.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text,
            "The results could not be written completely (the disk may be full or removed). "
            "They are kept: choose Check Answers to store them again.");
  EXPECT_EQ(messages[0].caption, "Warning");
  EXPECT_EQ(ReadBytes(Results()), first);
  EXPECT_EQ(QDir(folder.path()).entryList({"results.qzr*"}, QDir::Files | QDir::Hidden),
            QStringList{"results.qzr"});
  EXPECT_EQ(window().information->correctCount, 2);
}

TEST_F(ResultsFileTest, TheReaderGetsBackWhatWasStored) {
  TakeTest(3, 2);
  core::TInformation read;
  ASSERT_TRUE(ReadResults("results.qzr", read, &window()));
  EXPECT_EQ(core::EncodeResults(read), core::EncodeResults(*window().information));
  EXPECT_TRUE(ResultsFileExists("results.qzr"));
  EXPECT_TRUE(ResultsFileExists("C:\\results.qzr"));
  const QString emptyDrive = folder.path() + "/empty-floppy";
  ASSERT_TRUE(QDir().mkpath(emptyDrive + "/results.qzr"));
  qputenv("QUIZDESK_DRIVE_A", emptyDrive.toUtf8());
  EXPECT_FALSE(ResultsFileExists("A:\\results.qzr"));  // a folder is not an ordinary file
}

TEST_F(ResultsFileTest, TheReaderRefusesMissingShortAndDamagedFiles) {
  TakeTest(2, 2);
  const auto good = ReadBytes(Results());
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;  // empty with exists false: no file
    bool exists;
    const char* message;
  } cases[] = {
      {"missing", {}, false, "File cannot be found!"},
      {"empty", {}, true, "The results file is damaged or is not a results file."},
      {"half a header", {good.begin(), good.begin() + 100}, true,
       "The results file is damaged or is not a results file."},
      {"one record short", {good.begin(), good.end() - 3018}, true,
       "The results file is damaged or is not a results file."},
      {"one byte short", {good.begin(), good.end() - 1}, true,
       "The results file is damaged or is not a results file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(Results());
    if (c.exists) {
      QFile file(Results());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<qint64>(c.bytes.size()));
    }
    EXPECT_EQ(ResultsFileExists("results.qzr"), c.exists);
    core::TInformation read;
    std::strcpy(read.firstName, "unchanged");
    user.Forget();
    user.AnswerMessage();
    EXPECT_FALSE(ReadResults("results.qzr", read, &window()));
    ASSERT_EQ(user.Messages().size(), 1u);
    EXPECT_EQ(user.Messages()[0].text, c.message);
    EXPECT_EQ(user.Messages()[0].owner, &window());
    EXPECT_STREQ(read.firstName, "unchanged");
    EXPECT_TRUE(read.responses.IsEmpty());
  }
}

}  // namespace
}  // namespace quizdesk
