#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/list.h"

namespace core {

enum Mark : int32_t { kNormal = 0, kSuperscript = 1, kSubscript = 2 };

// One formatted character. A letter is a value: it is never changed, only replaced.
struct TLetter {
  unsigned char ch = 0;
  int32_t mark = kNormal;

  TLetter() = default;
  TLetter(unsigned char c, int32_t m) : ch(c), mark(m) {}
  bool operator==(const TLetter&) const = default;
};

using TLetters = std::vector<TLetter>;

struct TQuestion {
  char picture[80] = {};  // bitmap file name, no directory; empty = none
  TLetters text;          // line breaks are letters: CR hard, CR LF soft
  TLetters answer;
};

}  // namespace core
