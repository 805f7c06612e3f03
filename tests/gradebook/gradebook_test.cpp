#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QTemporaryDir>

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

class GradebookTest : public ::testing::Test {
 protected:
  std::unique_ptr<TStore> OpenStore() {
    std::string error;
    auto store = TStore::Open(path, error);
    EXPECT_TRUE(store) << error;
    return store;
  }
  QTemporaryDir folder;
  std::string path = folder.filePath("data/gradebook.sqlite").toStdString();
};

TEST_F(GradebookTest, CollectIdenticalReplaceKeepBothDamagedAndDelete) {
  auto store = OpenStore();
  ASSERT_TRUE(store);
  struct stat info{};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  auto damaged = Attempt("Ada", {"H2O", "cell", "x2"});
  damaged->responses[2].number = 2;  // question 2 twice, question 1 never
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

// Killed inside a collection's transaction, after the attempt's row and before its
// responses: the gradebook opens again and holds whole attempts only.
TEST_F(GradebookTest, KilledInsideTransactionLeavesWholeAttemptsOnly) {
  OpenStore()->Collect(*Attempt("Ada", {"H2O", "cell", "x2"}), {});
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TStore::SetAfterAttemptRowForTests([] { raise(SIGKILL); });
    std::string error;
    if (auto store = TStore::Open(path, error))
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
