#pragma once
#include <QString>
#include <QStringView>

#include "core/records.h"

namespace quizloom::exchange {

// How a platform question's text is written: HTML; the platforms' auto-format, which is HTML
// whose line ends show as line breaks; or plain text, shown as typed.
enum class TextFormat { Html, AutoFormat, Plain };

// A question's text reduced to the letters a browser shows, before wrapping: marks from
// <sup> and <sub>; a line break for <br>, and one at each end of a block (p, div, li,
// headings, table rows and the like); a space between table cells; every named or numbered
// character reference of HTML 5 decoded; script, style and comments dropped; spaces at the
// ends and around line breaks dropped. Characters Windows-1252 cannot hold become '?' and
// are counted in replaced.
core::TLetters ShownLetters(QStringView text, TextFormat format, int& replaced);

// An answer written as HTML: the characters it shows, on one line.
QString ShownPlainText(QStringView html);

// Where the first picture that HTML shows comes from (its <img>'s src), or nothing.
QString PictureSource(QStringView html);
// The file name at the end of a picture's source, %-escapes undone; "picture" for data
// written into the source itself.
QString SourceFileName(QStringView source);
// Both: the name of the first picture shown, or nothing.
inline QString PictureName(QStringView html) { return SourceFileName(PictureSource(html)); }

}  // namespace quizloom::exchange
