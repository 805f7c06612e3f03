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
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(("[HandIn]\n" + lines).toUtf8());
    file.close();
    ::chmod(QFile::encodeName(file.fileName()).constData(), mode);
  }
  QString Results() const { return folder.path() + "/results.qzr"; }
  // A test of one question, started; its answer opens the drive dialog.
  void StartOneQuestion() {
    core::TList<core::TQuestion> questions;
    questions.Add(MakeQuestion("Question", "A"));
    StartTest(WriteTest("one.tst", questions));
  }
  static void ChooseSchool(platform::TDialog& d) { d.SetChecked(106, true); }
};

TEST_F(HandInTest, SchoolIsOfferedOnlyWhenStoringOnAComputerSetUpForIt) {
  const struct {
    const char* name;
    QString lines;  // empty: no quizdesk.conf
    mode_t mode;
    bool printing;
    const char* dialog;
  } cases[] = {
      {"no file", "", 0644, false, "DRIVEDLG"},
      {"set up", "host=127.0.0.1\nuser=quizdesk\n", 0644, false, "SCHOOLDRIVEDLG"},
      {"no login", "host=127.0.0.1\n", 0644, false, "DRIVEDLG"},
      {"anyone may change it", "user=quizdesk\n", 0666, false, "DRIVEDLG"},
      {"the group may change it", "user=quizdesk\n", 0664, false, "DRIVEDLG"},
      {"print results", "user=quizdesk\n", 0644, true, "DRIVEDLG"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app = std::make_unique<TMyApp>(false);
    QFile::remove(folder.path() + "/quizdesk.conf");
    if (!c.lines.isEmpty()) Configure(c.lines, c.mode);
    if (!c.printing) StartOneQuestion();
    user.Forget();
    user.AnswerDialog(2);
    if (c.printing) {
      window().Command(CM_PRINT_RESULTS);
    } else {
      Type("A");
      Enter();
    }
    const auto& shown = user.prompts().back();
    EXPECT_EQ(shown.text, c.dialog);
    EXPECT_EQ(shown.caption, "Storage Drive");
  }
}

// A server that is not there, and one that takes the connection but never answers: the
// student hears why, and the same bytes go to the drive chosen next, without School.
TEST_F(HandInTest, AFailedHandInFallsBackToTheDrives) {
  QTcpServer closed, silent;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const quint16 closedPort = closed.serverPort();
  closed.close();
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
  const struct {
    const char* name;
    quint16 port;
  } servers[] = {{"no server", closedPort}, {"a silent server", silent.serverPort()}};
  for (const auto& server : servers) {
    SCOPED_TRACE(server.name);
    app = std::make_unique<TMyApp>(false);
    QFile::remove(Results());
    Configure(QString("host=127.0.0.1\nport=%1\nuser=quizdesk\npassword=pupil\n"
                      "options=connect_timeout=2\n").arg(server.port));
    StartOneQuestion();
    user.Forget();
    user.AnswerDialog(1, ChooseSchool);
    user.AnswerDialog(1, [](platform::TDialog& d) { d.SetControlText(102, " k7m pq4"); });
    user.AnswerMessage();
    user.AnswerDialog(1);
    Type("A");
    Enter();
    const auto& prompts = user.prompts();
    ASSERT_EQ(prompts.size(), 4u);
    EXPECT_EQ(prompts[0].text, "SCHOOLDRIVEDLG");
    EXPECT_EQ(prompts[1].text, "HANDINDLG");
    EXPECT_EQ(prompts[2].text,
              "Your answers could not be handed in (the school server did not answer). Choose a "
              "drive to store them.");
    EXPECT_EQ(prompts[2].style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(prompts[3].text, "DRIVEDLG");
    EXPECT_EQ(ReadBytes(Results()), core::EncodeResults(*window().information));
    // The code stays: a review tries the school again without asking for it.
    EXPECT_EQ(window().handInCode, "K7MPQ4");
  }
}

}  // namespace
}  // namespace quizdesk
