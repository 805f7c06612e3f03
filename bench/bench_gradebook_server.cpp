// Collecting 1,000 results files of 50 answers into the gradebook on a PostgreSQL server, as a
// ratio to collecting them into this computer's SQLite file; then through delay_proxy.py,
// which makes each round trip 5 ms as on a school's network (goal: 8 s for the 1,000) and
// counts the round trips per attempt (goal: 1). The server is the one gradebook_server_bench.sh
// starts (PGHOST); without it only the SQLite figure is printed.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "bench/bench_results.h"
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
    for (int student = 0; student < kFiles; ++student)
      made.push_back(bench::ResultsFile(student, kAnswers));
    return made;
  }();
  return files;
}

// As Add Results Files collects a list: one batch.
void Collect(benchmark::State& state, gradebook::TStore& store) {
  if (!store.BeginBatch()) return state.SkipWithError(store.LastError().c_str());
  for (const auto& bytes : ResultsFiles()) {
    auto information = core::DecodeResults(bytes);
    if (!information ||
        store.Collect(*information, {}) != gradebook::TStore::Outcome::Added) {
      state.SkipWithError(store.LastError().c_str());
      return;
    }
  }
  if (!store.EndBatch()) state.SkipWithError(store.LastError().c_str());
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

// The test server's gradebook emptied, and the teacher's store opened at server.
std::unique_ptr<gradebook::TStore> EmptyServer(benchmark::State& state,
                                               const gradebook::TLocation& server) {
  if (std::system("runuser -u postgres -- psql -q -d quizloom -c "
                  "'TRUNCATE tests, test_questions, attempts, responses, accepted_answers'") != 0)
    return state.SkipWithError("the test server's gradebook could not be emptied"), nullptr;
  std::string error;
  bool needsPassword = false;
  auto store = gradebook::TStore::OpenServer(server, "classroom", error, needsPassword);
  if (!store) state.SkipWithError(error.c_str());
  return store;
}

void CollectIntoServer(benchmark::State& state) {
  ResultsFiles();
  for (auto _ : state) {
    state.PauseTiming();
    auto store = EmptyServer(state, {true, "", qEnvironmentVariable("PGHOST").toStdString(), "",
                                     "quizloom", "ateacher", ""});
    state.ResumeTiming();
    if (!store) return;
    Collect(state, *store);
  }
}

// The proxy's round trips so far.
int RoundTrips(QProcess& proxy) {
  proxy.write("\n");
  while (!proxy.canReadLine() && proxy.waitForReadyRead(5000)) {}
  return proxy.readLine().trimmed().toInt();
}

void CollectThroughFiveMilliseconds(benchmark::State& state) {
  ResultsFiles();
  QProcess proxy;
  proxy.start("python3", {QString(QUIZ_BENCH_DIR "/delay_proxy.py"),
                          qEnvironmentVariable("PGHOST") + "/.s.PGSQL.5432", "2.5"});
  while (!proxy.canReadLine() && proxy.waitForReadyRead(10000)) {}
  const QByteArray ready = proxy.readLine().trimmed();
  if (!ready.startsWith("ready ")) return state.SkipWithError("the delaying proxy did not start");
  const std::string port = ready.mid(6).toStdString();
  int trips = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto store = EmptyServer(state, {true, "", "127.0.0.1", port, "quizloom", "ateacher",
                                     "sslmode=disable"});
    const int before = RoundTrips(proxy);
    state.ResumeTiming();
    if (!store) break;
    Collect(state, *store);
    state.PauseTiming();
    trips += RoundTrips(proxy) - before;
    state.ResumeTiming();
  }
  state.counters["round_trips_per_attempt"] =
      benchmark::Counter(double(trips) / kFiles, benchmark::Counter::kAvgIterations);
  proxy.closeWriteChannel();
  proxy.waitForFinished(5000);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::RegisterBenchmark("CollectIntoSqlite", CollectIntoSqlite)
      ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
  if (!qEnvironmentVariableIsEmpty("PGHOST")) {
    benchmark::RegisterBenchmark("CollectIntoServer", CollectIntoServer)
        ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
    benchmark::RegisterBenchmark("CollectThroughFiveMilliseconds", CollectThroughFiveMilliseconds)
        ->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
  }
  bench::RunComparing(argc, argv,
                      {{"CollectIntoServer/iterations:3/real_time",
                        "CollectIntoSqlite/iterations:3/real_time"}},
                      3, {}, {{"CollectThroughFiveMilliseconds/iterations:2/real_time", 8000}});
}
