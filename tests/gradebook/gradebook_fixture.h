#pragma once
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "gradebook/store.h"

namespace gradebook {

// The server's teachers, as gradebook_server_e2e.sh makes them from the help's commands; the
// last is a head of department.
constexpr const char* kTeachers[] = {"ateacher", "bteacher", "hhead"};
constexpr char kPassword[] = "classroom";

// Runs SQL on the test server as its administrator.
inline void AsAdministrator(const std::string& sql) {
  const std::string command =
      "runuser -u postgres -- psql -q -v ON_ERROR_STOP=1 -d quizloom -c \"" + sql + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << sql;
}

// What psql printed, errors included, for sql run as user: the administrator "postgres", or a
// teacher or the Quizdesk computers' login signing in with the test password. status is psql's
// exit status.
inline std::string Psql(const std::string& user, std::string sql, int* status = nullptr) {
  for (std::size_t quote = 0; (quote = sql.find('\'', quote)) != std::string::npos; quote += 4)
    sql.replace(quote, 1, "'\\''");
  const std::string command =
      (user == "postgres" ? "runuser -u postgres -- psql" : "PGPASSWORD=classroom psql -U " + user) +
      " -X -q -tA -v ON_ERROR_STOP=1 -d quizloom -c '" + sql + "' 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  for (char buffer[256]; pipe && fgets(buffer, sizeof buffer, pipe);) output += buffer;
  const int exit = pipe ? pclose(pipe) : -1;
  if (status) *status = exit;
  return output;
}

// Each case runs on this computer's file and on the test server alike; the server's cases are
// skipped unless gradebook_server_e2e.sh started one (PGHOST).
class GradebookTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam() && qEnvironmentVariableIsEmpty("PGHOST"))
      GTEST_SKIP() << "no test server; gradebook_server_e2e runs these";
    if (GetParam())
      AsAdministrator("TRUNCATE tests, test_questions, attempts, responses, accepted_answers, "
                      "hand_in_sessions, hand_ins, hand_in_guesses");
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

}  // namespace gradebook
