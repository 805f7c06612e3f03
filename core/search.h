#pragma once
#include <string_view>

#include "core/records.h"

namespace core {

// Whether the question's text holds searchText. Not case sensitive, the caller has already
// folded searchText to capitals ('a'..'z' only) and the text is folded the same way. Marks
// play no part; line breaks are characters like any other.
bool questionTextContains(const TQuestion& question, std::string_view searchText,
                          bool caseSensitive);

// 'a'..'z' to 'A'..'Z', nothing else.
std::string FoldToCapitals(std::string_view text);

}  // namespace core
