// Opening Class Results for 1,000 attempts of 50 questions: the figures alone (goal at most
// 20 ms) and the window read from the gradebook, laid out and shown (goal at most 300 ms);
// accepting an answer in it, stored, regraded and redrawn (goal at most 100 ms). The
// gradebook is filled once in a temporary folder. Prints figures only.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "bench/ratio_reporter.h"
#include "gradebook/class_data.h"
#include "gradebook/class_results_window.h"
#include "gradebook/statistics.h"
#include "gradebook/store.h"
#include "platform/modal.h"
#include "platform/printer.h"

namespace {

constexpr int kAttempts = 1000;
constexpr int kQuestions = 50;

// A class whose stronger students get more right; wrong answers come from a few common ones.
std::vector<std::unique_ptr<core::TInformation>> MakeClass() {
  std::mt19937 random(20);
  std::vector<std::unique_ptr<core::TInformation>> attempts;
  for (int a = 0; a < kAttempts; ++a) {
    auto info = std::make_unique<core::TInformation>();
    const std::string first = "Student" + std::to_string(a);
    core::CopyField(info->firstName, sizeof info->firstName, first);
    core::CopyField(info->lastName, sizeof info->lastName, "Bench");
    core::CopyField(info->course, sizeof info->course, "Chemistry");
    core::CopyField(info->period, sizeof info->period, "3");
    core::CopyField(info->testFile, sizeof info->testFile, "C:\\TESTS\\BENCH.TST");
    info->year = 2026, info->month = 3, info->day = 7;
    info->questionCount = kQuestions;
    const double ability = (a % 100) / 100.0;
    for (int q = 1; q <= kQuestions; ++q) {
      int32_t marks[500] = {}, givenMarks[51] = {}, expectedMarks[51] = {};
      expectedMarks[1] = 2;
      const bool right = std::uniform_real_distribution<>(0, 1)(random) < 0.3 + 0.6 * ability;
      std::string given = right ? "H2O" : std::string(1, "ABCDE"[random() % 5]);
      if (right) givenMarks[1] = 2;
      const std::string text = "Question " + std::to_string(q) + ": what is water?";
      info->responses.Add(std::make_unique<core::TResponse>(q, given.c_str(), "H2O", text.c_str(),
                                                            right, givenMarks, expectedMarks,
                                                            marks));
      info->correctCount += right;
    }
    attempts.push_back(std::move(info));
  }
  return attempts;
}

struct Gradebook {
  QTemporaryDir folder;
  std::unique_ptr<gradebook::TStore> store;
  int64_t testId = 0;
  std::vector<std::unique_ptr<core::TInformation>> attempts = MakeClass();
  Gradebook() {
    std::string error;
    store = gradebook::TStore::Open(folder.filePath("gradebook.sqlite").toStdString(), error);
    if (!store) std::fprintf(stderr, "gradebook: %s\n", error.c_str()), std::exit(1);
    for (const auto& attempt : attempts) store->Collect(*attempt, [](const auto&) { return false; });
    testId = store->Tests().value().front().id;
  }
};

Gradebook& Filled() {
  static Gradebook gradebook;
  return gradebook;
}

void BM_ClassFigures(benchmark::State& state) {
  std::vector<const core::TInformation*> attempts;
  for (const auto& attempt : Filled().attempts) attempts.push_back(attempt.get());
  for (auto _ : state) {
    const gradebook::TClassData data = gradebook::GatherClass(attempts, kQuestions);
    benchmark::DoNotOptimize(gradebook::Summarize(data.answers, kQuestions));
    benchmark::DoNotOptimize(gradebook::FigureQuestions(data.answers, kQuestions));
  }
}
BENCHMARK(BM_ClassFigures)->Unit(benchmark::kMillisecond);

void BM_ClassResultsWindowShown(benchmark::State& state) {
  Gradebook& gradebook = Filled();
  platform::TPrinter printer;
  gradebook::TGradebookThread here(*gradebook.store);
  for (auto _ : state) {
    gradebook::TClassResultsWindow window(here, gradebook.testId, "BENCH.TST", printer, nullptr);
    window.Reload();
    window.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.isVisible());
  }
}
BENCHMARK(BM_ClassResultsWindowShown)->Unit(benchmark::kMillisecond);

// A teacher who answers Yes to every confirmation.
class YesUser : public platform::ModalUser {
 public:
  int MessageBox(QWidget*, const std::string&, const std::string&, unsigned) override {
    return platform::IDYES;
  }
  int RunDialog(QWidget*, platform::TDialog&) override { return platform::IDCANCEL; }
  std::optional<std::string> ChooseFile(QWidget*, platform::TOpenSaveDialogData&,
                                        platform::FileDialogKind) override {
    return std::nullopt;
  }
  void Help(QWidget*, const std::string&, int) override {}
};

// One wrong answer of question 1 accepted, or no longer accepted, in turn: each step is
// stored, the class regraded and every table and chart drawn again.
void BM_AcceptAnswerRegradedAndRedrawn(benchmark::State& state) {
  Gradebook& gradebook = Filled();
  platform::TPrinter printer;
  YesUser yes;
  platform::SetModalUser(&yes);
  gradebook::TGradebookThread here(*gradebook.store);
  gradebook::TClassResultsWindow window(here, gradebook.testId, "BENCH.TST", printer, nullptr);
  window.Reload();
  window.Tabs()->setCurrentIndex(1);  // the Questions tab, where the teacher accepts
  window.show();
  QApplication::processEvents();
  const gradebook::TAcceptance answer{1, gradebook::TAcceptKind::ThisAnswer, {{'A', 0}}};
  bool accept = true;
  for (auto _ : state) {
    window.CmChangeAcceptance(answer, accept);
    window.repaint();
    QApplication::processEvents();
    accept = !accept;
  }
  platform::SetModalUser(nullptr);
  if (!accept) gradebook.store->StopAccepting(gradebook.testId, answer);
}
BENCHMARK(BM_AcceptAnswerRegradedAndRedrawn)->Unit(benchmark::kMillisecond);

// The part of the window's time that is reading the attempts from the gradebook.
void BM_GradebookAttempts(benchmark::State& state) {
  Gradebook& gradebook = Filled();
  for (auto _ : state) benchmark::DoNotOptimize(gradebook.store->Attempts(gradebook.testId));
}
BENCHMARK(BM_GradebookAttempts)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::RunComparing(argc, argv, {}, 0, {},
                      {{"BM_ClassFigures", 20},
                       {"BM_ClassResultsWindowShown", 300},
                       {"BM_AcceptAnswerRegradedAndRedrawn", 100}});
  return 0;
}
