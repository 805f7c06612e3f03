// One keystroke in the editor's worst question: the character handler with its re-wrap and
// the paint that follows, on an offscreen surface, against six plain drawText runs of the
// same lines. Prints figures only; nothing here is a pass or a fail.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "editor/editor_host.h"
#include "editor/input_dialog.h"
#include "platform/cp1252.h"
#include "platform/font.h"
#include "platform/modal.h"

namespace {

class NullHost : public editor::TEditorHost {
 public:
  void SetEditorMenu(resources::ResId) override {}
  void EditorOk() override {}
  void EditorCancel() override {}
};

// A message box would stop the measurement: none is expected.
class NoPrompts : public platform::ModalUser {
 public:
  int MessageBox(QWidget*, const std::string& text, const std::string&, unsigned) override {
    std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
    std::abort();
  }
  int RunDialog(QWidget*, platform::TDialog&) override { std::abort(); }
  std::optional<std::string> ChooseFile(QWidget*, platform::TOpenSaveDialogData&,
                                        platform::FileDialogKind) override {
    std::abort();
  }
  void Help(QWidget*, const std::string&, int) override {}
};

// Six lines of 494 bytes: unbreakable runs, as only they reach the byte limit.
std::vector<std::string> LongLines() {
  std::vector<std::string> lines;
  for (int i = 0; i < 6; ++i) lines.push_back(std::string(i < 5 ? 82 : 79, 'a' + i));
  return lines;
}

// Six full lines of short words, so that a character typed at the start reflows them all.
std::vector<std::string> WordLines() {
  std::vector<std::string> lines;
  for (int i = 0; i < 6; ++i) {
    std::string line;
    while (line.size() + 5 <= 74) line += "abcd ";
    line += i < 5 ? "xy" : "x";
    lines.push_back(line);
  }
  return lines;
}

void Fill(editor::TInputDialog& dialog, const std::vector<std::string>& lines, bool soft) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += soft ? "\r\n" : "\r";
    text += lines[i];
  }
  std::memset(dialog.questionText, 0, sizeof dialog.questionText);
  std::memcpy(dialog.questionText, text.data(), text.size());
  for (size_t i = 0; i < text.size(); ++i)
    dialog.questionMarks[i] = text[i] == '\r' || text[i] == '\n' ? 0 : static_cast<int>(i % 3);
}

void KeystrokeAndPaint(benchmark::State& state, const std::vector<std::string>& lines,
                       bool soft, bool paint = true) {
  NullHost host;
  editor::TInputDialog dialog(nullptr, host, editor::EditorProgram::Quizloom);
  dialog.resize(800, 420);
  Fill(dialog, lines, soft);
  dialog.BeginEditing();
  dialog.UpdateWindow();
  const int length = static_cast<int>(std::strlen(dialog.questionText));
  for (auto _ : state) {
    // A character typed at the start, then taken back: two keystrokes, each re-wrapped
    // and painted, leaving the question as it was.
    dialog.questionCaret = 0;
    dialog.caretX = 4;
    dialog.caretY = 20;
    dialog.EvChar('z');
    if (paint) dialog.UpdateWindow();
    dialog.EvChar(8);
    if (paint) dialog.UpdateWindow();
  }
  if (static_cast<int>(std::strlen(dialog.questionText)) != length)
    state.SkipWithError("the question changed");
  state.SetItemsProcessed(state.iterations() * 2);
  state.counters["keystrokes"] = benchmark::Counter(
      static_cast<double>(state.iterations() * 2), benchmark::Counter::kIsRate);
}

void PlainDrawText(benchmark::State& state, const std::vector<std::string>& lines) {
  QImage surface(800, 420, QImage::Format_RGB32);
  const QFont font = platform::ToQFont(platform::TFont{"Courier", 10, 400}, 96);
  const QFontMetrics metrics(font);
  std::vector<QString> texts;
  for (const std::string& line : lines) texts.push_back(platform::FromCp1252(line));
  for (auto _ : state) {
    // Two paints, as two keystrokes make.
    for (int paint = 0; paint < 2; ++paint) {
      QPainter painter(&surface);
      painter.setFont(font);
      int y = 20;
      for (const QString& text : texts) {
        painter.drawText(4, y + metrics.ascent(), text);
        y += metrics.height() + 3;
      }
    }
    benchmark::DoNotOptimize(surface.constBits());
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

void BM_Keystroke_494BytesSixLines(benchmark::State& state) {
  KeystrokeAndPaint(state, LongLines(), false);
}
void BM_Keystroke_SixWrappedLinesReflow(benchmark::State& state) {
  KeystrokeAndPaint(state, WordLines(), true);
}
// The character handler alone, to tell the re-wrap from the painting.
void BM_HandlerOnly_SixWrappedLinesReflow(benchmark::State& state) {
  KeystrokeAndPaint(state, WordLines(), true, false);
}
void BM_PlainDrawText_494BytesSixLines(benchmark::State& state) {
  PlainDrawText(state, LongLines());
}
void BM_PlainDrawText_SixWrappedLines(benchmark::State& state) {
  PlainDrawText(state, WordLines());
}

BENCHMARK(BM_Keystroke_494BytesSixLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainDrawText_494BytesSixLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Keystroke_SixWrappedLinesReflow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainDrawText_SixWrappedLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HandlerOnly_SixWrappedLinesReflow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  NoPrompts noPrompts;
  platform::SetModalUser(&noPrompts);
  // A keystroke against drawing its lines plainly; the figures are for comparing only.
  bench::RunComparing(argc, argv,
                      {{"BM_Keystroke_494BytesSixLines", "BM_PlainDrawText_494BytesSixLines"},
                       {"BM_Keystroke_SixWrappedLinesReflow", "BM_PlainDrawText_SixWrappedLines"}},
                      0);
  platform::SetModalUser(nullptr);
  return 0;
}
