#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <cstring>
#include <string>
#include <vector>

#include "editor/draw_question.h"
#include "platform/scroller.h"
#include "platform/window.h"
#include "tests/editor/editor_fixture.h"
#include "tests/support/letter_by_letter_dc.h"

namespace editor_testing {
namespace {

using editor::EditorProgram;
using platform::DrawCall;

const std::string kBlank(101, ' ');
const std::string kQuizloomPrompt = "Press Page Up to edit the question.  Type your answer here:";

// One drawing call as a short line: "x,y text" (101 spaces shown as "~"), "select Face h",
// "restore", "blit x,y wxh of WxH".
std::string Describe(const DrawCall& call) {
  switch (call.kind) {
    case DrawCall::Kind::SelectFont: return "select " + call.text + " " + std::to_string(call.height);
    case DrawCall::Kind::RestoreFont: return "restore";
    case DrawCall::Kind::Text:
      return std::to_string(call.x) + "," + std::to_string(call.y) + " " +
             (call.text == kBlank ? std::string("~") : call.text);
    case DrawCall::Kind::Invert:
      return "invert " + std::to_string(call.x) + "," + std::to_string(call.y);
    case DrawCall::Kind::BitBlt:
      return "blit " + std::to_string(call.x) + "," + std::to_string(call.y) + " " +
             std::to_string(call.width) + "x" + std::to_string(call.height) + " of " + call.text;
    case DrawCall::Kind::StretchBlt: return "stretch";
    case DrawCall::Kind::Picture: return "picture";
  }
  return "?";
}

std::vector<std::string> Describe(const std::vector<DrawCall>& calls) {
  std::vector<std::string> lines;
  for (const DrawCall& call : calls) lines.push_back(Describe(call));
  return lines;
}

// Runs the test's body with a folder as the current directory, then goes back.
class InFolder {
 public:
  InFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(folder_.path()); }
  ~InFolder() { QDir::setCurrent(previous_); }
  void WriteBitmap(const char* name, int width, int height, QColor colour = Qt::red) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(folder_.filePath(name), "BMP"));
  }

 private:
  QTemporaryDir folder_;
  QString previous_;
};

class PaintEditor : public EditorTest {
 protected:
  std::vector<std::string> Paint() {
    dc.Clear();
    editor->Invalidate(false);
    editor->UpdateWindow();
    return Describe(dc.Calls());
  }
};

TEST_F(PaintEditor, EmptyQuestionStillPaintsSixBlankLines) {
  Open();
  EXPECT_EQ(Paint(), (std::vector<std::string>{
                         "select Courier 10", "7,5 ", "4,20 ~", "4,36 ~", "4,52 ~", "4,68 ~",
                         "4,84 ~", "4,100 ~", "4,350 " + kQuizloomPrompt, "4,370 ~", "restore"}));
}

TEST_F(PaintEditor, SuperscriptIsDrawnTwoPixelsHigher) {
  Open(EditorProgram::Quizloom, "x2+y\rz", "H2O");
  std::strcpy(editor->headerText, "Question 3");
  editor->questionMarks[1] = 1;
  editor->answerMarks[1] = 2;
  EXPECT_EQ(Paint(),
            (std::vector<std::string>{"select Courier 10", "7,5 Question 3", "4,20 x", "12,18 2",
                                      "20,20 +", "28,20 y", "36,20 ~", "4,36 z", "12,36 ~",
                                      "4,52 ~", "4,68 ~", "4,84 ~", "4,100 ~",
                                      "4,350 " + kQuizloomPrompt, "4,370 H", "12,372 2",
                                      "20,370 O", "28,370 ~", "restore"}));
}

TEST_F(PaintEditor, SoftBreaksAndUnknownMarks) {
  // A soft break's line feed takes no cell; a letter of an unknown mark is not drawn but
  // keeps its place; break characters of the answer are drawn like letters.
  Open(EditorProgram::Quizdesk, "ab\r\ncd", "p\rq");
  editor->questionMarks[1] = 7;
  const auto calls = Paint();
  const std::vector<std::string> expected = {
      "select Courier 10", "7,5 ", "4,20 a", "20,20 ~", "4,36 c", "12,36 d", "20,36 ~",
      "4,52 ~", "4,68 ~", "4,84 ~", "4,100 ~", "4,350 Type your answer here:", "4,370 p",
      "12,370 \r", "20,370 q", "28,370 ~", "restore"};
  EXPECT_EQ(calls, expected);
}

TEST_F(PaintEditor, PictureBelowTheSixthLineOrTheMissingPictureLine) {
  InFolder folder;
  folder.WriteBitmap("CELL.BMP", 300, 250);
  Open(EditorProgram::Quizloom, "q", "a");
  const int right = editor->GetClientRect().right;
  std::strcpy(editor->pictureName, "CELL.BMP");
  auto calls = Paint();
  ASSERT_EQ(calls.size(), 14u);
  EXPECT_EQ(calls[9], "blit 0,116 " + std::to_string(right) + "x210 of 300x250");
  EXPECT_EQ(calls[10], "4,350 " + kQuizloomPrompt);

  std::strcpy(editor->pictureName, "GONE.BMP");
  calls = Paint();
  ASSERT_EQ(calls.size(), 14u);
  EXPECT_EQ(calls[9], "4,116 Bitmap fileGONE.BMP is not on the same directory as quizloom.");
  EXPECT_EQ(calls[10], "4,350 " + kQuizloomPrompt);
  EXPECT_EQ(calls[11], "4,370 a");
}

TEST_F(PaintEditor, RepaintDropsTheSelectionButKeepsTheMenu) {
  Open(EditorProgram::Quizloom, "abc");
  std::strcpy(editor->selectionText, "ab");
  editor->selectionMarks[0] = 1;
  editor->selStart = 0;
  editor->selEnd = 1;
  editor->caretX = 20;
  Paint();
  EXPECT_STREQ(editor->selectionText, "");
  EXPECT_EQ(editor->selectionMarks[0], 0);
  EXPECT_EQ(editor->selStart, 600);
  EXPECT_EQ(editor->selEnd, -1);
  EXPECT_TRUE(host.menus.empty());
  EXPECT_TRUE(dc.Inversions().empty());
  // The caret is put back where the fields say, and shown.
  EXPECT_EQ(editor->CaretPos(), (platform::TPoint{20, 20}));
  EXPECT_TRUE(editor->CaretVisible());
}

// The editor drawn on its surface with the real font: the screen's device context must give
// the pixels of drawing every letter by itself.
class EditorPixels : public ::testing::Test {
 protected:
  EditorPixels() : editor(nullptr, host, EditorProgram::Quizloom) { editor.resize(640, 420); }

  void Fill(const std::string& question, const std::string& answer, const char* picture) {
    std::strncpy(editor.questionText, question.c_str(), sizeof editor.questionText - 1);
    std::strncpy(editor.answerText, answer.c_str(), sizeof editor.answerText - 1);
    std::strcpy(editor.pictureName, picture);
    editor.BeginEditing();
  }

  RecordingHost host;
  editor::TInputDialog editor;
};

TEST_F(EditorPixels, QuestionWithMarksHardBreakAndPictureAsLetterByLetter) {
  InFolder folder;
  folder.WriteBitmap("cell.bmp", 120, 80, Qt::darkCyan);
  Fill("H2O and x2 are formulas;\rwater_is H2O.\r\nSoft wrap.", "CO2", "cell.bmp");
  for (int i : {1, 35}) editor.questionMarks[i] = 2;
  editor.questionMarks[9] = 1;
  editor.questionMarks[15] = 3;  // not drawn, still in its place
  editor.answerMarks[2] = 2;
  EXPECT_EQ(testing_support::DifferenceFromLetterByLetter(editor), "");
  EXPECT_EQ(editor.Surface().pixel(10, 130), QColor(Qt::darkCyan).rgb());
}

// The caret and the highlight count one cell a byte: a line break pasted into the answer is
// two blank cells, and the Ws after it lie where the caret puts them.
TEST_F(EditorPixels, PastedLineBreakTakesTwoCellsBeforeTheWs) {
  Fill("", "\r\nWW", "");
  EXPECT_EQ(testing_support::DifferenceFromLetterByLetter(editor), "");
  ASSERT_EQ(editor.charWidth, 8);
  std::vector<bool> inked(5, false);
  for (int y = 370; y < 370 + editor.lineHeight - 3; ++y)
    for (int x = 4; x < 4 + 5 * 8; ++x)
      if (editor.Surface().pixel(x, y) != qRgb(255, 255, 255)) inked[(x - 4) / 8] = true;
  EXPECT_EQ(inked, (std::vector<bool>{false, false, true, true, false}));
}

// Test files written on other machines name "CELL.BMP" where the file here is "cell.bmp".
TEST_F(PaintEditor, PictureNamedInAnotherLetterCaseIsShown) {
  const struct {
    const char* file;  // the system's name, UTF-8
    const char* name;  // as the test file stores it, Windows-1252
  } pictures[] = {{"cell.bmp", "CELL.BMP"},
                  {"Zelle_\xc3\xa4.bmp", "ZELLE_\xe4.BMP"},
                  {"Zelle_\xc3\xa4.bmp", "ZELLE_\xc4.BMP"}};
  for (const auto& picture : pictures) {
    InFolder folder;
    folder.WriteBitmap(picture.file, 300, 250);
    Open(EditorProgram::Quizloom, "q", "a");
    std::strcpy(editor->pictureName, picture.name);
    const auto calls = Paint();
    ASSERT_EQ(calls.size(), 14u);
    EXPECT_EQ(calls[9], "blit 0,116 " + std::to_string(editor->GetClientRect().right) +
                            "x210 of 300x250")
        << picture.file;
    EXPECT_STREQ(editor->pictureName, picture.name);  // the stored name stays
  }
}

// The question list's drawing, from x = 5, y = 5, number 1, with the recorder's metrics.
class DrawQuestionTest : public ::testing::Test {
 protected:
  static core::TQuestion Make(const std::string& text, const std::string& answer,
                              const char* picture = "") {
    core::TQuestion question;
    for (char c : text) question.text.emplace_back(static_cast<unsigned char>(c), 0);
    for (char c : answer) question.answer.emplace_back(static_cast<unsigned char>(c), 0);
    std::strcpy(question.picture, picture);
    return question;
  }
  std::vector<std::string> Draw(const core::TQuestion& question,
                                const platform::TScroller* scroller = nullptr) {
    dc.Clear();
    editor::DrawQuestion(scroller, question, dc, x, y, 16, 8, number, 400);
    return Describe(dc.Calls());
  }

  platform::TRecordingDC dc;
  int x = 5, y = 5, number = 1;
};

TEST_F(DrawQuestionTest, WithoutPictureOneEmptyLineBeforeTheAnswer) {
  core::TQuestion question = Make("ab\r\ncd\re", "H2O");
  question.text[1].mark = 1;
  question.answer[1].mark = 2;
  EXPECT_EQ(Draw(question), (std::vector<std::string>{"5,5 1. ", "29,5 a", "37,3 b", "5,21 c",
                                                      "13,21 d", "5,37 e", "5,69 Answer:  ",
                                                      "77,69 H", "85,71 2", "93,69 O"}));
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 101);
  EXPECT_EQ(number, 2);
}

TEST_F(DrawQuestionTest, PictureTakes200PixelsAndIsCopied210High) {
  // Also when the file's name differs in letter case, as tests from other machines name it.
  for (const char* file : {"CELL.BMP", "Cell.bmp"}) {
    InFolder folder;
    folder.WriteBitmap(file, 500, 300);
    y = 5;
    number = 1;
    EXPECT_EQ(Draw(Make("q", "a", "CELL.BMP")),
              (std::vector<std::string>{"5,5 1. ", "29,5 q", "blit 0,21 400x210 of 500x300",
                                        "5,221 Answer:  ", "77,221 a"}))
        << file;
    EXPECT_EQ(y, 253);
  }

  InFolder folder;
  y = 5;
  EXPECT_EQ(Draw(Make("q", "a", "GONE.BMP")),
            (std::vector<std::string>{
                "5,5 2. ", "29,5 q",
                "5,21 Bitmap fileGONE.BMP is not on the same directory as quizloom.",
                "5,237 Answer:  ", "77,237 a"}));
  EXPECT_EQ(y, 269);
}

TEST_F(DrawQuestionTest, NumbersFollowTheListOrder) {
  std::vector<std::string> numbers;
  for (int i = 0; i < 3; ++i) {
    auto calls = Draw(Make("q", ""));
    numbers.push_back(calls.front());
  }
  EXPECT_EQ(numbers, (std::vector<std::string>{"5,5 1. ", "5,69 2. ", "5,133 3. "}));
  EXPECT_EQ(number, 4);
}

TEST_F(DrawQuestionTest, InvisibleQuestionsAdvanceYAlike) {
  InFolder folder;
  folder.WriteBitmap("CELL.BMP", 50, 50);
  const std::vector<core::TQuestion> questions = {
      Make("first\rline", "1"), Make("pic", "2", "CELL.BMP"), Make("gone", "3", "GONE.BMP"),
      Make("last", "4")};
  // Every y the list reaches without a scroller...
  std::vector<int> expectedY;
  for (const auto& question : questions) {
    Draw(question);
    expectedY.push_back(y);
  }

  platform::TWindow list;
  list.resize(400, 160);
  platform::TScroller scroller(list, 8, 16, 0, 100);
  scroller.SetPageSize();
  ASSERT_EQ(scroller.YPage(), 9);
  struct Case {
    const char* name;
    int xPos, yPos;
    std::vector<bool> drawn;
  };
  const Case cases[] = {
      {"top", 0, 0, {true, true, false, false}},
      {"scrolled to the last questions", 0, 30, {false, false, true, true}},
      // The list scrolls sideways where its lines are wider than the window (a large scale).
      {"scrolled right", 1, 0, {true, true, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    scroller.SetRange(10, 100);
    scroller.ScrollTo(c.xPos, c.yPos);
    x = 5;
    y = 5;
    number = 1;
    for (size_t i = 0; i < questions.size(); ++i) {
      const bool drewSomething = !Draw(questions[i], &scroller).empty();
      EXPECT_EQ(drewSomething, c.drawn[i]) << "question " << i + 1;
      EXPECT_EQ(y, expectedY[i]) << "question " << i + 1;
    }
    EXPECT_EQ(number, 5);
  }
}

}  // namespace
}  // namespace editor_testing
