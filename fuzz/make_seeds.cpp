#include <cstdio>
#include <cstring>
#include <string>

#include "core/test_file_codec.h"

// Writes a few test files made by the encoder, as the fuzzer's first corpus.
int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string folder = argv[1];
  auto question = [](const std::string& text, const std::string& answer, const char* picture) {
    auto q = std::make_unique<core::TQuestion>();
    std::strncpy(q->picture, picture, sizeof q->picture - 1);
    for (std::size_t i = 0; i < text.size(); ++i)
      q->text.emplace_back(static_cast<unsigned char>(text[i]), static_cast<int32_t>(i % 3));
    for (char c : answer) q->answer.emplace_back(static_cast<unsigned char>(c), 0);
    return q;
  };
  for (int n = 0; n < 4; ++n) {
    core::TList<core::TQuestion> questions;
    for (int i = 0; i < n; ++i)
      questions.Add(question("What is H2O?\r\nIt is a\rliquid " + std::to_string(i), "water", i % 2 ? "CELL.BMP" : ""));
    const std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
    const std::string path = folder + "/seed" + std::to_string(n) + ".tst";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 1;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return 0;
}
