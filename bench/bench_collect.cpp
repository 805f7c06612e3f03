// Collecting 1,000 results files of 50 answers each into a new gradebook as Add Results Files
// does (one batch), as a ratio to reading and decoding the same files raw: the goal is at most
// 3x. Then copying a gradebook of 20,000 such attempts: the peak of the heap in use and of
// the process's resident memory are printed.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "core/results_codec.h"
#include "core/results_file.h"
#include "gradebook/store.h"

namespace {

constexpr int kFiles = 1000;
constexpr int kAnswers = 50;

// One student's attempt: every student answers the same test, each in a different way.
std::vector<uint8_t> StudentResults(int student) {
  core::TInformation information;
  core::CopyField(information.firstName, 21, "Student");
  core::CopyField(information.lastName, 21, std::to_string(student));
  core::CopyField(information.course, 21, "Biology");
  core::CopyField(information.period, 6, "3");
  core::CopyField(information.instructor, 26, "Smith");
  core::CopyField(information.testFile, 80, "C:\\TESTS\\CELLS.TST");
  information.questionCount = kAnswers;
  const int32_t marks[500] = {};
  for (int number = 1; number <= kAnswers; ++number) {
    const std::string question = "What does organelle " + std::to_string(number) +
                                 " of the cell do?\r\nAnswer in one word.";
    const std::string expected = "answer" + std::to_string(number);
    const bool right = (student + number) % 3 != 0;
    const std::string given = right ? expected : "guess" + std::to_string(student % 7);
    information.correctCount += right;
    information.responses.Add(std::make_unique<core::TResponse>(
        number, given.c_str(), expected.c_str(), question.c_str(), right ? 1 : 0, marks, marks,
        marks));
  }
  return core::EncodeResults(information);
}

struct Files {
  Files() {
    for (int student = 0; student < kFiles; ++student) {
      paths.push_back(folder.filePath(QString("r%1.qzr").arg(student)).toStdString());
      QFile file(QString::fromStdString(paths.back()));
      const std::vector<uint8_t> bytes = StudentResults(student);
      if (!file.open(QIODevice::WriteOnly) ||
          file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) < 0)
        std::abort();
    }
  }
  QTemporaryDir folder;
  std::vector<std::string> paths;
};

Files& TheFiles() {
  static Files files;
  return files;
}

void BM_ReadRaw(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& path : TheFiles().paths) {
      core::ResultsReadError error;
      auto information = core::ReadResultsFile(path, error);
      if (!information) std::abort();
      benchmark::DoNotOptimize(information);
    }
  }
}
BENCHMARK(BM_ReadRaw)->Unit(benchmark::kMillisecond);

void BM_Collect(benchmark::State& state) {
  int round = 0;
  for (auto _ : state) {
    const std::string gradebook =
        TheFiles().folder.filePath(QString("gradebook%1.sqlite").arg(++round)).toStdString();
    std::string error;
    auto store = gradebook::TStore::Open(gradebook, error);
    if (!store || !store->BeginBatch()) std::abort();
    for (const std::string& path : TheFiles().paths) {
      core::ResultsReadError readError;
      auto information = core::ReadResultsFile(path, readError);
      if (!information ||
          store->Collect(*information, {}) != gradebook::TStore::Outcome::Added)
        std::abort();
    }
    if (!store->EndBatch()) std::abort();
  }
}
BENCHMARK(BM_Collect)->Unit(benchmark::kMillisecond)->Iterations(3);

constexpr int kCopied = 20000;

void BM_Copy20000(benchmark::State& state) {
  std::string error;
  auto from = gradebook::TStore::Open(
      TheFiles().folder.filePath("copied-from.sqlite").toStdString(), error);
  if (!from || !from->BeginBatch()) std::abort();
  for (int student = 0; student < kCopied; ++student) {
    const std::vector<uint8_t> bytes = StudentResults(student);
    auto information = core::DecodeResults(bytes);
    if (!information || from->Collect(*information, {}) != gradebook::TStore::Outcome::Added)
      std::abort();
  }
  if (!from->EndBatch()) std::abort();
  int round = 0;
  for (auto _ : state) {
    auto to = gradebook::TStore::Open(
        TheFiles().folder.filePath(QString("copied-to%1.sqlite").arg(++round)).toStdString(),
        error);
    if (!to) std::abort();
    const std::size_t before = mallinfo2().uordblks;
    std::size_t peak = before;
    const auto counts = to->CopyFrom(*from, [&](int, int) {
      peak = std::max(peak, mallinfo2().uordblks);
      return true;
    });
    if (!counts || counts->copied != kCopied) std::abort();
    state.counters["heap_growth_MB"] = double(peak - before) / (1 << 20);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_Copy20000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  TheFiles();
  bench::RunComparing(argc, argv, {{"BM_Collect/iterations:3", "BM_ReadRaw"}}, 3);
  return 0;
}
