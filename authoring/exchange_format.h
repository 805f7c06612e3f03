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
};

// pictures[i] belongs to questions[i]; missing entries mean no picture to carry.
QByteArray WriteGift(const core::TList<core::TQuestion>& questions, ExportReport& report);
QByteArray WriteMoodleXml(const core::TList<core::TQuestion>& questions,
                          const std::vector<ExchangePicture>& pictures, ExportReport& report);

struct ImportedQuestion {
  core::TQuestion question;  // picture empty: the glue names the stored file
  ExchangePicture picture;   // Moodle XML only
};

struct PlatformImport {
  std::vector<ImportedQuestion> questions;
  int otherTypes = 0;          // questions that are not short answers
  int noAnswer = 0;            // short answers without an answer worth 100%
  int wildcardAnswers = 0;     // answers with a platform's '*' wildcard
  int textTooLong = 0;         // over 495 characters or 6 lines once wrapped, or empty
  int answerTooLong = 0;       // over 49 characters
  int answerCharacters = 0;    // answers with characters Windows-1252 cannot hold
  int replacedCharacters = 0;  // such characters in question texts, now '?'
  int errorLine = 0;           // a malformed file: the line of the fault, and what it is
  std::string error;

  bool Failed() const { return !error.empty(); }
};

PlatformImport ReadGift(std::string_view bytes);
PlatformImport ReadMoodleXml(std::string_view bytes);

// The files a reader takes; a larger one is refused before it is read.
inline constexpr qint64 kPlatformFileLimit = 32 * 1024 * 1024;

// Shared by both formats.
namespace exchange {

// A question's text as HTML: marks as <sup>/<sub>, hard breaks as <br>, soft breaks as a
// space, &, < and > as entities.
QString TextToHtml(const core::TLetters& text);
// The answer's plain letters, and whether any carried a mark.
QString AnswerToPlain(const core::TLetters& answer, bool& hadMarks);

// A platform question's HTML reduced to the test's letters, before wrapping.
core::TLetters HtmlToLetters(const QString& html, int& replaced);
core::TLetters PlainToLetters(const QString& text, int& replaced);

// Adds a short-answer question to the import, or counts why it cannot be taken. answer
// is the platform's text of the first answer worth 100% (escapes of '*' still in it).
void AddShortAnswer(PlatformImport& result, const core::TLetters& text, const QString& answer,
                    ExchangePicture picture = {});

}  // namespace exchange

}  // namespace quizloom
