#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/results_codec.h"

// Writes a few results files made by the encoder, as the results fuzzer's first corpus.
int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string folder = argv[1];
  for (int n = 0; n < 3; ++n) {
    core::TInformation information;
    std::strcpy(information.firstName, "Ann");
    std::strcpy(information.lastName, "Lee");
    std::strcpy(information.testFile, "tests/water.tst");
    information.questionCount = n;
    for (int i = 0; i < n; ++i) {
      int32_t givenMarks[51] = {0, 2}, expectedMarks[51] = {0, 2}, questionMarks[500] = {1};
      information.responses.Add(std::make_unique<core::TResponse>(
          i + 1, "H2O", "H2O", "What is\r\nwater?", 1, givenMarks, expectedMarks, questionMarks));
      ++information.correctCount;
    }
    const std::vector<uint8_t> bytes = core::EncodeResults(information);
    const std::string path = folder + "/seed" + std::to_string(n) + ".qzr";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 1;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return 0;
}
