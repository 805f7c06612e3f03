// The printing end-to-end test's helper: says what the printed sheet of a test must hold.
//   quizloom_print_e2e_helper pages TEST_PATH          the number of pages
//   quizloom_print_e2e_helper lines TEST_PATH [PAGE]   the printed lines, of every page or one
//   quizloom_print_e2e_helper answers TEST_PATH        each answer that no question's text holds
//   quizloom_print_e2e_helper pictures TEST_PATH       writes 8 questions with pictures
// A line is a question's number and its text up to a hard or soft break, as the sheet breaks
// it; raised and lowered characters are plain characters here, as pdftotext reads them.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <cstdio>
#include <cstring>
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

// "1. y y H2 H2" has a raised 2 under its first y and an X under its second lowered 2. Its
// picture is a frame, 8 pixels wide, over white; "2. E = mc2" under it has its 2 raised.
int WritePictures(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  QImage small(640, 480, QImage::Format_Mono), large(2000, 1500, QImage::Format_Mono);
  small.fill(0);
  for (int y = 8; y < 472; ++y)
    for (int x = 8; x < 632; ++x) small.setPixel(x, y, 1);
  large.fill(0);
  if (!small.save(folder + "/small.bmp", "BMP") || !large.save(folder + "/large.bmp", "BMP")) return 1;
  core::TList<core::TQuestion> questions;
  for (int i = 0; i < 8; ++i) {
    auto question = std::make_unique<core::TQuestion>();
    question->text = samples::Formatted(i == 0   ? "y y H_2 H_2|   ^2       X"
                                        : i == 1 ? "E = mc^2"
                                                 : "What does the picture show?");
    std::strcpy(question->picture, i % 2 ? "large.bmp" : "small.bmp");
    questions.Add(std::move(question));
  }
  const std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
  QFile file(path);
  const auto size = static_cast<qint64>(bytes.size());
  return file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char*>(bytes.data()), size) == size ? 0 : 1;
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
