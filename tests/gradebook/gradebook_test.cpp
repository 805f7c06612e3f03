#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

#include "core/results_codec.h"
#include "gradebook/store.h"

namespace gradebook {
namespace {

// Ada Lovelace's attempt at a three-question test; given[i] is her answer to question i + 1,
// asked in the order 2, 3, 1. A raised letter makes "x2" of question 3 differ from plain text.
std::unique_ptr<core::TInformation> Attempt(const char* first, std::array<const char*, 3> given,
                                            int day = 7) {
  auto information = std::make_unique<core::TInformation>();
  core::CopyField(information->firstName, 21, first);
  core::CopyField(information->lastName, 21, "Lovelace");
  core::CopyField(information->course, 21, "Biology");
  core::CopyField(information->period, 6, "3");
  core::CopyField(information->instructor, 26, "Smith");
  core::CopyField(information->testFile, 80, "C:\\TESTS\\CELLS.TST");
  information->year = 1997, information->month = 3, information->day = day;
  information->questionCount = 3;
  const char* answers[] = {"H2O", "cell", "x2"};
  for (int number : {2, 3, 1}) {
    int32_t questionMarks[500] = {}, expectedMarks[51] = {}, givenMarks[51] = {};
    if (number == 3) expectedMarks[1] = givenMarks[1] = core::kSuperscript;
    const std::string question = "Question " + std::to_string(number) + "\r\nsecond line";
    const bool right = std::string(given[number - 1]) == answers[number - 1];
    information->correctCount += right;
    information->responses.Add(std::make_unique<core::TResponse>(
        number, given[number - 1], answers[number - 1], question.c_str(), right ? 1 : 0,
        givenMarks, expectedMarks, questionMarks));
  }
  return information;
}

core::TOpenTest OpenTest(int32_t markOfX) {
  core::TOpenTest test;
  const char* answers[] = {"H2O", "cell", "x2"};
  for (int number = 1; number <= 3; ++number) {
    auto question = std::make_unique<core::TQuestion>();
    for (char c : "Question " + std::to_string(number) + "\r\nsecond line")
      question->text.emplace_back(static_cast<unsigned char>(c), core::kNormal);
    for (const char* c = answers[number - 1]; *c; ++c)
      question->answer.emplace_back(static_cast<unsigned char>(*c), core::kNormal);
    if (number == 3) question->answer[1].mark = markOfX;
    test.questions.Add(std::move(question));
  }
  return test;
}

// The server's teachers, as gradebook_server_e2e.sh makes them from the help's commands; the
// last is a head of department.
constexpr const char* kTeachers[] = {"ateacher", "bteacher", "hhead"};
constexpr char kPassword[] = "classroom";

// Runs SQL on the test server as its administrator.
void AsAdministrator(const std::string& sql) {
  const std::string command =
      "runuser -u postgres -- psql -q -v ON_ERROR_STOP=1 -d quizloom -c \"" + sql + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << sql;
}

void ServerControl(const char* action) {
  const std::string command =
      "runuser -u postgres -- /usr/lib/postgresql/15/bin/pg_ctl -w -m fast -l " +
      qEnvironmentVariable("PGHOST").toStdString() + "/server.log " + action;
  ASSERT_EQ(std::system(command.c_str()), 0) << action;
}

// Each case runs on this computer's file and on the test server alike; the server's cases are
// skipped unless gradebook_server_e2e.sh started one (PGHOST).
class GradebookTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam() && qEnvironmentVariableIsEmpty("PGHOST"))
      GTEST_SKIP() << "no test server; gradebook_server_e2e runs these";
    if (GetParam()) AsAdministrator("TRUNCATE tests, test_questions, attempts, responses");
  }
  std::unique_ptr<TStore> OpenStore(const char* teacher = kTeachers[0]) {
    std::string error;
    bool needsPassword = false;
    auto store = GetParam() ? TStore::OpenServer(Server(teacher), kPassword, error, needsPassword)
                            : TStore::Open(path, error);
    EXPECT_TRUE(store) << error;
    return store;
  }
  static TLocation Server(const char* teacher) {
    return {true, "", qEnvironmentVariable("PGHOST").toStdString(), "", "quizloom", teacher, ""};
  }
  QTemporaryDir folder;
  std::string path = folder.filePath("data/gradebook.sqlite").toStdString();
};

INSTANTIATE_TEST_SUITE_P(Engines, GradebookTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Server" : "ThisComputer"; });

TEST_P(GradebookTest, CollectIdenticalReplaceKeepBothDamagedAndDelete) {
  auto store = OpenStore();
  ASSERT_TRUE(store);
  struct stat info{};
  if (!GetParam()) {
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
  }

  auto damaged = Attempt("Ada", {"H2O", "cell", "x2"});
  damaged->responses[2].number = 2;  // question 2 twice, question 1 never
  auto forgedCount = Attempt("Ada", {"water", "", "x2"});
  forgedCount->correctCount = 3;  // its verdicts give 1
  auto forgedVerdict = Attempt("Ada", {"water", "", "x2"});
  forgedVerdict->responses[2].correct = 1;  // "water" judged right, and counted
  forgedVerdict->correctCount = 2;
  struct Case {
    const char* what;
    std::unique_ptr<core::TInformation> attempt;
    int replaceAnswer;  // -1: the question must not be asked
    TStore::Outcome outcome;
    int attempts;
  } cases[] = {
      {"first", Attempt("Ada", {"H2O", "cell", "x2"}), -1, TStore::Outcome::Added, 1},
      {"identical", Attempt("Ada", {"H2O", "cell", "x2"}), -1,
       TStore::Outcome::AlreadyCollected, 1},
      {"retake kept", Attempt("Ada", {"H2O", "", "x2"}), 0, TStore::Outcome::Added, 2},
      {"review replaced", Attempt("Ada", {"water", "", "x2"}), 1, TStore::Outcome::Replaced, 2},
      {"other day", Attempt("Ada", {"water", "", "x2"}, 8), -1, TStore::Outcome::Added, 3},
      {"other student", Attempt("Bea", {"H2O", "cell", "x2"}), -1, TStore::Outcome::Added, 4},
      {"damaged", std::move(damaged), -1, TStore::Outcome::Damaged, 4},
      {"forged count", std::move(forgedCount), -1, TStore::Outcome::Damaged, 4},
      {"forged verdict", std::move(forgedVerdict), -1, TStore::Outcome::Damaged, 4},
  };
  for (Case& c : cases) {
    int asked = 0;
    const auto answer = [&](const core::TInformation& earlier) {
      ++asked;
      EXPECT_STREQ(earlier.firstName, "Ada") << c.what;
      EXPECT_EQ(earlier.responses.Count(), 3) << c.what;
      return c.replaceAnswer == 1;
    };
    EXPECT_EQ(store->Collect(*c.attempt, answer), c.outcome) << c.what << store->LastError();
    EXPECT_EQ(asked, c.replaceAnswer < 0 ? 0 : 1) << c.what;
    const auto tests = store->Tests();
    ASSERT_EQ(tests.size(), 1u) << c.what;
    EXPECT_EQ(tests[0].fileName, "CELLS.TST");
    EXPECT_EQ(tests[0].questionCount, 3);
    EXPECT_EQ(tests[0].attemptCount, c.attempts) << c.what;
  }

  // Every stored field comes back: the results file written from it has the same bytes.
  const auto id = store->FindTest(OpenTest(core::kSuperscript));
  ASSERT_TRUE(id);
  EXPECT_FALSE(store->FindTest(OpenTest(core::kNormal)));
  auto attempts = store->Attempts(*id);
  ASSERT_EQ(attempts.size(), 4u);
  // The retake that was kept is the one the review replaced.
  EXPECT_EQ(core::EncodeResults(*attempts[0].information),
            core::EncodeResults(*Attempt("Ada", {"H2O", "cell", "x2"})));
  EXPECT_EQ(core::EncodeResults(*attempts[1].information),
            core::EncodeResults(*Attempt("Ada", {"water", "", "x2"})));
  EXPECT_TRUE(store->DeleteAttempt(attempts[0].id));
  EXPECT_EQ(store->Attempts(*id).size(), 3u);
}

// A gradebook that cannot be written (here its folder and file, for another account: root
// may write anything) is shown as it is, without WAL files, and refuses collecting.
TEST_P(GradebookTest, ReadOnlyGradebookIsShownNotCollectedInto) {
  if (GetParam()) GTEST_SKIP() << "this computer's file";
  ASSERT_EQ(OpenStore()->Collect(*Attempt("Ada", {"H2O", "cell", "x2"}), {}),
            TStore::Outcome::Added);
  const QString data = QFileInfo(QString::fromStdString(path)).absolutePath();
  ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
  ASSERT_EQ(chmod(QFile::encodeName(data).constData(), 0555), 0);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && setuid(65534) != 0) _exit(1);
    std::string error;
    auto store = TStore::Open(path, error);
    const bool shown = store && store->ReadOnlyReason().find("cannot be written") !=
                                    std::string::npos &&
                       store->Attempts(store->Tests().at(0).id).size() == 1;
    const bool refused =
        shown && store->Collect(*Attempt("Bea", {"H2O", "cell", "x2"}), {}) ==
                     TStore::Outcome::Failed &&
        store->LastError() == store->ReadOnlyReason();
    _exit(!store ? 2 : !shown ? 3 : !refused ? 4 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  chmod(QFile::encodeName(data).constData(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(QDir(data).entryList(QDir::Files), QStringList{"gradebook.sqlite"});
}

// Killed inside a collection's transaction, after the attempt's row and before its
// responses: the gradebook opens again and holds whole attempts only.
TEST_P(GradebookTest, KilledInsideTransactionLeavesWholeAttemptsOnly) {
  OpenStore()->Collect(*Attempt("Ada", {"H2O", "cell", "x2"}), {});
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TStore::SetAfterAttemptRowForTests([] { raise(SIGKILL); });
    if (auto store = OpenStore())
      store->Collect(*Attempt("Bea", {"H2O", "cell", "x2"}), {});
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  auto store = OpenStore();
  ASSERT_TRUE(store);
  const auto attempts = store->Attempts(store->Tests().at(0).id);
  ASSERT_EQ(attempts.size(), 1u);
  EXPECT_EQ(attempts[0].information->responses.Count(), 3);
  EXPECT_EQ(store->Collect(*Attempt("Bea", {"H2O", "cell", "x2"}), {}), TStore::Outcome::Added);
}

}  // namespace
}  // namespace gradebook

namespace gradebook {
namespace {

std::unique_ptr<core::TInformation> Student(int number) {
  return Attempt(("S" + std::to_string(number)).c_str(), {"H2O", "cell", "x2"});
}

// Two Quizloom processes of one teacher collect the same folder at once: each attempt is
// stored once. On the server the other teacher sees none of them and keeps their own copy,
// and the head sees all.
TEST_P(GradebookTest, TwoProcessesOfOneTeacherStoreEachAttemptOnce) {
  OpenStore();
  pid_t children[2];
  for (pid_t& child : children) {
    child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int added = 0;
      if (auto store = OpenStore())
        for (int i = 0; i < 20; ++i)
          added += store->Collect(*Student(i), {}) == TStore::Outcome::Added;
      _exit(added);
    }
  }
  int added = 0;
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    added += WEXITSTATUS(status);
  }
  EXPECT_EQ(added, 20);
  auto store = OpenStore();
  ASSERT_EQ(store->Tests().size(), 1u);
  EXPECT_EQ(store->Attempts(store->Tests()[0].id).size(), 20u);
  if (!GetParam()) return;
  const struct {
    const char* teacher;
    std::size_t seen;
  } views[] = {{kTeachers[1], 0}, {kTeachers[2], 20}};
  for (const auto& view : views) {
    auto other = OpenStore(view.teacher);
    EXPECT_EQ(other->Attempts(store->Tests()[0].id).size(), view.seen) << view.teacher;
  }
  EXPECT_EQ(OpenStore(kTeachers[1])->Collect(*Student(0), {}), TStore::Outcome::Added);
  EXPECT_EQ(OpenStore(kTeachers[2])->Tests().at(0).attemptCount, 21);
}

// The server stops in the middle of a collection: the loop learns it, what was stored stays,
// and collecting everything again after a restart stores the rest once.
TEST_P(GradebookTest, ServerStoppingMidCollectionLosesNothing) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  auto store = OpenStore();
  for (int i = 0; i < 3; ++i) ASSERT_EQ(store->Collect(*Student(i), {}), TStore::Outcome::Added);
  ServerControl("stop");
  EXPECT_EQ(store->Collect(*Student(3), {}), TStore::Outcome::Failed);
  EXPECT_TRUE(store->ConnectionLost());
  EXPECT_EQ(store->LastError(),
            "The gradebook server stopped answering. The files collected before are stored; "
            "collect the others again when the server is back: the disks still hold them.");
  ServerControl("start");
  store = OpenStore();
  int added = 0;
  for (int i = 0; i < 6; ++i) added += store->Collect(*Student(i), {}) == TStore::Outcome::Added;
  EXPECT_EQ(added, 3);
  EXPECT_EQ(store->Tests().at(0).attemptCount, 6);
}

// Passwords, the tables' version, and copying this computer's gradebook over.
TEST_P(GradebookTest, ServerPasswordVersionsAndCopy) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  const struct {
    const char* password;
    const char* before;  // run as administrator before opening; undone after
    const char* after;
    bool opens, needsPassword, writes;
    const char* error;
  } cases[] = {
      {"", "", "", false, true, false, "asks for a password."},
      {"wrong", "", "", false, true, false, "password authentication failed"},
      {kPassword, "DELETE FROM schema_version WHERE version = 2",
       "INSERT INTO schema_version VALUES (2)", false, false, false,
       "its gradebook tables are version 1, and this Quizloom needs version 2. Nothing was "
       "written. The school's database administrator must update them"},
      {kPassword, "INSERT INTO schema_version VALUES (3)",
       "DELETE FROM schema_version WHERE version = 3", true, false, false,
       "was updated for a newer Quizloom (version 3; this one knows 2)."},
      {kPassword, "", "", true, false, true, ""},
  };
  for (const auto& c : cases) {
    if (*c.before) AsAdministrator(c.before);
    std::string error;
    bool needsPassword = false;
    auto store = TStore::OpenServer(Server(kTeachers[0]), c.password, error, needsPassword);
    if (*c.after) AsAdministrator(c.after);
    EXPECT_EQ(bool(store), c.opens) << c.error;
    EXPECT_EQ(needsPassword, c.needsPassword) << c.error;
    if (!store) {
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
      continue;
    }
    EXPECT_EQ(store->ServerVersion().substr(0, 3), "15.");
    EXPECT_EQ(store->Collect(*Student(9), {}) != TStore::Outcome::Failed, c.writes);
    EXPECT_NE(store->LastError().find(c.error), std::string::npos) << store->LastError();
  }

  std::string error;
  auto local = TStore::Open(path, error);
  for (int i = 8; i < 11; ++i) ASSERT_EQ(local->Collect(*Student(i), {}), TStore::Outcome::Added);
  auto server = OpenStore();
  int steps = 0;
  EXPECT_FALSE(server->CopyFrom(*local, [&](int done, int total) {
    EXPECT_EQ(total, 3);
    return ++steps, done < 2;
  }));
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(server->Tests().at(0).attemptCount, 1);
  const auto counts = server->CopyFrom(*local, {});
  ASSERT_TRUE(counts) << server->LastError();
  EXPECT_EQ(counts->copied, 2);
  EXPECT_EQ(counts->skipped, 1);
  EXPECT_EQ(server->Tests().at(0).attemptCount, 3);
}

}  // namespace
}  // namespace gradebook
