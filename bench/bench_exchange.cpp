// Exporting a 2,000-question test to GIFT and to Moodle XML and importing it back, each as a
// ratio to saving and loading the same test as a test file: the goal is at most 3x. Moodle
// XML's import is also measured against Qt's XML reader merely reading through the same
// file, the least any reader of it costs: the goal is at most 2x. Export and import run as
// the commands do: the bytes through QSaveFile, the file read whole.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
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

QByteArray ReadWhole(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) std::abort();
  return file.readAll();
}

void WriteExport(const Fixture& f, quizloom::ExchangeFormat format) {
  quizloom::ExportReport report;
  Write(f.Path("bench.in"), format == quizloom::ExchangeFormat::Gift
                                ? quizloom::WriteGift(f.test.questions, report)
                                : quizloom::WriteMoodleXml(f.test.questions, {}, report));
}

void Import(benchmark::State& state, quizloom::ExchangeFormat format) {
  Fixture f;
  WriteExport(f, format);
  const bool gift = format == quizloom::ExchangeFormat::Gift;
  for (auto _ : state) {
    const QByteArray bytes = ReadWhole(f.Path("bench.in"));
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

void BM_ReadXmlTokens(benchmark::State& state) {
  Fixture f;
  WriteExport(f, quizloom::ExchangeFormat::MoodleXml);
  for (auto _ : state) {
    QXmlStreamReader xml(ReadWhole(f.Path("bench.in")));
    while (!xml.atEnd()) xml.readNext();
    if (xml.hasError()) std::abort();
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
BENCHMARK(BM_ReadXmlTokens)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportMoodleXml)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  bench::RunComparing(argc, argv,
                      {{"BM_ExportGift", "BM_SaveTestFile"},
                       {"BM_ExportMoodleXml", "BM_SaveTestFile"},
                       {"BM_ImportGift", "BM_LoadTestFile"},
                       {"BM_ImportMoodleXml", "BM_ReadXmlTokens"}},
                      3, {{"BM_ImportMoodleXml", 2}});
  return 0;
}
