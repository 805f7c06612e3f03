#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>

#include <cstring>

#include "authoring_fixture.h"

namespace quizloom {
namespace {

using platform::DrawCall;
using testing_support::Prompt;

// The printer's "X" is 20 by 37 dots, so a printed line is 40 dots and marks move by 13;
// the screen's is 8 by 13.
class PrintTest : public AuthoringTest {
 protected:
  PrintTest() : printed(20, 37), screen(8, 13) {
    list().RecordDrawingInto(&screen);
    window().printer->RecordDrawingInto(&printed);
  }
  ~PrintTest() override { window().printer->RecordDrawingInto(nullptr); }

  void AddPictured(const std::string& text, const char* picture) {
    auto question = MakeQuestion(text, "z");
    std::strcpy(question->picture, picture);
    questions().Add(std::move(question));
  }
  // The calls of the printed pages as "kind x,y text".
  std::vector<std::string> Printed() const {
    std::vector<std::string> calls;
    for (const DrawCall& c : printed.Calls()) {
      const std::string at = std::to_string(c.x) + "," + std::to_string(c.y);
      switch (c.kind) {
        case DrawCall::Kind::SelectFont: calls.push_back("font " + c.text + " " + std::to_string(c.height)); break;
        case DrawCall::Kind::RestoreFont: calls.push_back("restore"); break;
        case DrawCall::Kind::Text: calls.push_back(at + " " + c.text); break;
        case DrawCall::Kind::StretchBlt:
          calls.push_back(at + " picture " + c.text + " to " + std::to_string(c.width) + "x" +
                          std::to_string(c.height));
          break;
        default: calls.push_back(at + " other"); break;
      }
    }
    return calls;
  }

  platform::TRecordingDC printed;
  platform::TRecordingDC screen;
};

TEST_F(PrintTest, PrintPageDrawsEveryLetterAtItsPlace) {
  QImage picture(40, 33, QImage::Format_RGB888);
  picture.fill(Qt::darkGreen);
  ASSERT_TRUE(picture.save(QString::fromStdString(Path("shown.bmp")), "BMP"));
  // x2 raised, H2O with its 2 lowered after a hard break; then a picture that loads, one that
  // is missing, and the question after it. The answer "secret" is never drawn.
  questions().Add(MakeQuestion("x2\rH2O", "secret", {{1, 1}, {4, 2}}));
  AddPictured("P", "shown.bmp");
  AddPictured("M", "gone.bmp");
  questions().Add(MakeQuestion("N", "z"));
  ASSERT_TRUE(picture.scaled(40, 200).save(QString::fromStdString(Path("tall.bmp")), "BMP"));
  AddPictured("T", "tall.bmp");
  test().fileName = Path("marks.tst");
  user.ChoosePrint({});
  window().Command(CM_PRINT);

  const std::vector<std::string> expected = {
      "font Courier New 0",
      "5,120 1. ", "65,120 x", "85,107 2", "5,160 H", "25,173 2", "45,160 O",
      // y: 160 + 2 lines, then 2 lines more for no picture
      "5,320 2. ", "65,320 P",
      // the picture, 40 x 33 screen pixels scaled by 20/8 and 40/13 (101.5 rounds to 102)
      "5,400 picture 40x33 to 100x102",  // and a third of a line free under it
      "5,515 3. ", "65,515 M", "5,595 Bitmap filegone.bmp is not on the same directory as quizloom.",
      "5,635 4. ", "65,635 N",
      "restore", "font Courier New 0", "5,120 5. ", "65,120 T",
      "5,200 picture 40x200 to 95x587",  // 615 high at scale: reduced to 15 lines less a third
      "restore"};
  EXPECT_EQ(Printed(), expected);
  EXPECT_EQ(window().printer->PrintedPages(), std::vector<int>({1, 2}));
  EXPECT_EQ(QString::fromStdString(user.prompts().back().text).split('\n').at(1), "'marks.tst' on the");
}

TEST_F(PrintTest, ChoosingPageTwoOfThirteenPrintsQuestionThirteenAlone) {
  GiveQuestions(13);
  user.ChoosePrint({}, 2, 2);
  window().Command(CM_PRINT);
  const Prompt& dialog = user.prompts().front();
  ASSERT_EQ(dialog.kind, Prompt::Kind::Print);
  EXPECT_EQ(std::vector<int>({dialog.printData.minPage, dialog.printData.maxPage,
                              dialog.printData.fromPage, dialog.printData.toPage}),
            std::vector<int>({1, 2, 1, 2}));
  EXPECT_EQ(Printed(), std::vector<std::string>({"font Courier New 0", "5,120 13. ",
                                                 "85,120 Q", "105,120 u", "125,120 e", "145,120 s",
                                                 "165,120 t", "185,120 i", "205,120 o", "225,120 n",
                                                 "245,120  ", "265,120 1", "285,120 3", "restore"}));
  EXPECT_EQ(window().printer->PrintedPages(), std::vector<int>({2}));
}

TEST_F(PrintTest, AnswerKeyPrintsEachAnswerUnderItsQuestion) {
  questions().Add(MakeQuestion("Water is", "H2O", {}));
  questions()[0].answer[1].mark = 2;
  questions().Add(MakeQuestion("Next", "N"));
  test().fileName = Path("key.tst");
  user.ChoosePrint({});
  window().Command(CM_PRINT_ANSWER_KEY);
  const std::vector<std::string> calls = Printed();
  const std::vector<std::string> answerLine = {"5,160 Answer: ", "165,160 H", "185,173 2",
                                               "205,160 O", "5,320 2. "};
  auto at = std::find(calls.begin(), calls.end(), answerLine.front());
  ASSERT_NE(at, calls.end());
  EXPECT_EQ(std::vector<std::string>(at, at + 5), answerLine);
  EXPECT_EQ(calls[calls.size() - 2], "165,360 N");
}

TEST_F(PrintTest, NothingIsPrintedWhenTheDialogIsCancelledOrTheTestIsEmpty) {
  for (int command : {CM_PRINT, CM_PRINT_PREVIEW, CM_PRINT_ANSWER_KEY}) {
    window().Command(command);
    EXPECT_TRUE(user.prompts().empty()) << command;
  }
  GiveQuestions(3);
  user.CancelPrint();
  window().Command(CM_PRINT);
  EXPECT_EQ(user.prompts().size(), 1u);
  EXPECT_TRUE(printed.Calls().empty());
  EXPECT_TRUE(window().printer->PrintedPages().empty());
  EXPECT_EQ(questions().Count(), 3);
  EXPECT_EQ(test().modified, 0);
}

TEST_F(PrintTest, PreviewShowsThePagesPrintWouldPrint) {
  window().printer->RecordDrawingInto(nullptr);
  GiveQuestions(13);
  int pages = 0;
  user.AnswerPreview([&](QPrintPreviewDialog& preview) {
    auto* widget = preview.findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    widget->updatePreview();
    pages = widget->pageCount();
  });
  window().Command(CM_PRINT_PREVIEW);
  EXPECT_EQ(pages, 2);
  EXPECT_EQ(window().printer->PrintedPages(), std::vector<int>({1, 2}));
}

}  // namespace
}  // namespace quizloom
