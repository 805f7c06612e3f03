#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QString>

#include "core/list.h"
#include "core/records.h"

namespace quizloom {

// Questions travel to and from learning platforms as short-answer questions in GIFT or Moodle
// XML. Readers and writers are pure: bytes and records in, bytes and records out; pictures
// are handed over as encoded bytes, and the command glue decodes and stores them.

enum class ExchangeFormat { Gift, MoodleXml };

// A question's picture as a platform file carries it.
struct ExchangePicture {
  QString name;      // "cell.png"
  QByteArray bytes;  // the encoded file; empty when the picture could not be read
};

struct ExportReport {
  std::vector<int> unmarkedAnswers;  // numbers of questions whose answer lost its marks
  std::vector<int> picturesLeft;     // numbers of questions whose picture did not travel
  std::vector<int> matchingAnswers;  // GIFT: answers holding "->", read as matching questions
};

// pictures[i] belongs to questions[i]; missing entries mean no picture to carry.
QByteArray WriteGift(const core::TList<core::TQuestion>& questions, ExportReport& report);
QByteArray WriteMoodleXml(const core::TList<core::TQuestion>& questions,
                          const std::vector<ExchangePicture>& pictures, ExportReport& report);

struct ImportedQuestion {
  core::TQuestion question;  // picture empty: the glue names the stored file
  // The picture the question shows: a name, and the bytes when the file holds them (Moodle
  // XML); no name when it shows none.
  ExchangePicture picture;
  int otherAnswers = 0;      // further answers worth 100%, which the test cannot keep
  bool anyCase = false;      // the platform judged its answer in any letter case
  bool linesJoined = false;  // line breaks became spaces to keep within six lines
};

struct PlatformImport {
  std::vector<ImportedQuestion> questions;
  ExchangeFormat format = ExchangeFormat::Gift;
  int otherTypes = 0;          // questions that are not short answers
  int noAnswer = 0;            // short answers without an answer worth 100%
  int refusedWeights = 0;      // answers weighted outside -100..100%, or not by a number
  int wildcardAnswers = 0;     // answers with a platform's '*' wildcard
  int textTooLong = 0;         // over 495 characters or 6 lines once wrapped, or empty
  int answerTooLong = 0;       // over 49 characters
  int answerCharacters = 0;    // answers with characters Windows-1252 cannot hold
  int replacedCharacters = 0;  // such characters in question texts, now '?'
  int errorLine = 0;           // a malformed file: the line of the fault, and what it is
  std::string error;

  bool Failed() const { return !error.empty(); }
};

// Both read the bytes of a whole file: GIFT in the encoding the text import would find,
// Moodle XML in the one its declaration names.
PlatformImport ReadGift(std::string_view bytes);
PlatformImport ReadMoodleXml(std::string_view bytes);
// Either, by the file's content after a byte-order mark and spaces: Moodle XML begins with
// its declaration, a comment, a document type or <quiz>, anything else is GIFT.
PlatformImport ReadPlatformFile(std::string_view bytes);

// The files a reader takes; a larger one is refused before it is read.
inline constexpr qint64 kPlatformFileLimit = 32 * 1024 * 1024;

// Shared by both formats.
namespace exchange {

// A question's text as HTML: marks as <sup>/<sub>, hard breaks as <br>, soft breaks as a
// space, &, < and > as entities.
QString TextToHtml(const core::TLetters& text);
// The answer's plain letters, and whether any carried a mark.
QString AnswerToPlain(const core::TLetters& answer, bool& hadMarks);

// The text of a platform file, in the encoding the text import would find.
QString DecodePlatformText(std::string_view bytes);

// A short-answer question as a platform keeps it: its text reduced to letters, and its
// answers' texts (escapes of '*' still in them) with their weights in percent.
struct PlatformQuestion {
  core::TLetters text;
  std::vector<std::pair<QString, double>> answers;
  bool refusedWeight = false;  // an answer weighted outside -100..100%, or not by a number
  bool anyCase = false;
  ExchangePicture picture;
};

// Adds the question to the import with the first answer worth 100%, or counts why it
// cannot be taken.
void AddShortAnswer(PlatformImport& result, PlatformQuestion question);

}  // namespace exchange

}  // namespace quizloom
