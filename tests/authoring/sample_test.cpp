#include <gtest/gtest.h>

#include <QFile>

#include "authoring_fixture.h"
#include "core/test_file.h"
#include "editor/formatted_text.h"
#include "platform/bitmap.h"
#include "samples/sample_test.h"

namespace quizloom {
namespace {

const std::string kSamples = QUIZ_SAMPLES_DIR;

bool HasMark(const core::TLetters& letters, int32_t mark) {
  for (const core::TLetter& letter : letters)
    if (letter.mark == mark) return true;
  return false;
}

TEST(SampleTest, FileInTheRepositoryIsWhatTheSampleCodeMakes) {
  core::TList<core::TQuestion> made;
  samples::BuildSampleTest(made);
  EXPECT_EQ(ReadBytes(kSamples + "/sample.tst"), core::EncodeTestFile(made))
      << "run make_sample on the samples folder again";
}

TEST(SampleTest, ReadsAsATestTheEditorCouldHaveMade) {
  core::TList<core::TQuestion> questions;
  ASSERT_EQ(core::ReadTestFile(kSamples + "/sample.tst", questions, nullptr), 1);
  ASSERT_GE(questions.Count(), 10);
  int pictures = 0;
  bool raised = false, lowered = false;
  for (const auto& question : questions) {
    EXPECT_FALSE(question->text.empty());
    EXPECT_LE(question->text.size(), 495u);
    EXPECT_LE(editor::CountTextLines(*question), 6) << TextOf(question->text);
    EXPECT_FALSE(question->answer.empty());
    EXPECT_LE(question->answer.size(), 49u);
    int column = 0;
    for (const core::TLetter& letter : question->text) {
      column = letter.ch == '\r' || letter.ch == '\n' ? 0 : column + 1;
      EXPECT_LE(column, editor::kWrapWidth) << TextOf(question->text);
    }
    raised = raised || HasMark(question->text, 1) || HasMark(question->answer, 1);
    lowered = lowered || HasMark(question->text, 2) || HasMark(question->answer, 2);
    if (question->picture[0]) {
      ++pictures;
      EXPECT_FALSE(platform::TBitmap::FromFile(kSamples + "/" + question->picture).IsNull());
    }
  }
  EXPECT_TRUE(raised);
  EXPECT_TRUE(lowered);
  EXPECT_EQ(pictures, 1);
  EXPECT_EQ(questions[0].answer, (core::TLetters{{'H', 0}, {'2', 2}, {'O', 0}}));
  EXPECT_EQ(samples::Formatted("Ca^2^+"), (core::TLetters{{'C', 0}, {'a', 0}, {'2', 1}, {'+', 1}}));
}

}  // namespace
}  // namespace quizloom
