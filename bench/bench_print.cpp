// Printing a test of 1,200 questions, a picture on every tenth, to a PDF file through the
// printing service and the question sheet's printout, against drawing the same lines with
// one drawText per line (and the same pictures) straight into a QPdfWriter. The goal is at
// most twice the time and twice the file size: one text run per line, not an object per
// letter. With QUIZ_PRINT_QUEUE naming a print queue (bench_print_queue.sh starts one of its
// own), the same test printed to that queue, drawn once and handed to the print server, is
// compared with printing it to the PDF file: goal at most 1.2 times. Prints figures only.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "authoring/print_layout.h"
#include "bench/bench_question.h"
#include "bench/ratio_reporter.h"
#include "authoring/text_print.h"
#include "platform/font.h"
#include "platform/modal.h"
#include "platform/printer.h"

namespace {

constexpr int kQuestions = 1200;
constexpr char kPicture[] = "cell.bmp";

// The print dialog answered with a PDF file, or a print queue, and every page.
class PdfUser : public platform::ModalUser {
 public:
  explicit PdfUser(QString path, QString queue = {}) : path_(std::move(path)), queue_(std::move(queue)) {}
  int MessageBox(QWidget*, const std::string& text, const std::string&, unsigned) override {
    std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
    return platform::IDOK;
  }
  int RunDialog(QWidget*, platform::TDialog&) override { return platform::IDCANCEL; }
  std::optional<std::string> ChooseFile(QWidget*, platform::TOpenSaveDialogData&,
                                        platform::FileDialogKind) override {
    return std::nullopt;
  }
  void Help(QWidget*, const std::string&, int) override {}
  bool PrintDialog(QWidget*, QPrinter& printer, platform::TPrintDialogData&) override {
    if (!queue_.isEmpty()) {
      printer.setOutputFormat(QPrinter::NativeFormat);
      printer.setPrinterName(queue_);
      return true;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path_);
    return true;
  }

 private:
  QString path_;
  QString queue_;
};

struct Fixture {
  Fixture() {
    QDir::setCurrent(folder.path());
    QImage picture(QString(QUIZ_SAMPLES_DIR) + "/" + kPicture);
    picture.save(kPicture, "BMP");
    for (int i = 1; i <= kQuestions; ++i) questions.Add(bench::Question(i, i % 10 == 0 ? kPicture : ""));
    // The list window's screen font, "Courier" of height 10, which pictures are scaled from.
    const QFontMetrics screen(platform::ToQFont({"Courier", 10, 400}, 96));
    screenWidth = screen.horizontalAdvance('X');
    screenHeight = screen.height();
  }
  QTemporaryDir folder;
  core::TList<core::TQuestion> questions;
  int screenWidth, screenHeight;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

std::map<std::string, double> g_bytes;

void PrintTest(benchmark::State& state, const QString& queue) {
  Fixture& fixture = Shared();
  const QString path = fixture.folder.filePath("printed.pdf");
  PdfUser user(path, queue);
  platform::SetModalUser(&user);
  platform::TPrinter printer;
  for (auto _ : state) {
    quizloom::TTextPrint printout("bench.tst", fixture.questions, printer, fixture.screenWidth,
                                  fixture.screenHeight);
    if (!printer.Print(nullptr, printout, true)) state.SkipWithError("not printed");
  }
  platform::SetModalUser(nullptr);
  state.counters["pages"] = static_cast<double>(printer.PrintedPages().size());
  if (queue.isEmpty()) state.counters["pdf_bytes"] = g_bytes["BM_PrintTestToPdf"] = QFileInfo(path).size();
}

void BM_PrintTestToPdf(benchmark::State& state) { PrintTest(state, {}); }

void BM_PrintTestToQueue(benchmark::State& state) {
  PrintTest(state, qEnvironmentVariable("QUIZ_PRINT_QUEUE"));
}

// The same pages, each text line one drawText, the picture decoded once.
void BM_PlainDrawTextToPdf(benchmark::State& state) {
  Fixture& fixture = Shared();
  const QString path = fixture.folder.filePath("plain.pdf");
  const std::vector<core::TStart> pages = quizloom::Paginate(fixture.questions, false);
  const QImage picture(kPicture);
  for (auto _ : state) {
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    const QFont font = platform::ToQFont({"Courier New", 0, 400}, 1200);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height() + 3;
    for (std::size_t page = 0; page < pages.size(); ++page) {
      if (page > 0) writer.newPage();
      int y = 3 * lineHeight;
      for (int i = pages[page].first; i <= pages[page].last; ++i) {
        const core::TQuestion& question = fixture.questions[i];
        std::string line = std::to_string(i + 1) + ". ";
        for (const core::TLetter& letter : question.text) {
          if (letter.ch == '\r') {
            painter.drawText(5, y + metrics.ascent(), QString::fromLatin1(line));
            line.clear();
            y += lineHeight;
          } else if (letter.ch != '\n') {
            line += static_cast<char>(letter.ch);
          }
        }
        painter.drawText(5, y + metrics.ascent(), QString::fromLatin1(line));
        y += 2 * lineHeight;
        if (question.picture[0] != '\0') {
          const QSize size(
              platform::MulDiv(picture.width(), metrics.horizontalAdvance('X'), fixture.screenWidth),
              platform::MulDiv(picture.height(), lineHeight, fixture.screenHeight));
          painter.drawImage(QRect(QPoint(5, y), size), picture);
          y += size.height();
        } else {
          y += 2 * lineHeight;
        }
      }
    }
  }
  state.counters["pages"] = static_cast<double>(pages.size());
  state.counters["pdf_bytes"] = g_bytes["BM_PlainDrawTextToPdf"] = QFileInfo(path).size();
}

BENCHMARK(BM_PrintTestToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainDrawTextToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  if (!qEnvironmentVariableIsEmpty("QUIZ_PRINT_QUEUE"))
    benchmark::RegisterBenchmark("BM_PrintTestToQueue", BM_PrintTestToQueue)->Unit(benchmark::kMillisecond);
  bench::RunComparing(argc, argv,
                      {{"BM_PrintTestToPdf", "BM_PlainDrawTextToPdf"},
                       {"BM_PrintTestToQueue", "BM_PrintTestToPdf"}},
                      2, {{"BM_PrintTestToQueue", 1.2}});
  if (g_bytes["BM_PlainDrawTextToPdf"] > 0)
    std::printf("PDF size: BM_PrintTestToPdf / BM_PlainDrawTextToPdf = %.2f (goal at most 2)\n",
                g_bytes["BM_PrintTestToPdf"] / g_bytes["BM_PlainDrawTextToPdf"]);
  return 0;
}
