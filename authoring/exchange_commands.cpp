#include <memory>
#include <vector>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>

#include "authoring/blank_window.h"
#include "authoring/exchange_format.h"
#include "authoring/test_window.h"
#include "platform/bitmap.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/scroller.h"
#include "platform/system.h"

namespace quizloom {

namespace {

constexpr char kExportCaption[] = "Export";
constexpr char kImportCaption[] = "Import From Platform";

std::string Plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Lists in a notice name this many, then say how many more there are.
constexpr std::size_t kShown = 12;

// "(question 8)", "(questions 1, 2, 5)"; a long list ends "and 12 more".
std::string NumberList(const std::vector<int>& numbers) {
  std::string list = numbers.size() == 1 ? "(question " : "(questions ";
  for (std::size_t i = 0; i < numbers.size() && i < kShown; ++i)
    list += (i > 0 ? ", " : "") + std::to_string(numbers[i]);
  if (numbers.size() > kShown) list += " and " + std::to_string(numbers.size() - kShown) + " more";
  return list + ")";
}

// Ends a message's sentence with one period, whatever the text before it ends with.
std::string Sentence(std::string text) {
  while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
  return text + ".";
}

std::string ShownName(const std::string& path) {
  return platform::PathToText(platform::PathFromQt(QFileInfo(platform::PathToQt(path)).fileName()));
}

// Each picture of the test as a PNG named after its file, read by bare name from the
// current folder as the list shows it.
std::vector<ExchangePicture> PicturesAsPng(const core::TList<core::TQuestion>& questions) {
  std::vector<ExchangePicture> pictures;
  for (const auto& question : questions) {
    ExchangePicture& picture = pictures.emplace_back();
    if (question->picture[0] == '\0') continue;
    const QString file = platform::PathToQt(platform::FileNameFromText(question->picture));
    picture.name = QFileInfo(file).completeBaseName() + ".png";
    const platform::TBitmap bitmap = platform::TBitmap::FromFile(platform::PathFromQt(file));
    if (bitmap.IsNull()) continue;
    QBuffer buffer(&picture.bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!bitmap.Image().save(&buffer, "PNG")) picture.bytes.clear();
  }
  return pictures;
}

std::string ExportNotice(ExchangeFormat format, int count, const std::string& file,
                         const ExportReport& report) {
  std::string notice = Plural(static_cast<std::size_t>(count), "question was", "questions were") +
                       " written to \"" + file + "\".";
  if (!report.unmarkedAnswers.empty())
    notice += "\n\n" + Plural(report.unmarkedAnswers.size(), "answer", "answers") +
              " lost raised or lowered letters, which platforms cannot compare " +
              NumberList(report.unmarkedAnswers) + ".";
  if (format == ExchangeFormat::Gift) {
    if (!report.matchingAnswers.empty())
      notice += "\n\n" + Plural(report.matchingAnswers.size(), "answer holds", "answers hold") +
                " \"->\", which a platform reading GIFT takes for a matching question " +
                NumberList(report.matchingAnswers) + "; export to Moodle XML to keep it.";
    if (!report.picturesLeft.empty())
      notice += "\n\n" + Plural(report.picturesLeft.size(), "question shows", "questions show") +
                " a picture that GIFT cannot carry; only the picture's name is written.";
    notice +=
        "\n\nA platform reading GIFT ignores capital letters and spaces around an answer, "
        "where Quizdesk judges the exact letters. Moodle XML keeps the exact letters.";
  } else if (!report.picturesLeft.empty()) {
    notice += "\n\n" + Plural(report.picturesLeft.size(), "picture was", "pictures were") +
              " not found or could not be read, and left out " + NumberList(report.picturesLeft) +
              ".";
  }
  return notice;
}

// A question added without its picture: the picture's name and the question's number.
struct LostPicture {
  QString name;
  int number;
};

std::string ImportNotice(const PlatformImport& result, int firstNumber,
                         const std::vector<LostPicture>& lostPictures) {
  std::string notice = Plural(result.questions.size(), "question was", "questions were") + " added.";
  const struct { int count; const char* reason; } skipped[] = {
      {result.otherTypes, "of a type other than short answer"},
      {result.noAnswer, "without an answer worth 100%"},
      {result.refusedWeights, "with an answer weight that platforms refuse (a number from -100 to 100 is needed)"},
      {result.wildcardAnswers, "with a \"*\" wildcard in the answer"},
      {result.textTooLong, "with a question over 495 characters or 6 lines, or none"},
      {result.answerTooLong, "with an answer over 49 characters"},
      {result.answerCharacters, "with an answer holding characters a test cannot store"},
  };
  std::string reasons;
  for (const auto& [count, reason] : skipped)
    if (count > 0) reasons += "\n" + std::to_string(count) + " " + reason;
  if (!reasons.empty()) notice += "\n\nSkipped:" + reasons;
  // What the added questions lost, by their numbers in the test.
  std::vector<int> otherAnswers, anyCase, linesJoined;
  for (std::size_t i = 0; i < result.questions.size(); ++i) {
    const int number = firstNumber + static_cast<int>(i);
    if (result.questions[i].otherAnswers > 0) otherAnswers.push_back(number);
    if (result.questions[i].anyCase) anyCase.push_back(number);
    if (result.questions[i].linesJoined) linesJoined.push_back(number);
  }
  if (!otherAnswers.empty())
    notice += "\n\n" + Plural(otherAnswers.size(), "question had", "questions had") +
              " other answers worth 100%, which were not kept: only the first is the answer " +
              NumberList(otherAnswers) + ".";
  if (!anyCase.empty()) {
    notice += "\n\n";
    if (result.format == ExchangeFormat::Gift)
      notice += "The platform judged these answers in any letter case.";
    else
      notice += Plural(anyCase.size(), "answer was", "answers were") +
                " judged in any letter case on the platform " + NumberList(anyCase) + ".";
    notice += " Quizdesk judges the exact letters.";
  }
  if (!linesJoined.empty())
    notice += "\n\n" + Plural(linesJoined.size(), "question had", "questions had") +
              " more lines than a test holds; line breaks became spaces until it fitted " +
              NumberList(linesJoined) + ".";
  if (!lostPictures.empty()) {
    notice += "\n\n" + Plural(lostPictures.size(), "question was", "questions were") +
              " added without a picture that could not be read or was not in the file:";
    for (std::size_t i = 0; i < lostPictures.size() && i < kShown; ++i)
      notice += " \"" + platform::ToCp1252(lostPictures[i].name) + "\" (question " +
                std::to_string(lostPictures[i].number) + "),";
    notice.back() = '.';
    if (lostPictures.size() > kShown) notice += " And " + std::to_string(lostPictures.size() - kShown) + " more.";
  }
  if (result.replacedCharacters > 0)
    notice += "\n\n" + Plural(static_cast<std::size_t>(result.replacedCharacters), "character",
                              "characters") +
              " of question texts cannot be stored in a test and became \"?\".";
  return notice;
}

// Stores a picture as a .bmp in folder: under its own name, or a numbered one when a
// different file has that name; "picture" when a test cannot hold the name. The written
// file's stored name, or an error to show.
struct StoredPicture {
  std::string name;  // Windows-1252, as the question keeps it
  bool created = false;
  std::string error;
};

std::optional<std::string> StorableName(const QString& name) {
  const std::optional<std::string> text = platform::FileNameToText(platform::PathFromQt(name));
  if (!text || text->size() > sizeof(core::TQuestion::picture) - 1) return std::nullopt;
  return text;
}

StoredPicture StorePicture(const QString& folder, const QString& pictureName, const QImage& image) {
  StoredPicture stored;
  QByteArray bmp;
  QBuffer buffer(&bmp);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  QString stem = QFileInfo(pictureName).completeBaseName();
  constexpr int kNamesakes = 99;
  if (stem.isEmpty() || stem.contains('/') || stem.contains('\\') ||
      !StorableName(stem + QString("-%1.bmp").arg(kNamesakes)))
    stem = "picture";
  for (int attempt = 1; attempt <= kNamesakes; ++attempt) {
    const QString name = stem + (attempt > 1 ? QString("-%1").arg(attempt) : QString()) + ".bmp";
    const std::string text = StorableName(name).value_or(std::string());
    QFile existing(folder + "/" + name);
    if (existing.exists()) {
      if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bmp) {
        stored.name = text;
        return stored;
      }
      continue;
    }
    QSaveFile file(folder + "/" + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bmp) != bmp.size() || !file.commit()) {
      stored.error = Sentence("The picture \"" + platform::ToCp1252(name) + "\" could not be written. " +
                              platform::ToCp1252(file.errorString()));
      return stored;
    }
    stored.name = text;
    stored.created = true;
    return stored;
  }
  stored.error = "The picture \"" + platform::ToCp1252(pictureName) + "\" has too many namesakes.";
  return stored;
}

}  // namespace

void TTestWindow::CmExport() {
  core::TOpenTest& test = listWindow->openTest;
  if (test.questions.IsEmpty()) return;
  // Proposed beside the test, under its name, with the type chosen last.
  const QFileInfo testFile(platform::PathToQt(test.fileName));
  if (!test.untitled && testFile.isAbsolute())
    exportFileData.fileName = platform::PathFromQt(
        testFile.absolutePath() + "/" + testFile.completeBaseName() +
        (exportFileData.filterIndex == 2 ? ".xml" : ".gift"));
  if (!platform::GetSaveFileName(this, exportFileData)) return;
  const std::string path = exportFileData.fileName;
  // A typed extension of one of the formats says what the file is; otherwise the type does.
  const QString suffix = QFileInfo(platform::PathToQt(path)).suffix().toLower();
  const ExchangeFormat format =
      suffix == "xml" || (suffix != "gift" && exportFileData.filterIndex == 2)
          ? ExchangeFormat::MoodleXml
          : ExchangeFormat::Gift;
  platform::TWaitCursor wait;
  ExportReport report;
  const QByteArray bytes = format == ExchangeFormat::Gift
                               ? WriteGift(test.questions, report)
                               : WriteMoodleXml(test.questions, PicturesAsPng(test.questions), report);
  QSaveFile file(platform::PathToQt(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    platform::MessageBox(this,
                         Sentence("\"" + ShownName(path) + "\" could not be written. " +
                                  platform::ToCp1252(file.errorString())),
                         kExportCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return;
  }
  platform::MessageBox(this, ExportNotice(format, test.questions.Count(), ShownName(path), report),
                       kExportCaption, platform::MB_OK | platform::MB_ICONINFORMATION);
}

void TTestWindow::CmImportFromPlatform() {
  if (!platform::GetOpenFileName(this, platformFileData)) return;
  const std::string path = platformFileData.fileName;
  auto refuse = [&](const std::string& why) {
    platform::MessageBox(this, why + " Nothing was added.", kImportCaption,
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
  };
  QFile file(platform::PathToQt(path));
  if (!file.open(QIODevice::ReadOnly)) return refuse("Could not open file.");
  if (file.size() > kPlatformFileLimit)
    return refuse("\"" + ShownName(path) + "\" is too large: a platform file of at most " +
                  std::to_string(kPlatformFileLimit / (1024 * 1024)) + " MB can be imported.");
  platform::TWaitCursor wait;
  const QByteArray bytes = file.read(kPlatformFileLimit + 1);
  if (bytes.size() > kPlatformFileLimit) return refuse("\"" + ShownName(path) + "\" is too large.");
  PlatformImport result = ReadPlatformFile({bytes.constData(), std::size_t(bytes.size())});
  if (result.Failed())
    return refuse(Sentence("\"" + ShownName(path) + "\" cannot be read: line " +
                           std::to_string(result.errorLine) + ": " +
                           platform::ToCp1252(QString::fromStdString(result.error))));
  core::TOpenTest& test = listWindow->openTest;
  const int firstNumber = test.questions.Count() + 1;
  const bool untitled = test.untitled || test.questions.IsEmpty() ||
                        !QFileInfo(platform::PathToQt(test.fileName)).isAbsolute();
  const QString folder = untitled ? QFileInfo(file).absolutePath()
                                  : QFileInfo(platform::PathToQt(test.fileName)).absolutePath();
  // A picture that cannot be read leaves its question without it; one that cannot be stored
  // refuses the import, and the pictures written for it go again.
  std::vector<QString> created;
  std::vector<LostPicture> lost;
  for (std::size_t i = 0; i < result.questions.size(); ++i) {
    ImportedQuestion& imported = result.questions[i];
    if (imported.picture.name.isEmpty() && imported.picture.bytes.isEmpty()) continue;
    const QImage image = QImage::fromData(imported.picture.bytes);
    if (image.isNull()) {
      lost.push_back({imported.picture.name.isEmpty() ? "picture" : imported.picture.name,
                      firstNumber + static_cast<int>(i)});
      continue;
    }
    const StoredPicture stored = StorePicture(folder, imported.picture.name, image);
    if (!stored.error.empty()) {
      for (const QString& name : created) QFile::remove(name);
      return refuse(stored.error);
    }
    if (stored.created) created.push_back(folder + "/" + platform::PathToQt(platform::FileNameFromText(stored.name)));
    core::CopyField(imported.question.picture, sizeof imported.question.picture, stored.name);
  }
  if (!result.questions.empty()) {
    if (test.questions.IsEmpty()) test.fileName = core::kUntitled;
    for (ImportedQuestion& imported : result.questions)
      test.questions.Add(std::make_unique<core::TQuestion>(std::move(imported.question)));
    listWindow->ForgetLayout();
    listWindow->Scroller()->ScrollTo(0, 0);
    ReturnToList();
  }
  platform::MessageBox(this, ImportNotice(result, firstNumber, lost), kImportCaption,
                       platform::MB_OK | platform::MB_ICONINFORMATION);
}

}  // namespace quizloom
