// The printing end-to-end test's helper: says what the printed sheet of a test must hold.
//   quizloom_print_e2e_helper pages TEST_PATH          the number of pages
//   quizloom_print_e2e_helper lines TEST_PATH [PAGE]   the printed lines, of every page or one
//   quizloom_print_e2e_helper answers TEST_PATH        each answer that no question's text holds
//   quizloom_print_e2e_helper pictures TEST_PATH       writes a test of 8 questions, each with
//     a 640x480 or a 2000x1500 picture beside it, the first with raised and lowered letters
//     next to descenders and capitals (see the script)
// A line is a question's number and its text up to a hard or soft break, as the sheet breaks
// it; raised and lowered characters are plain characters here, as pdftotext reads them.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "authoring/print_layout.h"
#include "core/test_file_codec.h"
#include "samples/sample_test.h"

namespace {

std::string Plain(const core::TLetters& letters) {
  std::string text;
  for (const core::TLetter& letter : letters)
    if (letter.ch != '\n') text += static_cast<char>(letter.ch);
  return text;
}

void PrintLines(const core::TList<core::TQuestion>& questions, int first, int last) {
  for (int i = first; i <= last; ++i) {
    std::string text = std::to_string(i + 1) + ". " + Plain(questions[i].text);
    for (char& c : text)
      if (c == '\r') c = '\n';
    std::printf("%s\n", text.c_str());
  }
}

bool WritePicture(const QString& path, int width, int height) {
  QImage image(width, height, QImage::Format_Mono);
  image.fill(1);
  QPainter painter(&image);
  painter.fillRect(0, 0, width, 8, Qt::color0);
  painter.fillRect(0, height - 8, width, 8, Qt::color0);
  painter.end();
  return image.save(path, "BMP");
}

int WritePictures(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  if (!WritePicture(folder + "/small.bmp", 640, 480) || !WritePicture(folder + "/large.bmp", 2000, 1500))
    return 1;
  core::TList<core::TQuestion> questions;
  for (int i = 0; i < 8; ++i) {
    auto question = std::make_unique<core::TQuestion>();
    // "1. y y H2 H2": under the y of column 3 a raised letter, under that of column 5 nothing;
    // under the lowered 2 of column 11 a capital, under that of column 8 nothing.
    question->text = samples::Formatted(i == 0 ? "y y H_2 H_2|   ^2       X" : "What does the picture show?");
    question->answer = samples::Formatted("a frame");
    std::strncpy(question->picture, i % 2 ? "large.bmp" : "small.bmp", sizeof question->picture - 1);
    questions.Add(std::move(question));
  }
  const std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
  QFile file(path);
  return file.open(QIODevice::WriteOnly) &&
                 file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
                     static_cast<qint64>(bytes.size())
             ? 0
             : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) return 2;
  const std::string command = argv[1];
  if (command == "pictures") return WritePictures(QString::fromLocal8Bit(argv[2]));
  QFile file(QString::fromLocal8Bit(argv[2]));
  if (!file.open(QIODevice::ReadOnly)) return 1;
  const QByteArray bytes = file.readAll();
  core::TList<core::TQuestion> questions;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
  if (core::DecodeTestFile({data, static_cast<std::size_t>(bytes.size())}, questions) !=
      core::DecodeResult::Ok)
    return 1;
  const std::vector<core::TStart> pages = quizloom::Paginate(questions, false);
  if (command == "pages") {
    std::printf("%zu\n", pages.size());
  } else if (command == "lines" && argc == 3) {
    PrintLines(questions, 0, questions.Count() - 1);
  } else if (command == "lines") {
    const std::size_t page = std::stoul(argv[3]);
    if (page < 1 || page > pages.size()) return 1;
    PrintLines(questions, pages[page - 1].first, pages[page - 1].last);
  } else if (command == "answers") {
    std::string all;
    for (const auto& question : questions) all += Plain(question->text) + "\n";
    for (const auto& question : questions) {
      const std::string answer = Plain(question->answer);
      if (!answer.empty() && all.find(answer) == std::string::npos) std::printf("%s\n", answer.c_str());
    }
  } else {
    return 2;
  }
  return 0;
}
