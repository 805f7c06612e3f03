// Loading a text file of 62,999 characters into the import window (read, decode, show), as a
// ratio to one setPlainText of the same text on the same window: the goal is at most 2x,
// which holds when the file goes in as one text rather than character by character.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <string>

#include "authoring/application.h"
#include "authoring/import_window.h"
#include "authoring/test_window.h"
#include "authoring/text_decoding.h"
#include "bench/ratio_reporter.h"
#include "platform/cp1252.h"

namespace {

// Lines of a lesson with CR LF ends, cut to exactly the limit (a line end counts one).
std::string LessonText() {
  const std::string lines[] = {
      "Water on the Earth is always on the move. It is never made new,",
      "nor does it ever get used up: the same water goes round and round",
      "between the oceans, the air and the land. This endless journey of",
      "water is called the water cycle, and it has no beginning or end.",
  };
  std::string text;
  int characters = 0;
  for (int i = 0; characters < quizloom::kImportLimit; ++i) {
    for (char c : lines[i % 4] + "\n") {
      if (characters == quizloom::kImportLimit) break;
      text += c == '\n' ? std::string("\r\n") : std::string(1, c);
      ++characters;
    }
  }
  return text;
}

struct Fixture {
  Fixture() : app(false), window(*app.Window().importWindow) {
    path = folder.filePath("lesson.txt").toStdString();
    QFile file(QString::fromStdString(path));
    const std::string bytes = LessonText();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), qint64(bytes.size())) < 0)
      std::abort();
    file.close();
    plain = platform::FromCp1252(quizloom::DecodeTextFile(
        {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}).text);
    app.Window().SetClient(&window);
    app.Window().show();
    QApplication::processEvents();
  }
  QTemporaryDir folder;
  quizloom::TMyApp app;
  quizloom::TImportWindow& window;
  std::string path;
  QString plain;
};

void BM_OpenFile(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    if (!f.window.openFile(f.path)) state.SkipWithError("not opened");
  }
  state.counters["characters"] = static_cast<double>(f.plain.size());
}

void BM_SetPlainText(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) f.window.Editor()->setPlainText(f.plain);
  state.counters["characters"] = static_cast<double>(f.plain.size());
}

BENCHMARK(BM_OpenFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetPlainText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  bench::RunComparing(argc, argv, {{"BM_OpenFile", "BM_SetPlainText"}}, 2);
  return 0;
}
