// Exporting a 2,000-question test to GIFT and to Moodle XML and importing it back, each as a
// ratio to saving and loading the same test as a test file: the goal is at most 3x. Export
// and import run as the commands do: the bytes through QSaveFile, the file read whole.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include "authoring/exchange_format.h"
#include "bench/bench_question.h"
#include "bench/ratio_reporter.h"
#include "core/test_file.h"

namespace {

constexpr int kQuestions = 2000;

struct Fixture {
  Fixture() {
    for (int i = 1; i <= kQuestions; ++i) test.questions.Add(bench::Question(i));
    test.fileName = folder.filePath("bench.tst").toStdString();
    core::Save(test, nullptr, {});
  }
  QString Path(const char* name) const { return folder.filePath(name); }
  QTemporaryDir folder;
  core::TOpenTest test;
};

void Write(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    std::abort();
}

void Export(benchmark::State& state, quizloom::ExchangeFormat format) {
  Fixture f;
  for (auto _ : state) {
    quizloom::ExportReport report;
    Write(f.Path("bench.out"), format == quizloom::ExchangeFormat::Gift
                                   ? quizloom::WriteGift(f.test.questions, report)
                                   : quizloom::WriteMoodleXml(f.test.questions, {}, report));
  }
}

void Import(benchmark::State& state, quizloom::ExchangeFormat format) {
  Fixture f;
  quizloom::ExportReport report;
  const bool gift = format == quizloom::ExchangeFormat::Gift;
  Write(f.Path("bench.in"), gift ? quizloom::WriteGift(f.test.questions, report)
                                 : quizloom::WriteMoodleXml(f.test.questions, {}, report));
  for (auto _ : state) {
    QFile file(f.Path("bench.in"));
    if (!file.open(QIODevice::ReadOnly)) std::abort();
    const QByteArray bytes = file.readAll();
    const std::string_view view(bytes.constData(), std::size_t(bytes.size()));
    quizloom::PlatformImport read = gift ? quizloom::ReadGift(view) : quizloom::ReadMoodleXml(view);
    core::TList<core::TQuestion> questions;
    for (quizloom::ImportedQuestion& imported : read.questions)
      questions.Add(std::make_unique<core::TQuestion>(std::move(imported.question)));
    if (questions.Count() != kQuestions) std::abort();
  }
}

void BM_SaveTestFile(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) core::Save(f.test, nullptr, {});
}

void BM_LoadTestFile(benchmark::State& state) {
  Fixture f;
  core::TOpenTest loaded;
  loaded.fileName = f.test.fileName;
  for (auto _ : state) {
    loaded.questions.Clear();
    core::Load(loaded, nullptr);
  }
}

void BM_ExportGift(benchmark::State& state) { Export(state, quizloom::ExchangeFormat::Gift); }
void BM_ExportMoodleXml(benchmark::State& state) { Export(state, quizloom::ExchangeFormat::MoodleXml); }
void BM_ImportGift(benchmark::State& state) { Import(state, quizloom::ExchangeFormat::Gift); }
void BM_ImportMoodleXml(benchmark::State& state) { Import(state, quizloom::ExchangeFormat::MoodleXml); }

BENCHMARK(BM_SaveTestFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportGift)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportMoodleXml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTestFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportGift)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportMoodleXml)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  bench::RunComparing(argc, argv,
                      {{"BM_ExportGift", "BM_SaveTestFile"},
                       {"BM_ExportMoodleXml", "BM_SaveTestFile"},
                       {"BM_ImportGift", "BM_LoadTestFile"},
                       {"BM_ImportMoodleXml", "BM_LoadTestFile"}},
                      3);
  return 0;
}
