#include "core/search.h"

#include <string>

namespace core {

namespace {
unsigned char Fold(unsigned char c, bool caseSensitive) {
  return !caseSensitive && c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}
}  // namespace

bool questionTextContains(const TQuestion& question, std::string_view searchText,
                          bool caseSensitive) {
  const int n = static_cast<int>(question.text.size());
  const int k = static_cast<int>(searchText.size());
  if (n == 0 || k == 0) return false;
  for (int i = 0; i < n; ++i) {
    if (Fold(question.text[i].ch, caseSensitive) != static_cast<unsigned char>(searchText[0])) continue;
    if (i + k - 1 > n - 1) continue;
    bool same = true;
    for (int j = 0; j < k && same; ++j)
      same = Fold(question.text[i + j].ch, caseSensitive) == static_cast<unsigned char>(searchText[j]);
    if (same) return true;
  }
  return false;
}

std::string FoldToCapitals(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(Fold(static_cast<unsigned char>(c), false));
  return result;
}

}  // namespace core
