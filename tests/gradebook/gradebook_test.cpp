#include <malloc.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QThread>
#include <QRadioButton>

#include "authoring/test_window.h"
#include "core/results_codec.h"
#include "gradebook/attempt_key.h"
#include "gradebook/gradebook_thread.h"
#include "gradebook/location.h"
#include "gradebook/store.h"
#include "tests/gradebook/gradebook_fixture.h"
#include "tests/support/scripted_user.h"

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

void ServerControl(const char* action) {
  const std::string command =
      "runuser -u postgres -- /usr/lib/postgresql/15/bin/pg_ctl -w -m fast -l " +
      qEnvironmentVariable("PGHOST").toStdString() + "/server.log " + action;
  ASSERT_EQ(std::system(command.c_str()), 0) << action;
}

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
    const auto tests = store->Tests().value();
    ASSERT_EQ(tests.size(), 1u) << c.what;
    EXPECT_EQ(tests[0].fileName, "CELLS.TST");
    EXPECT_EQ(tests[0].questionCount, 3);
    EXPECT_EQ(tests[0].attemptCount, c.attempts) << c.what;
  }

  // Every stored field comes back: the results file written from it has the same bytes.
  const auto id = store->FindTest(OpenTest(core::kSuperscript)).value();
  ASSERT_TRUE(id);
  EXPECT_FALSE(store->FindTest(OpenTest(core::kNormal)).value());
  auto attempts = store->Attempts(*id).value();
  ASSERT_EQ(attempts.size(), 4u);
  // The retake that was kept is the one the review replaced.
  EXPECT_EQ(core::EncodeResults(*attempts[0].information),
            core::EncodeResults(*Attempt("Ada", {"H2O", "cell", "x2"})));
  EXPECT_EQ(core::EncodeResults(*attempts[1].information),
            core::EncodeResults(*Attempt("Ada", {"water", "", "x2"})));
  EXPECT_TRUE(store->DeleteAttempt(attempts[0].id));
  EXPECT_EQ(store->Attempts(*id).value().size(), 3u);
}

// Takes this computer's gradebook back to the tables of version 2, before tests had a
// collector, as an older Quizloom left it.
void DowngradeToVersionTwo(const std::string& path) {
  {
    QSqlDatabase database = QSqlDatabase::addDatabase("QSQLITE", "older");
    database.setDatabaseName(QString::fromStdString(path));
    ASSERT_TRUE(database.open());
    QSqlQuery query(database);
    for (const char* sql : {"DROP TABLE accepted_answers", "DROP INDEX tests_by_collector",
                            "ALTER TABLE tests DROP COLUMN collector",
                            "ALTER TABLE test_questions DROP COLUMN collector",
                            "DELETE FROM schema_version WHERE version >= 3"})
      EXPECT_TRUE(query.exec(sql)) << sql;
  }
  QSqlDatabase::removeDatabase("older");
}

// A gradebook that cannot be written (here its folder and file, for another account: root
// may write anything) is shown as it is, with its accepted answers, an older one's tables too,
// without WAL files, and refuses collecting and accepting.
TEST_P(GradebookTest, ReadOnlyGradebookIsShownNotCollectedInto) {
  if (GetParam()) GTEST_SKIP() << "this computer's file";
  const TAcceptance cells{2, TAcceptKind::ThisAnswer, {{'c', 0}, {'e', 0}, {'l', 0}, {'l', 0},
                                                      {'s', 0}}};
  for (const int version : {6, 2}) {
    SCOPED_TRACE(version);
    path = folder.filePath(QString("v%1/gradebook.sqlite").arg(version)).toStdString();
    auto writable = OpenStore();
    ASSERT_EQ(writable->Collect(*Attempt("Ada", {"H2O", "cell", "x2"}), {}),
              TStore::Outcome::Added);
    ASSERT_TRUE(writable->Accept(writable->Tests().value().at(0).id, cells));
    writable.reset();
    if (version == 2) DowngradeToVersionTwo(path);
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
      if (!store) _exit(2);
      // Nothing here may throw: the child must end by _exit alone.
      const auto tests = store->Tests();
      auto attempts = TRead<std::vector<TStore::TAttempt>>::Failed("");
      if (tests && !tests->empty()) attempts = store->Attempts(tests->front().id);
      // An older gradebook's class is shown as taken, without accepted answers.
      const auto accepted = attempts ? store->Acceptances(tests->front().id) : std::nullopt;
      const bool shown = store->SchemaVersion() == version &&
                         store->ReadOnlyReason().find("cannot be written") != std::string::npos &&
                         attempts && attempts->size() == 1 && accepted &&
                         accepted->size() == (version == 6 ? 1u : 0u);
      const bool refused =
          shown && store->Collect(*Attempt("Bea", {"H2O", "cell", "x2"}), {}) ==
                       TStore::Outcome::Failed &&
          store->LastError() == store->ReadOnlyReason() &&
          !store->StopAccepting(tests->front().id, cells) &&
          store->AcceptingRefusal() == store->ReadOnlyReason();
      _exit(!shown ? 3 : !refused ? 4 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(QFile::encodeName(data).constData(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(QDir(data).entryList(QDir::Files), QStringList{"gradebook.sqlite"});
  }
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
  const auto attempts = store->Attempts(store->Tests().value().at(0).id).value();
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
  ASSERT_EQ(store->Tests().value().size(), 1u);
  EXPECT_EQ(store->Attempts(store->Tests().value()[0].id).value().size(), 20u);
  if (!GetParam()) return;
  const struct {
    const char* teacher;
    std::size_t seen;
  } views[] = {{kTeachers[1], 0}, {kTeachers[2], 20}};
  for (const auto& view : views) {
    auto other = OpenStore(view.teacher);
    EXPECT_EQ(other->Attempts(store->Tests().value()[0].id).value().size(), view.seen)
        << view.teacher;
  }
  EXPECT_EQ(OpenStore(kTeachers[1])->Collect(*Student(0), {}), TStore::Outcome::Added);
  // Each teacher has a row of their own for the test; the head reads both, whose they are,
  // their days and their first question.
  std::string rows;
  const auto tests = OpenStore(kTeachers[2])->Tests().value();
  for (const auto& test : tests) {
    rows += test.collector + "/" + std::to_string(test.attemptCount) + "/" +
            std::to_string(test.firstDay) + "-" + std::to_string(test.lastDay) + "/";
    for (const auto& letter : test.firstQuestion) rows += char(letter.ch);
    rows += ";";
  }
  EXPECT_EQ(rows, "ateacher/20/19970307-19970307/Question 1\r\nsecond line;"
                  "bteacher/1/19970307-19970307/Question 1\r\nsecond line;");
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
  // The same store: its connection is opened again at the next command.
  int added = 0;
  for (int i = 0; i < 6; ++i) added += store->Collect(*Student(i), {}) == TStore::Outcome::Added;
  EXPECT_EQ(added, 3);
  EXPECT_EQ(store->Tests().value().at(0).attemptCount, 6);
}

// Copying a gradebook of many attempts reads them a page at a time: the heap in use while
// copying grows by far less than the attempts would take all at once (about 27 MB here).
TEST_P(GradebookTest, CopyOfManyAttemptsKeepsMemoryFlat) {
  constexpr int kAttempts = 3000;
  std::string error;
  auto local = TStore::Open(folder.filePath("source/gradebook.sqlite").toStdString(), error);
  ASSERT_TRUE(local && local->BeginBatch()) << error;
  for (int i = 0; i < kAttempts; ++i)
    ASSERT_EQ(local->Collect(*Student(i), {}), TStore::Outcome::Added);
  ASSERT_TRUE(local->EndBatch());
  auto store = OpenStore();
  const std::size_t before = mallinfo2().uordblks;
  std::size_t peak = before;
  int steps = 0;
  const auto counts = store->CopyFrom(*local, [&](int, int total) {
    EXPECT_EQ(total, kAttempts);
    peak = std::max(peak, mallinfo2().uordblks);
    return ++steps, true;
  });
  ASSERT_TRUE(counts) << store->LastError();
  EXPECT_EQ(counts->copied, kAttempts);
  EXPECT_EQ(steps, kAttempts + 1);
  EXPECT_LT(peak - before, std::size_t(6) << 20);
  EXPECT_EQ(store->Tests().value().at(0).attemptCount, kAttempts);
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
      {kPassword, "DELETE FROM schema_version WHERE version > 1",
       "INSERT INTO schema_version VALUES (2), (3), (4), (5), (6)", false, false, false,
       "its gradebook tables are version 1, and this Quizloom needs version 6. Nothing was "
       "written. The school's database administrator must update them"},
      {kPassword, "INSERT INTO schema_version VALUES (7)",
       "DELETE FROM schema_version WHERE version = 7", true, false, false,
       "was updated for a newer Quizloom (version 7; this one knows 6)."},
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
  EXPECT_EQ(server->Tests().value().at(0).attemptCount, 1);
  const auto counts = server->CopyFrom(*local, {});
  ASSERT_TRUE(counts) << server->LastError();
  EXPECT_EQ(counts->copied, 2);
  EXPECT_EQ(counts->skipped, 1);
  EXPECT_EQ(server->Tests().value().at(0).attemptCount, 3);
}

}  // namespace
}  // namespace gradebook

namespace gradebook {
namespace {

// Applies a table file as the help's administrator commands do.
void ApplyTableFile(const char* name) {
  const std::string command = "runuser -u postgres -- psql -q -v ON_ERROR_STOP=1 "
                              "--single-transaction -d quizloom -c 'SET ROLE quizloom_owner' -f " +
                              qEnvironmentVariable("PGHOST").toStdString() + "/sql/" + name;
  ASSERT_EQ(std::system(command.c_str()), 0) << name;
}

// A school's tables of version 2, where every teacher shares one row per test, still take
// results with a warning; the new file then gives each teacher their own rows, attempts kept.
TEST_P(GradebookTest, TablesOfVersionTwoWarnThenBecomeEachTeachersOwn) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  AsAdministrator("DROP TABLE hand_in_guesses, hand_ins, hand_in_sessions, accepted_answers, "
                  "responses, attempts, test_questions, tests, schema_version; DROP FUNCTION "
                  "hand_in, new_hand_in_code");
  ApplyTableFile("001_gradebook.sql");
  ApplyTableFile("002_server_access.sql");
  // The rights the earlier help's default privileges gave.
  AsAdministrator("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO "
                  "quizloom_teacher; GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA public TO "
                  "quizloom_teacher");
  for (int teacher : {0, 1}) {
    auto store = OpenStore(kTeachers[teacher]);
    EXPECT_EQ(store->OutdatedRights(),
              "The gradebook's rights are older than this Quizloom; ask the administrator to "
              "apply 003_teacher_rights.sql, 004_collect_in_one_call.sql, "
              "005_accepted_answers.sql, 006_hand_in.sql.");
    EXPECT_EQ(store->Collect(*Student(teacher), {}), TStore::Outcome::Added);
  }
  ApplyTableFile("003_teacher_rights.sql");
  ApplyTableFile("004_collect_in_one_call.sql");
  ApplyTableFile("005_accepted_answers.sql");
  ApplyTableFile("006_hand_in.sql");
  const auto tests = OpenStore(kTeachers[2])->Tests().value();
  ASSERT_EQ(tests.size(), 2u);
  for (int teacher : {0, 1}) {
    EXPECT_EQ(tests[std::size_t(teacher)].collector, kTeachers[teacher]);
    const auto attempts = OpenStore(kTeachers[teacher])->Attempts(tests[std::size_t(teacher)].id);
    ASSERT_EQ(attempts.value().size(), 1u);
    EXPECT_EQ(core::EncodeResults(*attempts.value()[0].information),
              core::EncodeResults(*Student(teacher)));
  }
  EXPECT_TRUE(OpenStore()->OutdatedRights().empty());
}

// A colleague, and a head of department, with psql and their own password try to hide,
// change, delete or plant results of a teacher: every statement fails, and the teacher's
// results stay whole and collecting stores every attempt.
TEST_P(GradebookTest, ColleagueAndHeadCannotUndermineATeacher) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  // A test row of the colleague's own with the victim's fingerprint and a forged answer.
  const std::string fingerprint =
      QCryptographicHash::hash(QByteArray::fromStdString(TestKey(*Student(0)).value()),
                               QCryptographicHash::Sha256).toHex().toStdString();
  int status = 0;
  Psql(kTeachers[1], "WITH t AS (INSERT INTO tests (collector, fingerprint, file_name, "
       "question_count) VALUES ('bteacher', '" + fingerprint + "', 'FORGED.TST', 3) RETURNING id) "
       "INSERT INTO test_questions (test_id, collector, number, question_text, question_marks, "
       "answer_text, answer_marks) SELECT id, 'bteacher', 3, 'Smallest planet?', '', 'Mars', '' "
       "FROM t", &status);
  ASSERT_EQ(status, 0);
  auto victim = OpenStore();
  for (int i = 0; i < 2; ++i) ASSERT_EQ(victim->Collect(*Student(i), {}), TStore::Outcome::Added);
  const auto test = victim->Tests().value().at(0);
  const auto before = victim->Attempts(test.id).value();
  const TAcceptance anyCase{1, TAcceptKind::AnyLetterCase, {}};
  ASSERT_TRUE(victim->Accept(test.id, anyCase)) << victim->LastError();
  const auto fill = [&](std::string sql) {
    for (const auto& [mark, value] : {std::pair{"%T", test.id}, {"%A", before[0].id}})
      for (std::size_t at; (at = sql.find(mark)) != std::string::npos;)
        sql.replace(at, 2, std::to_string(value));
    return sql;
  };
  constexpr char kAttemptColumns[] =
      "(test_id, collector, fingerprint, first_name, last_name, course, period, instructor, "
      "test_file, year, month, day, correct_count, question_count)";
  const std::string attemptValues = "(%T, 'bteacher', 'x', '', '', '', '', '', '', 1, 1, 1, 3, 3)";
  const std::string response =
      "INSERT INTO responses (attempt_id, position, number, correct, given_text, given_marks) "
      "VALUES (%A, 9, 1, 1, 'x', '')";
  // Each is refused for want of a right, by row security, by a foreign key, or touches no row.
  constexpr char kDenied[] = "permission denied", kPolicy[] = "row-level security",
                 kForeignKey[] = "violates foreign key", kNone[] = "0\n";
  const struct {
    const char* who;
    std::string statement;
    const char* refusal;  // what psql prints
  } attacks[] = {
      {"bteacher", "UPDATE tests SET file_name = 'x', fingerprint = 'x' WHERE id = %T", kDenied},
      {"bteacher", "DELETE FROM tests WHERE id = %T", kDenied},
      {"bteacher", "UPDATE test_questions SET answer_text = 'Mars' WHERE test_id = %T", kDenied},
      {"bteacher", "DELETE FROM test_questions WHERE test_id = %T AND number = 2", kDenied},
      {"bteacher", std::string("INSERT INTO attempts (id, ") + (kAttemptColumns + 1) +
                       " OVERRIDING SYSTEM VALUE VALUES (%A + 100, " + (attemptValues.c_str() + 1),
       kDenied},
      {"bteacher", "INSERT INTO tests (id, collector, fingerprint, file_name, question_count) "
                   "OVERRIDING SYSTEM VALUE VALUES (%T + 100, 'bteacher', 'y', '', 3)", kDenied},
      {"bteacher", "INSERT INTO schema_version VALUES (9)", kDenied},
      {"bteacher", "DELETE FROM schema_version", kDenied},
      {"bteacher", "INSERT INTO tests (collector, fingerprint, file_name, question_count) VALUES "
                   "('ateacher', '" + fingerprint + "', 'FORGED.TST', 3)", kPolicy},
      {"bteacher", "INSERT INTO test_questions (test_id, collector, number, question_text, "
                   "question_marks, answer_text, answer_marks) VALUES (%T, 'bteacher', 4, '', '', "
                   "'Mars', '')", kForeignKey},
      {"bteacher", std::string("INSERT INTO attempts ") + kAttemptColumns + " VALUES " +
                       attemptValues, kForeignKey},
      {"bteacher", response, kPolicy},
      {"bteacher", "TRUNCATE attempts", kDenied},
      {"bteacher", "SELECT setval('attempts_id_seq', %A + 1)", kDenied},
      {"bteacher", "BEGIN; LOCK TABLE tests IN ACCESS EXCLUSIVE MODE; COMMIT", kDenied},
      {"hhead", "WITH gone AS (DELETE FROM attempts WHERE id = %A RETURNING 1) "
                "SELECT COUNT(*) FROM gone", kNone},
      {"hhead", "UPDATE attempts SET collector = 'hhead', correct_count = 0 WHERE id = %A",
       kDenied},
      {"hhead", "UPDATE responses SET given_text = 'x' WHERE attempt_id = %A", kDenied},
      {"hhead", "DELETE FROM responses WHERE attempt_id = %A", kDenied},
      {"hhead", response, kPolicy},
      {"bteacher", "UPDATE accepted_answers SET kind = 'answer'", kDenied},
      {"bteacher", "INSERT INTO accepted_answers (test_id, collector, number, kind, answer_text, "
                   "answer_marks) VALUES (%T, 'bteacher', 1, 'without marks', '', '')", kForeignKey},
      {"hhead", "WITH gone AS (DELETE FROM accepted_answers RETURNING 1) SELECT COUNT(*) FROM gone",
       kNone},
      {"bteacher", "WITH gone AS (DELETE FROM accepted_answers RETURNING 1) "
                   "SELECT COUNT(*) FROM gone", kNone},
      {"bteacher", "SELECT COUNT(*) FROM accepted_answers", kNone},
      {"bteacher", "INSERT INTO accepted_answers (test_id, collector, number, kind, answer_text, "
                   "answer_marks) VALUES (%T, 'ateacher', 2, 'without marks', '', '')", kPolicy},
      {"bteacher", "INSERT INTO accepted_answers (id, test_id, collector, number, kind, "
                   "answer_text, answer_marks) OVERRIDING SYSTEM VALUE VALUES (1, %T, 'bteacher', "
                   "2, 'without marks', '', '')", kDenied},
      {"bteacher", "TRUNCATE accepted_answers", kDenied},
      {"hhead", "INSERT INTO accepted_answers (test_id, collector, number, kind, answer_text, "
                "answer_marks) VALUES (%T, 'hhead', 2, 'without marks', '', '')", kForeignKey},
      {"hhead", "UPDATE accepted_answers SET number = 2", kDenied},
  };
  for (const auto& attack : attacks) {
    const std::string said = Psql(attack.who, fill(attack.statement));
    EXPECT_NE(said.find(attack.refusal), std::string::npos) << attack.statement << "\n" << said;
  }
  const auto after = victim->Attempts(test.id).value();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i)
    EXPECT_EQ(core::EncodeResults(*after[i].information),
              core::EncodeResults(*Student(int(i))));
  std::vector<TStore::Outcome> outcomes;
  for (int i = 0; i < 4; ++i) outcomes.push_back(victim->Collect(*Student(i), {}));
  EXPECT_EQ(outcomes, (std::vector{TStore::Outcome::AlreadyCollected,
                                   TStore::Outcome::AlreadyCollected, TStore::Outcome::Added,
                                   TStore::Outcome::Added}));
  EXPECT_EQ(victim->Tests().value().size(), 1u);
  EXPECT_EQ(victim->Acceptances(test.id).value(), std::vector{anyCase});
}

// A colleague's psql session, bteacher's, holding the attempts locked in mode ("SHARE") until
// EndColleague; returns once the server granted the lock, which pg_locks calls lockName.
pid_t HoldAttempts(const std::string& mode, const std::string& lockName) {
  const pid_t holder = fork();
  if (holder == 0) {
    setenv("PGPASSWORD", kPassword, 1);
    const std::string sql = "BEGIN; LOCK TABLE attempts IN " + mode + " MODE; SELECT pg_sleep(120)";
    execlp("psql", "psql", "-X", "-q", "-U", kTeachers[1], "-d", "quizloom", "-c", sql.c_str(),
           nullptr);
    _exit(127);
  }
  const auto locked = [&] {
    return Psql("postgres", "SELECT COUNT(*) FROM pg_locks WHERE granted AND relation = "
                            "'attempts'::regclass AND mode = '" + lockName + "'") == "1\n";
  };
  for (int tries = 0; holder > 0 && tries < 300 && !locked(); ++tries) usleep(100000);
  return holder;
}

void EndColleague(pid_t holder) {
  Psql("postgres", "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = "
                   "'bteacher'");
  int status = 0;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
}

// A colleague's transaction holds the attempts locked: collecting gives up after the
// timeout with the busy message, and works again once the lock is gone.
TEST_P(GradebookTest, ColleaguesLockEndsCollectingAtTheTimeout) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  const pid_t holder = HoldAttempts("ACCESS EXCLUSIVE", "AccessExclusiveLock");
  ASSERT_GE(holder, 0);
  TLocation location = Server(kTeachers[0]);
  location.timeoutSeconds = 1;
  std::string error;
  bool needsPassword = false;
  auto store = TStore::OpenServer(location, kPassword, error, needsPassword);
  ASSERT_TRUE(store) << error;
  EXPECT_EQ(store->Collect(*Student(0), {}), TStore::Outcome::Failed);
  EXPECT_EQ(store->LastError(),
            "The gradebook server is busy (another program holds the gradebook); try again.");
  EXPECT_FALSE(store->ConnectionLost());
  EndColleague(holder);
  EXPECT_EQ(store->Collect(*Student(0), {}), TStore::Outcome::Added);
}

// Add Results Files while a colleague's lock holds the server busy: the window's thread stays
// free to offer Cancel, pressing it has libpq's cancel request stop the statement on the
// server, and the command ends with its own message, nothing stored.
TEST_P(GradebookTest, CancelStopsTheServersStatement) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  SaveLocation(Server(kTeachers[2]));
  QFile file(folder.filePath("ada.qzr"));
  const std::vector<uint8_t> bytes = core::EncodeResults(*Student(0));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) &&
              file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())));
  file.close();
  QFile log(qEnvironmentVariable("PGHOST") + "/server.log");
  const qint64 logged = log.size();
  const pid_t holder = HoldAttempts("SHARE", "ShareLock");
  ASSERT_GE(holder, 0);
  struct TCancelling : testing_support::ScriptedUser {
    int asked = 0;
    bool ProgressCancelled(QProgressDialog&, int, int) override {
      return ++asked, QThread::currentThread() == qApp->thread();
    }
  } user;
  user.ChooseFiles({file.fileName().toStdString()}).AnswerPassword(kPassword).AnswerMessage();
  quizloom::TTestWindow main;
  main.Command(quizloom::CM_ADD_RESULTS_FILES);
  EndColleague(holder);
  EXPECT_GE(user.asked, 1);
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text,
            "Added: 0. Replaced: 0. Already collected: 0. Refused: 0.\nCancelled: the file in "
            "hand was not stored. The gradebook server undid this collection: none of its files "
            "is stored.\n1 of 1 files were not read.");
  EXPECT_TRUE(OpenStore(kTeachers[2])->Tests().value().empty());
  ASSERT_TRUE(log.open(QIODevice::ReadOnly) && log.seek(logged));
  EXPECT_TRUE(log.readAll().contains("canceling statement due to user request"));
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

// Gradebook Location and the server's password prompt answered through the modal seam: a
// wrong password is asked for again; a cancelled prompt opens nothing and says so plainly.
TEST_P(GradebookTest, LocationAndPasswordAnsweredThroughTheModalSeam) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  const auto choose = [](std::string teacher) {
    return [teacher](QDialog& dialog) {
      for (auto* choice : dialog.findChildren<QRadioButton*>())
        choice->setChecked(choice->text() == "&School server");
      dialog.findChild<QLineEdit*>("Host")->setText(qEnvironmentVariable("PGHOST"));
      dialog.findChild<QLineEdit*>("Database")->setText("quizloom");
      dialog.findChild<QLineEdit*>("User")->setText(QString::fromStdString(teacher));
    };
  };
  quizloom::TTestWindow main;
  testing_support::ScriptedUser user;
  const std::string where = "@" + qEnvironmentVariable("PGHOST").toStdString() + "/quizloom:";
  user.AnswerQtDialog(QDialog::Accepted, choose(kTeachers[0]))
      .AnswerPassword("wrong")
      .AnswerPassword(kPassword)
      .AnswerMessage();
  main.Command(quizloom::CM_GRADEBOOK_LOCATION);
  main.Command(quizloom::CM_CLASS_RESULTS);
  ASSERT_EQ(user.prompts().size(), 4u);
  EXPECT_EQ(user.prompts()[0].caption, "Gradebook Location");
  EXPECT_EQ(user.prompts()[1].text,
            "The gradebook server asks for a password.\nPassword for ateacher" + where);
  EXPECT_EQ(user.prompts()[2].text,
            "The server refused the password.\nPassword for ateacher" + where);
  EXPECT_EQ(user.prompts()[3].text.substr(0, 33), "The gradebook holds no results ye");
  ASSERT_TRUE(main.gradebookThread->Store());
  EXPECT_EQ(main.gradebookThread->Store()->Collector(), kTeachers[0]);

  user.Forget();
  user.AnswerQtDialog(QDialog::Accepted, choose(kTeachers[1])).AnswerPassword({}).AnswerMessage();
  main.Command(quizloom::CM_GRADEBOOK_LOCATION);
  main.Command(quizloom::CM_CLASS_RESULTS);
  EXPECT_FALSE(main.gradebookThread->Store());
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text,
            "The gradebook on the server was not opened: no password was given.");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

// A password never stays in Quizloom's settings file, which only its account may read.
TEST(GradebookLocation, PasswordsStayOutOfTheSettingsFile) {
  const struct {
    const char* options;
    const char* kept;  // the settings without a password
  } cases[] = {
      {"sslmode=verify-full password=secret", "sslmode=verify-full"},
      {"password = 'a b\\' c' sslmode=require", "sslmode=require"},
      {"passfile=/home/a/.pgpass connect_timeout=5", "passfile=/home/a/.pgpass connect_timeout=5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HoldsPassword(c.options), c.kept != std::string(c.options)) << c.options;
    EXPECT_EQ(WithoutPassword(c.options), c.kept) << c.options;
  }
  QTemporaryDir folder;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
  const QString file = QSettings().fileName();
  // What the file holds, and its mode: 0x0600 is the owner's reading and writing only.
  const auto holds = [&](const char* text) {
    QFile written(file);
    return written.open(QIODevice::ReadOnly) && written.readAll().contains(text);
  };
  // An earlier Quizloom kept a password: reading the settings takes it out of the file.
  QSettings().setValue("Gradebook/options", "sslmode=require password=secret");
  EXPECT_EQ(LoadLocation().options, "sslmode=require");
  EXPECT_FALSE(holds("secret"));
  EXPECT_EQ(QFile::permissions(file) & 0x0FFF, 0x0600);
  SaveLocation({true, "", "server", "", "quizloom", "asmith", "password=again", 3});
  EXPECT_EQ(LoadLocation().timeoutSeconds, 3);
  EXPECT_FALSE(holds("again"));
  EXPECT_EQ(QFile::permissions(file) & 0x0FFF, 0x0600);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                     QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

}  // namespace
}  // namespace gradebook
