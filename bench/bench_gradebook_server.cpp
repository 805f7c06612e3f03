// Collecting 1,000 results files of 50 answers into the gradebook on a PostgreSQL server, as a
// ratio to collecting them into this computer's SQLite file. The server is the one
// gradebook_server_bench.sh starts (PGHOST); without it only the SQLite figure is printed.
#include <cstdlib>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "bench/ratio_reporter.h"
#include "core/results_codec.h"
#include "gradebook/store.h"

namespace {

constexpr int kFiles = 1000;
constexpr int kAnswers = 50;

// One class's files: students differ by name, and each answers a few questions wrong.
const std::vector<std::vector<uint8_t>>& ResultsFiles() {
  static const std::vector<std::vector<uint8_t>> files = [] {
    std::vector<std::vector<uint8_t>> made;
    const int32_t noMarks[500] = {};
    for (int student = 0; student < kFiles; ++student) {
      core::TInformation information;
      core::CopyField(information.firstName, 21, ("Student" + std::to_string(student)).c_str());
      core::CopyField(information.lastName, 21, "Lovelace");
      core::CopyField(information.course, 21, "Biology");
      core::CopyField(information.period, 6, "3");
      core::CopyField(information.instructor, 26, "Smith");
      core::CopyField(information.testFile, 80, "C:\\TESTS\\CELLS.TST");
      information.year = 1997, information.month = 3, information.day = 7;
      information.questionCount = kAnswers;
      for (int number = 1; number <= kAnswers; ++number) {
        const std::string question = "What is the name of part " + std::to_string(number) + "?";
        const std::string expected = "answer " + std::to_string(number);
        const bool right = (student + number) % 7 != 0;
        const std::string given = right ? expected : "wrong " + std::to_string(student % 5);
        information.correctCount += right;
        information.responses.Add(std::make_unique<core::TResponse>(
            number, given.c_str(), expected.c_str(), question.c_str(), right ? 1 : 0, noMarks,
            noMarks, noMarks));
      }
      made.push_back(core::EncodeResults(information));
    }
    return made;
  }();
  return files;
}

void Collect(benchmark::State& state, gradebook::TStore& store) {
  for (const auto& bytes : ResultsFiles()) {
    auto information = core::DecodeResults(bytes);
    if (!information ||
        store.Collect(*information, {}) != gradebook::TStore::Outcome::Added) {
      state.SkipWithError(store.LastError().c_str());
      return;
    }
  }
}

void CollectIntoSqlite(benchmark::State& state) {
  ResultsFiles();
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir folder;
    std::string error;
    auto store = gradebook::TStore::Open(folder.filePath("gradebook.sqlite").toStdString(), error);
    state.ResumeTiming();
    if (!store) return state.SkipWithError(error.c_str());
    Collect(state, *store);
  }
}

void CollectIntoServer(benchmark::State& state) {
  ResultsFiles();
  for (auto _ : state) {
    state.PauseTiming();
    if (std::system("runuser -u postgres -- psql -q -d quizloom -c "
                    "'TRUNCATE tests, test_questions, attempts, responses'") != 0)
      return state.SkipWithError("the test server's gradebook could not be emptied");
    std::string error;
    bool needsPassword = false;
    const gradebook::TLocation server{true, "", qEnvironmentVariable("PGHOST").toStdString(),
                                      "", "quizloom", "ateacher", ""};
    auto store = gradebook::TStore::OpenServer(server, "classroom", error, needsPassword);
    state.ResumeTiming();
    if (!store) return state.SkipWithError(error.c_str());
    Collect(state, *store);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::RegisterBenchmark("CollectIntoSqlite", CollectIntoSqlite)
      ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
  if (!qEnvironmentVariableIsEmpty("PGHOST"))
    benchmark::RegisterBenchmark("CollectIntoServer", CollectIntoServer)
        ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
  benchmark::Initialize(&argc, argv);
  bench::RatioReporter reporter({{"CollectIntoServer/iterations:3/real_time",
                                  "CollectIntoSqlite/iterations:3/real_time"}},
                                3);
  benchmark::RunSpecifiedBenchmarks(&reporter);
}
