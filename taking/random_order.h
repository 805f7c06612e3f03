#pragma once
#include <cstdint>
#include <vector>

namespace quizdesk {

// The pseudo-random generator of the question order: values 0 to 32767, as the old library's
// generator gave them. The main window seeds it once per run from the clock; tests seed it
// with a fixed number so the order is known.
class TRandomGenerator {
 public:
  explicit TRandomGenerator(uint32_t seed = 1) : state_(seed) {}
  void Seed(uint32_t seed) { state_ = seed; }
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

// Draws k = r mod count until it hits a question not yet asked, as the first pass does. A
// generator whose values keep missing the questions left (it cannot, but the program must
// not hang on it) ends in the first question left. -1 when every question has been asked.
int ChooseUnasked(TRandomGenerator& generator, const std::vector<bool>& asked);

}  // namespace quizdesk
