#include "taking/test_path_field.h"

#include <gtest/gtest.h>

namespace quizdesk {
namespace {

TEST(FitPathToField, KeepsTheFileNameOfALongPath) {
  const std::string folder70 = "/" + std::string(69, 'd');
  const struct {
    std::string path;
    int fieldSize;
    std::string expected;
  } cases[] = {
      {"/home/ann/tests/chemistry.tst", 80, "/home/ann/tests/chemistry.tst"},
      {std::string(79, 'p'), 80, std::string(79, 'p')},
      // 8 + 4 + 14 = 26 characters into 21: the folder just above the name fits whole.
      {"/aaaaaaa/bbb/chemistry.tst", 22, ".../bbb/chemistry.tst"},
      {"/aaaaaaa/bbbbbbb/chemistry.tst", 20, ".../chemistry.tst"},
      // Folders are kept whole or not at all.
      {folder70 + "/c/" + "test.tst", 80, ".../c/test.tst"},
      {"C:\\TESTS\\SCIENCE\\CHEMISTRY\\UNIT1.TST", 20, "...\\UNIT1.TST"},
      // A name that alone does not fit keeps its end, extension and all.
      {"/t/" + std::string(30, 'n') + ".tst", 20, "..." + std::string(12, 'n') + ".tst"},
  };
  for (const auto& c : cases) {
    std::string fitted = FitPathToField(c.path, c.fieldSize);
    EXPECT_EQ(fitted, c.expected) << c.path;
    EXPECT_LE(fitted.size(), static_cast<std::size_t>(c.fieldSize - 1)) << c.path;
  }
}

TEST(FitPathToField, TinyFieldsStillHoldTheEndOfThePath) {
  EXPECT_EQ(FitPathToField("/a/b.tst", 4), "tst");
  EXPECT_EQ(FitPathToField("/a/b.tst", 1), "");
}

}  // namespace
}  // namespace quizdesk
