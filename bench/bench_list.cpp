// The question list painted on its offscreen surface: a test of 10 questions, and one of
// 5,000 scrolled to its middle and to its end, each without and with a picture in every
// question (a few distinct files of 200x150 pixels). Only what is visible should cost, so the
// long test ought to paint in at most twice the time of the short one. Prints figures only.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <string>

#include "authoring/application.h"
#include "bench/bench_question.h"
#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "bench/ratio_reporter.h"
#include "platform/scroller.h"

namespace {

constexpr int kPictureFiles = 4;

std::string PictureName(int number) { return "pic" + std::to_string(number % kPictureFiles) + ".bmp"; }

// The pictures, written into a folder of their own that becomes the current directory, where
// the list looks them up by bare name.
void WritePictures(const QTemporaryDir& folder) {
  QDir::setCurrent(folder.path());
  for (int i = 0; i < kPictureFiles; ++i) {
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(i * 360 / kPictureFiles, 200, 220));
    image.save(QString::fromStdString(PictureName(i)), "BMP");
  }
}

enum class Where { Top, Middle, End };

void PaintList(benchmark::State& state, int count, Where where, bool pictures = false) {
  quizloom::TMyApp app(false);
  quizloom::TTestWindow& window = app.Window();
  quizloom::TBlankWindow& list = *window.listWindow;
  for (int i = 1; i <= count; ++i) list.openTest.questions.Add(bench::Question(i, pictures ? PictureName(i) : std::string()));
  list.openTest.fileName = "bench.tst";
  window.show();
  QApplication::processEvents();
  list.Invalidate(true);
  list.UpdateWindow();  // sets the unit and the range
  platform::TScroller& scroller = *list.Scroller();
  const int range = scroller.YRange();
  scroller.ScrollTo(0, where == Where::Top ? 0 : where == Where::Middle ? range / 2 : range);
  for (auto _ : state) {
    list.Invalidate(true);
    list.UpdateWindow();
  }
  state.counters["questions"] = count;
  state.counters["position"] = scroller.YPos();
}

void BM_Paint10AtTheTop(benchmark::State& state) { PaintList(state, 10, Where::Top); }
void BM_Paint5000InTheMiddle(benchmark::State& state) { PaintList(state, 5000, Where::Middle); }
void BM_Paint5000AtTheEnd(benchmark::State& state) { PaintList(state, 5000, Where::End); }

void BM_Pictures10AtTheTop(benchmark::State& state) { PaintList(state, 10, Where::Top, true); }
void BM_Pictures5000InTheMiddle(benchmark::State& state) {
  PaintList(state, 5000, Where::Middle, true);
}
void BM_Pictures5000AtTheEnd(benchmark::State& state) { PaintList(state, 5000, Where::End, true); }

BENCHMARK(BM_Paint10AtTheTop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Paint5000InTheMiddle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Paint5000AtTheEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pictures10AtTheTop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pictures5000InTheMiddle)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pictures5000AtTheEnd)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  QTemporaryDir pictures;
  if (!pictures.isValid()) return 1;
  WritePictures(pictures);
  // Each long paint against the short one of its kind, and the long ones with pictures also
  // against the short list without.
  bench::RunComparing(argc, argv,
                      {{"BM_Paint5000InTheMiddle", "BM_Paint10AtTheTop"},
                       {"BM_Paint5000AtTheEnd", "BM_Paint10AtTheTop"},
                       {"BM_Pictures5000InTheMiddle", "BM_Pictures10AtTheTop"},
                       {"BM_Pictures5000AtTheEnd", "BM_Pictures10AtTheTop"},
                       {"BM_Pictures5000InTheMiddle", "BM_Paint10AtTheTop"},
                       {"BM_Pictures5000AtTheEnd", "BM_Paint10AtTheTop"}},
                      2);
  return 0;
}
