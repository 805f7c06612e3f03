#include <sys/stat.h>

#include <QTcpServer>

#include "core/results_codec.h"
#include "taking_fixture.h"

namespace quizdesk {
namespace {

class HandInTest : public TakingTest {
 protected:
  // quizdesk.conf, where the fixture points Quizdesk, with these lines under [HandIn].
  void Configure(const QString& lines, mode_t mode = 0644) {
    QFile file(folder.path() + "/quizdesk.conf");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("[HandIn]\n" + lines).toUtf8());
    file.close();
    ::chmod(QFile::encodeName(file.fileName()).constData(), mode);
  }
  // A new window, where the answer to a test of one question opens the drive dialog.
  void StartOneQuestion(bool start = true) {
    app = std::make_unique<TMyApp>(false);
    core::TList<core::TQuestion> questions;
    questions.Add(MakeQuestion("Question", "A"));
    if (start) StartTest(WriteTest("one.tst", questions));
    user.Forget();
  }
};

TEST_F(HandInTest, SchoolIsOfferedOnlyWhenStoringOnAComputerSetUpForIt) {
  const struct {
    QString lines;  // empty: no quizdesk.conf
    mode_t mode;
    bool printing;
    const char* dialog;
  } cases[] = {{"", 0644, false, "DRIVEDLG"},
               {"host=127.0.0.1\nuser=quizdesk\n", 0644, false, "SCHOOLDRIVEDLG"},
               {"host=127.0.0.1\n", 0644, false, "DRIVEDLG"},  // no login
               {"user=quizdesk\n", 0666, false, "DRIVEDLG"},   // anyone may change it
               {"user=quizdesk\n", 0664, false, "DRIVEDLG"},   // the group may change it
               {"user=quizdesk\n", 0644, true, "DRIVEDLG"}};   // Print Results
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.toStdString() + (c.printing ? " printing" : ""));
    QFile::remove(folder.path() + "/quizdesk.conf");
    if (!c.lines.isEmpty()) Configure(c.lines, c.mode);
    StartOneQuestion(!c.printing);
    user.AnswerDialog(2);
    if (c.printing) window().Command(CM_PRINT_RESULTS);
    if (!c.printing) { Type("A"); Enter(); }
    EXPECT_EQ(user.prompts().back().text, c.dialog);
  }
}

// A server that is not there, and one that takes the connection but never answers: the
// student hears why, and the same bytes go to the drive chosen next, without School.
TEST_F(HandInTest, AFailedHandInFallsBackToTheDrives) {
  QTcpServer closed, silent;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost) && silent.listen(QHostAddress::LocalHost));
  const quint16 closedPort = closed.serverPort();
  closed.close();
  for (const quint16 port : {closedPort, silent.serverPort()}) {
    SCOPED_TRACE(port == closedPort ? "no server" : "a silent server");
    Configure(QString("host=127.0.0.1\nport=%1\nuser=quizdesk\npassword=pupil\n"
                      "options=connect_timeout=2\n").arg(port));
    QFile::remove(folder.path() + "/results.qzr");
    StartOneQuestion();
    user.AnswerDialog(1, [](platform::TDialog& d) { d.SetChecked(106, true); });
    user.AnswerDialog(1, [](platform::TDialog& d) { d.SetControlText(102, " k7m pq4"); });
    user.AnswerMessage().AnswerDialog(1);
    Type("A"), Enter();
    std::vector<std::string> shown;
    for (const auto& prompt : user.prompts()) shown.push_back(prompt.text + prompt.caption);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "SCHOOLDRIVEDLGStorage Drive", "HANDINDLGHand In",
                         "Your answers could not be handed in (the school server did not answer). "
                         "Choose a drive to store them.Warning",
                         "DRIVEDLGStorage Drive"}));
    EXPECT_EQ(user.prompts()[2].style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(ReadBytes(folder.path() + "/results.qzr"),
              core::EncodeResults(*window().information));
    // Kept, cleaned: a review tries the school again without asking.
    EXPECT_EQ(window().handInCode, "K7MPQ4");
  }
}

}  // namespace
}  // namespace quizdesk
