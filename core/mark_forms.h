#pragma once
#include <string>

#include "core/records.h"

namespace core {

// Unicode's raised (superscript) and lowered (subscript) form of a Windows-1252 letter, or 0
// when Unicode has none. Screen readers say such a character as "superscript two" or
// "subscript two", so a marked letter heard this way cannot be taken for a plain one.
char32_t RaisedForm(unsigned char letter);
char32_t LoweredForm(unsigned char letter);
// The form for a letter with the given mark (1 raised, 2 lowered); 0 for mark 0 or no form.
char32_t MarkedForm(unsigned char letter, int mark);

// Letters as UTF-8: a raised or lowered letter becomes its Unicode form where there is one,
// else "^x" or "_x". A wrap break (CR LF) becomes the space it stood for, a hard break (CR) a
// line feed.
std::string LettersToUtf8(const TLetters& letters);

}  // namespace core
