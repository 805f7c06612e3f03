#include "taking/random_order.h"

#include <algorithm>

namespace quizdesk {

int ChooseUnasked(TRandomGenerator& generator, const std::vector<bool>& asked) {
  const int count = static_cast<int>(asked.size());
  const auto firstLeft = std::find(asked.begin(), asked.end(), false);
  if (firstLeft == asked.end()) return -1;
  // Far more draws than a test of any size needs to find every question.
  const long long attempts = 64LL * count + 1024;
  for (long long i = 0; i < attempts; ++i) {
    int k = generator.Next() % count;
    if (!asked[static_cast<std::size_t>(k)]) return k;
  }
  return static_cast<int>(firstLeft - asked.begin());
}

}  // namespace quizdesk
