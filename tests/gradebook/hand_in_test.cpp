#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QTreeWidget>

#include <cstdio>
#include <string>
#include <vector>

#include "core/results_codec.h"
#include "gradebook/gradebook_thread.h"
#include "gradebook/hand_in_listener.h"
#include "gradebook/hand_in_window.h"
#include "platform/modal.h"
#include "tests/gradebook/class_fixture.h"
#include "tests/gradebook/gradebook_fixture.h"
#include "tests/support/scripted_user.h"

namespace gradebook {
namespace {

constexpr char kStudent[] = "quizdesk";  // the help's login for Quizdesk computers

// A session of ateacher's, open or closed, for a test of three questions: its code.
std::string OpenSession(bool open = true) {
  const std::string code = Psql(
      "ateacher", std::string("INSERT INTO hand_in_sessions (collector, fingerprint, "
                              "question_count, closes) VALUES (current_user, 'f', 3, now() + "
                              "interval '") + (open ? "3 hours" : "0 hours") + "') RETURNING code");
  return code.substr(0, 6);
}

// The Quizdesk login does nothing but hand in: every other statement is refused, and a
// teacher cannot choose a code, read a colleague's session or touch a hand-in's bytes.
TEST_P(GradebookTest, StudentLoginOnlyHandsIn) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  const std::string code = OpenSession();
  ASSERT_EQ(Psql(kStudent, "SELECT hand_in('" + code + "', 'x')"), "handed in\n");
  constexpr char kDenied[] = "permission denied", kNone[] = "0\n";
  const struct {
    const char* who;
    std::string statement;
    const char* refusal;  // what psql prints
  } attempts[] = {
      {kStudent, "SELECT code FROM hand_in_sessions", kDenied},
      {kStudent, "SELECT results FROM hand_ins", kDenied},
      {kStudent, "SELECT * FROM hand_in_guesses", kDenied},
      {kStudent, "SELECT * FROM attempts", kDenied},
      {kStudent, "SELECT * FROM responses", kDenied},
      {kStudent, "SELECT * FROM tests", kDenied},
      {kStudent, "SELECT * FROM test_questions", kDenied},
      {kStudent, "SELECT * FROM accepted_answers", kDenied},
      {kStudent, "SELECT * FROM schema_version", kDenied},
      {kStudent, "INSERT INTO hand_ins (session_id, collector, results) SELECT 1, 'ateacher', ''",
       kDenied},
      {kStudent, "UPDATE hand_in_sessions SET closes = now() + interval '1 hour'", kDenied},
      {kStudent, "UPDATE hand_ins SET outcome = 'deleted'", kDenied},
      {kStudent, "DELETE FROM hand_ins", kDenied},
      {kStudent, "DELETE FROM attempts", kDenied},
      {kStudent, "TRUNCATE hand_ins", kDenied},
      {kStudent, "COPY hand_ins TO STDOUT", kDenied},
      {kStudent, "SELECT new_hand_in_code()", kDenied},
      {kStudent, "SELECT * FROM collect_attempt(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
                 "NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
                 "NULL, NULL, NULL, NULL, NULL)", kDenied},
      {kStudent, "SELECT lo_from_bytea(0, 'x')", kDenied},
      {kStudent, "CREATE TABLE mine (x INT)", kDenied},
      {kStudent, "CREATE TEMP TABLE mine (x INT)", kDenied},
      {kStudent, "SET ROLE quizloom_owner", kDenied},
      {kStudent, "SET ROLE ateacher", kDenied},
      {kStudent, "SHOW statement_timeout", "5s\n"},
      {"ateacher", "INSERT INTO hand_in_sessions (code, collector, fingerprint, question_count, "
                   "closes) VALUES ('AAAAAA', current_user, 'f', 3, now())", kDenied},
      {"ateacher", "INSERT INTO hand_ins (session_id, collector, results) SELECT id, "
                   "current_user, '' FROM hand_in_sessions", kDenied},
      {"ateacher", "UPDATE hand_ins SET results = 'forged'", kDenied},
      {"ateacher", "DELETE FROM hand_ins", kDenied},
      {"ateacher", "UPDATE hand_in_sessions SET refused = 0", kDenied},
      {"ateacher", "SELECT hand_in('" + code + "', 'x')", kDenied},
      {"bteacher", "SELECT COUNT(*) FROM hand_in_sessions", kNone},
      {"bteacher", "SELECT COUNT(*) FROM hand_ins", kNone},
      {"bteacher", "WITH c AS (UPDATE hand_in_sessions SET closes = opened RETURNING 1) "
                   "SELECT COUNT(*) FROM c", kNone},
      {"bteacher", "WITH c AS (UPDATE hand_ins SET outcome = 'deleted' RETURNING 1) "
                   "SELECT COUNT(*) FROM c", kNone},
      {"bteacher", "INSERT INTO hand_in_sessions (collector, fingerprint, question_count, closes) "
                   "VALUES ('ateacher', 'f', 3, now())", "row-level security"},
      {"hhead", "SELECT COUNT(*) FROM hand_ins", "1\n"},
      {"hhead", "WITH c AS (UPDATE hand_in_sessions SET closes = opened RETURNING 1) "
                "SELECT COUNT(*) FROM c", kNone},
  };
  for (const auto& attempt : attempts) {
    const std::string said = Psql(attempt.who, attempt.statement);
    EXPECT_NE(said.find(attempt.refusal), std::string::npos)
        << attempt.who << ": " << attempt.statement << "\n" << said;
  }
  EXPECT_EQ(Psql("postgres", "SELECT length(results), outcome IS NULL FROM hand_ins; "
                             "SELECT closes > now() FROM hand_in_sessions"),
            "1|t\nt\n");
}

// hand_in's answers and the rows it leaves: the session's code in any case and spacing, the
// test's largest file, wrong and closed codes, the minute's limit, and guessing.
TEST_P(GradebookTest, HandInTakesOnlyAnOpenSessionsFittingFiles) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  const std::string closed = OpenSession(false), code = OpenSession();
  std::string spaced = code;
  for (char& c : spaced) c = char(std::tolower(c));
  spaced.insert(3, " ");
  const std::string largest = std::to_string(199 + 3018 * 3);
  const struct {
    std::string call;
    const char* answer;
  } calls[] = {
      {"hand_in('" + code + "', 'Ada')", "handed in"},
      {"hand_in('" + spaced + "', 'Ada again')", "handed in"},
      {"hand_in('" + code + "', decode(repeat('ff', " + largest + "), 'hex'))", "handed in"},
      {"hand_in('" + code + "', decode(repeat('ff', " + largest + " + 1), 'hex'))", "too large"},
      {"hand_in('" + code + "', NULL)", "too large"},
      {"hand_in('" + closed + "', 'Ada')", "closed"},
      {"hand_in('ACDEFG', 'Ada')", "unknown"},
      {"hand_in(NULL, 'Ada')", "unknown"},
      {"hand_in(repeat('A', 100000), 'Ada')", "unknown"},
  };
  for (const auto& call : calls)
    EXPECT_EQ(Psql(kStudent, "SELECT " + call.call), call.answer + std::string("\n")) << call.call;
  EXPECT_EQ(Psql("ateacher", "SELECT encode(results, 'escape'), length(results) FROM hand_ins "
                             "ORDER BY id LIMIT 2; SELECT COUNT(*), SUM(length(results)) FROM "
                             "hand_ins; SELECT refused FROM hand_in_sessions ORDER BY id"),
            "Ada|3\nAda again|9\n3|" + std::to_string(12 + 199 + 3018 * 3) + "\n0\n2\n");
  // Three handed in so far: the minute's 120th is the last one taken.
  EXPECT_EQ(Psql(kStudent, "SELECT hand_in('" + code + "', 'x'), COUNT(*) FROM "
                           "generate_series(1, 125) GROUP BY 1 ORDER BY 1"),
            "handed in|117\ntoo many|8\n");
  EXPECT_EQ(Psql("ateacher", "SELECT COUNT(*) FROM hand_ins; SELECT refused FROM "
                             "hand_in_sessions WHERE code = '" + code + "'"),
            "120\n10\n");
  // Three unknown codes were given above; seventeen more, and even the right one is refused.
  EXPECT_EQ(Psql(kStudent, "SELECT hand_in('ACDEF' || n, 'x'), COUNT(*) FROM "
                           "generate_series(1, 18) n GROUP BY 1 ORDER BY 1"),
            "too many|1\nunknown|17\n");
  EXPECT_EQ(Psql(kStudent, "SELECT hand_in('" + code + "', 'x')"), "too many\n");
}

// Thirty Quizdesks hand in within the same second: each attempt arrives once.
TEST_P(GradebookTest, ThirtyHandInsAtOnceEachArriveOnce) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  const std::string code = OpenSession();
  std::string script = "for n in $(seq 1 30); do PGPASSWORD=classroom psql -X -tA -U quizdesk "
                       "-d quizloom -c \"SELECT hand_in('" + code +
                       "', 'student $n')\" & done; wait";
  FILE* pipe = popen(script.c_str(), "r");
  std::string said;
  for (char buffer[256]; pipe && fgets(buffer, sizeof buffer, pipe);) said += buffer;
  ASSERT_EQ(pclose(pipe), 0);
  std::string each;
  for (int i = 0; i < 30; ++i) each += "handed in\n";
  EXPECT_EQ(said, each);
  EXPECT_EQ(Psql("ateacher", "SELECT COUNT(*), COUNT(DISTINCT results) FROM hand_ins"),
            "30|30\n");
}

// What psql's hand_in as the Quizdesk login answered for these bytes.
std::string HandIn(const std::string& code, const std::vector<uint8_t>& bytes) {
  return Psql(kStudent, "SELECT hand_in('" + code + "', decode('" +
                            QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                       qsizetype(bytes.size())).toHex().toStdString() +
                            "', 'hex'))");
}

// The session window follows arrivals as a teacher watches them: each is collected as it
// comes, a student's second hand-in replaces the first and Restore Earlier brings it back, a
// damaged one is listed and refused, a forged one's attempt is deleted, and a closed
// session's code is refused.
TEST_P(GradebookTest, SessionWindowFollowsCollectsReplacesAndRestores) {
  if (!GetParam()) GTEST_SKIP() << "a server's case";
  auto store = OpenStore();
  core::TOpenTest test;
  for (int i = 0; i < 2; ++i) test.questions.Add(std::make_unique<core::TQuestion>());
  auto session = store->OpenHandIn(test, kHandInMinutes).value();
  TGradebookThread gradebook(*store);
  THandInWindow window(gradebook, session, "WATER.TST", nullptr);
  std::string error;
  auto listener = store->ListenForHandIns(error);
  ASSERT_TRUE(listener) << error;
  QObject::connect(listener.get(), &THandInListener::Arrived, &window, [&] { window.Refresh(); });
  EXPECT_EQ(window.CodeLabel()->text().toStdString(), session.code);
  const auto rows = [&](int count) {
    for (QDeadlineTimer deadline(20000); window.Arrivals()->topLevelItemCount() < count &&
                                         !deadline.hasExpired();)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::vector<std::string> shown;
    for (int row = 0; row < window.Arrivals()->topLevelItemCount(); ++row)
      shown.push_back(window.Arrivals()->topLevelItem(row)->text(1).toStdString() + ": " +
                      window.Arrivals()->topLevelItem(row)->text(2).toStdString());
    return shown;
  };
  const auto scores = [&] {
    std::vector<int> correct;
    const auto attempts = store->Attempts(store->Tests().value().at(0).id).value();
    for (const auto& attempt : attempts) correct.push_back(attempt.information->correctCount);
    return correct;
  };
  ASSERT_EQ(HandIn(session.code, core::EncodeResults(*Attempt("Lovelace", "Ada", 2, {"H2O", "4"}))),
            "handed in\n");
  EXPECT_EQ(rows(1), std::vector<std::string>{"Ada Lovelace: Added"})
      << window.StatusLabel()->text().toStdString();
  EXPECT_EQ(window.CountLabel()->text(), "1 handed in");
  EXPECT_EQ(scores(), std::vector{2});
  ASSERT_EQ(HandIn(session.code, core::EncodeResults(*Attempt("Lovelace", "Ada", 1, {"H2O", "5"}))),
            "handed in\n");
  ASSERT_EQ(HandIn(session.code, {1, 2, 3}), "handed in\n");
  EXPECT_EQ(rows(3), (std::vector<std::string>{"Ada Lovelace: Replaced by a later one",
                                                "Ada Lovelace: Replaced",
                                                "(no name): Refused: damaged, kept here"}));
  EXPECT_EQ(scores(), std::vector{1});
  window.Arrivals()->setCurrentItem(window.Arrivals()->topLevelItem(1));
  window.CmRestoreEarlier();
  EXPECT_EQ(rows(3), (std::vector<std::string>{"Ada Lovelace: Restored",
                                                "Ada Lovelace: Undone by Restore Earlier",
                                                "(no name): Refused: damaged, kept here"}));
  EXPECT_EQ(scores(), std::vector{2});
  testing_support::ScriptedUser user;
  user.AnswerMessage(platform::IDYES);
  window.Arrivals()->setCurrentItem(window.Arrivals()->topLevelItem(0));
  window.CmDeleteAttempt();
  EXPECT_EQ(rows(3)[0], "Ada Lovelace: Deleted");
  EXPECT_EQ(scores(), std::vector<int>{});
  window.CmCloseHandIn();
  EXPECT_FALSE(window.IsOpen());
  EXPECT_EQ(HandIn(session.code, {1}), "closed\n");
  // Handed in while no Quizloom listened: Class Results collects it before reading.
  const std::string next = store->OpenHandIn(test, kHandInMinutes).value().code;
  ASSERT_EQ(HandIn(next, core::EncodeResults(*Attempt("Curie", "Bea", 0, {"", "5"}))),
            "handed in\n");
  std::string failure;
  ASSERT_TRUE(CollectHandIns(*store, store->PendingHandIns(test).value(), failure)) << failure;
  EXPECT_EQ(scores(), std::vector{0});
  EXPECT_TRUE(store->PendingHandIns(test).value().empty());
}

}  // namespace
}  // namespace gradebook
