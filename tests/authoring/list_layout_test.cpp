#include <QImage>

#include <cstring>
#include <set>

#include "authoring/list_layout.h"
#include "authoring_fixture.h"
#include "editor/draw_question.h"
#include "platform/scroller.h"
#include "tests/support/letter_by_letter_dc.h"

namespace quizloom {
namespace {

// Questions of every shape the list draws: one line, wrapped and hard-broken lines, a picture
// that loads, a picture that is missing.
void AddShapes(core::TList<core::TQuestion>& list, int rounds) {
  for (int i = 0; i < rounds; ++i) {
    list.Add(MakeQuestion("One line " + std::to_string(i), "a", {{0, 1}}));
    list.Add(MakeQuestion("Wrapped at a space\r\nand broken\rby Enter", "b"));
    auto pictured = MakeQuestion("With a picture", "c");
    std::strcpy(pictured->picture, "shown.bmp");
    list.Add(std::move(pictured));
    auto missing = MakeQuestion("With a missing picture\rtwo lines", "d");
    std::strcpy(missing->picture, "gone.bmp");
    list.Add(std::move(missing));
  }
}

class ListLayoutTest : public AuthoringTest {
 protected:
  ListLayoutTest() {
    QImage picture(40, 30, QImage::Format_RGB888);
    picture.fill(Qt::darkGreen);
    EXPECT_TRUE(picture.save(QString::fromStdString(Path("shown.bmp")), "BMP"));
  }
};

TEST_F(ListLayoutTest, QuestionHeightIsHowFarDrawQuestionMovesDown) {
  core::TList<core::TQuestion> shapes;
  AddShapes(shapes, 1);
  const bool loads[] = {false, false, true, false};
  for (int i = 0; i < shapes.Count(); ++i) {
    platform::TRecordingDC dc;
    int x = 5, y = 5, number = 1;
    editor::DrawQuestion(nullptr, shapes[i], dc, x, y, 16, 8, number, 600);
    EXPECT_EQ(QuestionHeight(shapes[i], 16, loads[i]), y - 5) << i;
  }
  EXPECT_EQ(QuestionHeight(shapes[0], 16, false), 64);
  EXPECT_EQ(QuestionHeight(shapes[1], 16, false), 3 * 16 + 16 + 32);
  EXPECT_EQ(QuestionHeight(shapes[2], 16, true), 16 + 200 + 32);
  EXPECT_EQ(QuestionHeight(shapes[3], 16, false), 2 * 16 + 16 + 200 + 32);
}

// Wherever the view is, the list draws exactly what drawing every question would draw.
TEST_F(ListLayoutTest, SteppingOverHiddenQuestionsDrawsWhatDrawingThemAllWould) {
  AddShapes(questions(), 25);
  test().fileName = "/shapes.tst";
  PaintList();
  platform::TScroller& scroller = *list().Scroller();
  const int range = scroller.YRange();
  ASSERT_GT(range, 3 * scroller.YPage());
  for (int position : {0, 1, 15, 16, 17, range / 3, range / 2, range - scroller.YPage(), range}) {
    SCOPED_TRACE(position);
    scroller.ScrollTo(0, position);
    PaintList();
    platform::TRecordingDC all;
    all.SelectFont(list().screenFont);
    int x = 5, y = 5, number = 1;
    for (const auto& question : questions())
      editor::DrawQuestion(&scroller, *question, all, x, y, 16, 8, number,
                           list().GetClientRect().Width());
    all.RestoreFont();
    ASSERT_EQ(recorder.Calls().size(), all.Calls().size());
    if (position < range) {
      ASSERT_FALSE(recorder.TextCalls().empty());
    }
    for (std::size_t i = 0; i < all.Calls().size(); ++i) {
      const platform::DrawCall& mine = recorder.Calls()[i];
      const platform::DrawCall& theirs = all.Calls()[i];
      EXPECT_EQ(mine.kind, theirs.kind) << i;
      EXPECT_EQ(mine.x, theirs.x) << i;
      EXPECT_EQ(mine.y, theirs.y) << i;
      EXPECT_EQ(mine.text, theirs.text) << i;
    }
    EXPECT_EQ(scroller.YRange(), y / 16);
  }
}

// The list keeps each question's height between paints and steps over questions above the
// view by it: a question changed to the same length, a deleted one and a picture named later
// must all move the questions drawn further down.
TEST_F(ListLayoutTest, ListFollowsQuestionsChangedInPlaceAndDeleted) {
  GiveQuestions(60);
  PaintList();
  list().Scroller()->ScrollTo(0, list().Scroller()->YRange() / 2);
  // Every visible answer row, as its remainder in the 64 pixels each one-line question takes.
  auto answerRows = [&] {
    std::set<int> rows;
    for (const platform::DrawCall& call : PaintList())
      if (call.text == "Answer:  ") rows.insert(call.y % 64);
    return rows;
  };
  EXPECT_EQ(answerRows(), (std::set<int>{37}));

  AnswerNumber("1");
  window().Command(CM_CHANGE);
  std::memcpy(editor().questionText, "Question\r1", 10);  // as long as "Question 1"
  window().Command(CM_OK);
  EXPECT_EQ(TextOf(questions()[0].text), "Question\r1");
  EXPECT_EQ(answerRows(), (std::set<int>{37 + 16}));

  AnswerNumber("1");
  user.AnswerMessage(platform::IDYES);
  window().Command(CM_DELETE);
  EXPECT_EQ(answerRows(), (std::set<int>{37}));

  // 200 pixels instead of the empty line; a missing picture takes a line more.
  const struct {
    const char* picture;
    int row;
  } pictures[] = {{"shown.bmp", (37 + 200 - 16) % 64}, {"shown2.bmp", (37 + 200) % 64}};
  for (const auto& p : pictures) {
    AnswerNumber("1");
    window().Command(CM_CHANGE);
    std::strcpy(editor().pictureName, p.picture);
    window().Command(CM_OK);
    EXPECT_EQ(answerRows(), (std::set<int>{p.row})) << p.picture;
  }
}

// The list drawn on its surface with the real font: the screen's device context must give the
// pixels of drawing every letter by itself. The picture is named in another letter case, as
// tests from other machines name it.
TEST_F(ListLayoutTest, QuestionWithMarksHardBreakAndPictureAsLetterByLetter) {
  auto question = MakeQuestion("H2O and x2 are\r\nformulas;\rwater_is H2O.", "CO2",
                               {{1, 2}, {9, 1}, {12, 3}, {36, 2}});
  question->answer[2].mark = 2;
  std::strcpy(question->picture, "SHOWN.BMP");
  questions().Add(std::move(question));
  questions().Add(MakeQuestion("Second\rquestion", "x", {{3, 1}}));
  test().fileName = "/pixels.tst";
  list().resize(640, 480);
  EXPECT_EQ(testing_support::DifferenceFromLetterByLetter(list()), "");
  // Below the three lines of the question, 18 pixels each.
  EXPECT_EQ(list().Surface().pixel(10, 5 + 3 * 18 + 10), QColor(Qt::darkGreen).rgb());
}

}  // namespace
}  // namespace quizloom
