#include <optional>

#include <QPlainTextEdit>
#include <QTest>

#include "authoring/import_window.h"
#include "authoring_fixture.h"
#include "platform/scroller.h"

namespace quizloom {
namespace {

using testing_support::Prompt;

constexpr char kLine1[] = "Plants make their own food by photosynthesis. They take in";
constexpr char kLine2[] = "carbon dioxide through their leaves and water through their";
constexpr char kLine3[] = "roots, and give off oxygen.";
constexpr char kLine4[] = "Animals cannot do this.";
constexpr char kThreeLinesWrapped[] =
    "Plants make their own food by photosynthesis. They take in carbon dioxide\r\n"
    "through their leaves and water through their roots, and give off oxygen. ";
constexpr int kThreeLines = 58 + 2 + 59 + 2 + 27 + 2;  // a line end counts two positions
constexpr char kNoAnswer[] = "You must put something in the answer box!!";

class ImportTest : public AuthoringTest {
 protected:
  TImportWindow& import() { return *window().importWindow; }
  core::TList<core::TQuestion>& made() { return import().questions; }

  std::string WriteText(const std::string& name, const std::string& bytes) {
    QFile file(QString::fromStdString(Path(name)));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return Path(name);
  }
  static std::string LessonText(const char* lineEnd) {
    return std::string(kLine1) + lineEnd + kLine2 + lineEnd + kLine3 + lineEnd + kLine4 + lineEnd;
  }
  std::string Lesson() { return WriteText("lesson.txt", LessonText("\r\n")); }
  // Import on an empty test: no question asked before the file dialog.
  void ImportFile(const std::string& path) {
    user.ChooseFile(path);
    window().Command(CM_IMPORT);
  }
  // Select with the passage from start to end and the answer typed into ABOX.
  void SelectPassage(int start, int end, const std::string& answer) {
    import().SetSelection(start, end);
    user.AnswerDialog(platform::IDOK, [answer](platform::TDialog& d) { d.SetControlText(101, answer); });
    window().Command(CM_SELECT);
  }
  std::pair<int, int> Selection() {
    int start = -1;
    int end = -1;
    import().GetSelection(start, end);
    return {start, end};
  }
};

// Every Select case starts from this window text (a line end counts two positions).
TEST_F(ImportTest, SelectRefusesOrMakesAQuestionWithEveryMessageOfItsSteps) {
  const std::string words = [] {
    std::string text;
    for (int i = 0; i < 99; ++i) text += "word ";
    return text;
  }();
  const std::string longWord = "a " + std::string(493, 'x');
  const std::string lesson = LessonText("\n");
  struct Case {
    const char* name;
    std::string text;
    int start, end;
    std::vector<std::string> prompts;   // "ABOX" or a warning's text, in order
    std::vector<std::optional<std::string>> answers;  // typed into each ABOX; nothing: Cancel
    std::optional<std::string> question;
  } cases[] = {
      {"three lines joined and wrapped", lesson, 0, kThreeLines, {"ABOX"}, {"oxygen"},
       kThreeLinesWrapped},
      {"496 positions, before any wrapping", words + "\n" + words, 2, 498,
       {"Your selection is too large!!"}, {}, std::nullopt},
      {"495 characters of words make 7 lines", words, 0, 495,
       {"You cannot import more than 6 lines."}, {}, std::nullopt},
      {"a word longer than a line", longWord, 0, 495,
       {"You cannot import more than 495 characters."}, {}, std::nullopt},
      {"nothing selected", lesson, 7, 7,
       {"You must make a selection of text with the mouse or Shift+arrow keys!!!"}, {},
       std::nullopt},
      {"answer cancelled", lesson, 0, 6, {"ABOX"}, {std::nullopt}, std::nullopt},
      {"three empty answers, then one", lesson, 0, 6,
       {"ABOX", kNoAnswer, "ABOX", kNoAnswer, "ABOX", kNoAnswer, "ABOX"}, {"", "", "", "Plants"},
       "Plants"},
      {"an answer of 50 characters, then 49", lesson, 0, 6,
       {"ABOX", "You cannot have an answer greater than 49 characters.", "ABOX"},
       {std::string(50, 'w'), std::string(49, 'w')}, "Plants"},
      {"empty answers, then Cancel", lesson, 0, 6, {"ABOX", kNoAnswer, "ABOX"}, {"", std::nullopt},
       std::nullopt},
  };
  for (const Case& c : cases) {
    made().Clear();
    import().SetText(c.text);
    import().SetSelection(c.start, c.end);
    const std::string before = import().GetText();
    user.Forget();
    auto answer = c.answers.begin();
    std::string shown;  // ABOX starts on a zeroed record and then shows what was typed before
    for (const std::string& prompt : c.prompts) {
      if (prompt != "ABOX") {
        user.AnswerMessage(platform::IDOK);
      } else if (!*answer) {
        user.AnswerDialog(platform::IDCANCEL);
      } else {
        const std::string typed = **answer;
        user.AnswerDialog(platform::IDOK, [typed, shown, name = c.name](platform::TDialog& d) {
          EXPECT_EQ(d.ControlText(101), shown) << name;
          d.SetControlText(101, typed);
        });
        shown = typed;
      }
      if (prompt == "ABOX") ++answer;
    }
    import().ProcessCommand(CM_SELECT);
    std::vector<std::string> prompts;  // "ABOX" for the answer dialog
    for (const Prompt& p : user.prompts()) {
      prompts.push_back(p.text);
      EXPECT_EQ(p.owner, &import()) << c.name;
      EXPECT_EQ(p.caption, p.text == "ABOX" ? "Answer" : "Warning") << c.name;
      if (p.kind == Prompt::Kind::Message) {
        EXPECT_EQ(p.style, kWarningStyle) << c.name;
      }
    }
    EXPECT_EQ(prompts, c.prompts) << c.name;
    if (!c.question) {
      EXPECT_TRUE(made().IsEmpty()) << c.name;
      EXPECT_EQ(import().GetText(), before) << c.name;
      EXPECT_EQ(Selection(), std::make_pair(c.start, c.end)) << c.name;
      continue;
    }
    ASSERT_EQ(made().Count(), 1) << c.name;
    EXPECT_EQ(TextOf(made()[0].text), *c.question) << c.name;
    EXPECT_EQ(TextOf(made()[0].answer), *c.answers.back()) << c.name;
    EXPECT_EQ(import().GetText(), before.substr(0, c.start) + before.substr(c.end)) << c.name;
    EXPECT_EQ(Selection(), std::make_pair(c.start, c.start)) << c.name;
  }
}

TEST_F(ImportTest, ImportOnAnEmptyTestShowsTheFileFromItsStartWithMenu2AndDoneGoesBackTo9) {
  test().fileName = "/old/name.tst";
  ImportFile(Lesson());
  ASSERT_EQ(user.prompts().size(), 1u);
  const Prompt& dialog = user.prompts()[0];
  EXPECT_EQ(dialog.kind, Prompt::Kind::File);
  EXPECT_EQ(dialog.fileKind, platform::FileDialogKind::Open);
  EXPECT_EQ(dialog.fileData.filter, "Text Files (*.txt)|*.txt|");
  EXPECT_EQ(dialog.fileData.defaultExt, "txt");
  EXPECT_EQ(dialog.fileData.flags, 0x1808u);
  EXPECT_EQ(dialog.owner, &window());
  EXPECT_EQ(test().fileName, "Untitled");
  EXPECT_EQ(window().Client(), &import());
  EXPECT_FALSE(list().isVisibleTo(&window()));
  EXPECT_EQ(Menu(), "MENU_2");
  EXPECT_EQ(import().GetText(), LessonText("\r\n"));
  EXPECT_EQ(Selection(), std::make_pair(0, 0));
  window().Command(CM_DONE);
  EXPECT_TRUE(questions().IsEmpty());
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(window().Client(), &list());
  EXPECT_EQ(Menu(), "9");
}

// The questions before the file dialog. No empties the test even when the dialog is then
// cancelled; Cancel, or a save that does not happen after Yes, abandons the import.
TEST_F(ImportTest, AddToCurrentFileAndTheSavePromptBeforeTheFileDialog) {
  struct Case {
    const char* name;
    int32_t modified;
    std::vector<int> answers;  // to "Add to current file?" and "Do you want to save?"
    std::size_t prompts;       // shown, the file dialog included
    int count;
    const char* fileName;
    const char* menu;
  } cases[] = {
      {"No, then Cancel in the file dialog", 0, {platform::IDNO}, 2, 0, "Untitled", "9"},
      {"Cancel", 0, {platform::IDCANCEL}, 1, 3, "/tests/five.tst", "MENU_1"},
      // The cancelled Save As empties the name of an untitled test, as it does for New and Open.
      {"Yes, Yes to save, Save As cancelled", 1, {platform::IDYES, platform::IDYES}, 3, 3, "",
       "MENU_1"},
  };
  for (const Case& c : cases) {
    questions().Clear();
    GiveQuestions(3, c.modified ? "Untitled" : "/tests/five.tst");  // unsaved: a new test
    test().modified = c.modified;
    test().untitled = c.modified;
    list().Scroller()->ScrollTo(0, 2);
    const int scrolled = list().Scroller()->YPos();
    ASSERT_GT(scrolled, 0) << c.name;
    user.Forget();
    for (int answer : c.answers) user.AnswerMessage(answer);
    if (c.prompts > c.answers.size()) user.CancelFile();
    window().Command(CM_IMPORT);
    ASSERT_EQ(user.prompts().size(), c.prompts) << c.name;
    EXPECT_EQ(user.prompts()[0].text, "Add to current file?") << c.name;
    EXPECT_EQ(user.prompts()[0].caption, "Import File") << c.name;
    EXPECT_EQ(user.prompts()[0].style, kYesNoCancelQuestion) << c.name;
    if (c.answers.size() > 1) {
      EXPECT_EQ(user.prompts()[1].text, "Do you want to save?") << c.name;
    }
    EXPECT_EQ(questions().Count(), c.count) << c.name;
    EXPECT_EQ(test().fileName, c.fileName) << c.name;
    EXPECT_EQ(test().untitled, c.count == 0 ? 1 : c.modified) << c.name;
    EXPECT_EQ(test().modified, c.modified) << c.name;
    EXPECT_EQ(window().Client(), &list()) << c.name;
    EXPECT_EQ(Menu(), c.menu) << c.name;
    // An emptied test is shown from the top, where the hint to open or start a file stands.
    EXPECT_EQ(list().Scroller()->YPos(), c.count == 0 ? 0 : scrolled) << c.name;
  }
}

TEST_F(ImportTest, YesTwoSelectsAndDoneAppendBothAtTheEnd) {
  GiveQuestions(2);
  list().Scroller()->ScrollTo(0, 3);
  user.AnswerMessage(platform::IDYES).ChooseFile(Lesson());
  window().Command(CM_IMPORT);
  EXPECT_EQ(questions().Count(), 2);
  SelectPassage(0, kThreeLines, "oxygen");
  SelectPassage(0, 7, "Animals");  // the first passage has gone from the window
  window().Command(CM_DONE);
  ASSERT_EQ(questions().Count(), 4);
  EXPECT_EQ(TextOf(questions()[1].text), "Question 2");
  EXPECT_EQ(TextOf(questions()[2].text), kThreeLinesWrapped);
  EXPECT_EQ(TextOf(questions()[2].answer), "oxygen");
  EXPECT_EQ(TextOf(questions()[3].text), "Animals");
  EXPECT_EQ(TextOf(questions()[3].answer), "Animals");
  for (int i = 2; i < 4; ++i) {
    EXPECT_EQ(questions()[i].picture[0], '\0');
    for (const auto* letters : {&questions()[i].text, &questions()[i].answer})
      for (const core::TLetter& letter : *letters) EXPECT_EQ(letter.mark, 0);
  }
  EXPECT_TRUE(made().IsEmpty());
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(test().fileName, "/tests/five.tst");
  EXPECT_EQ(window().Client(), &list());
  EXPECT_FALSE(import().isVisibleTo(&window()));
  EXPECT_EQ(list().Scroller()->YPos(), 0);
  EXPECT_EQ(Menu(), "MENU_1");
  EXPECT_EQ(import().GetText(), " cannot do this.\r\n");  // kept for the next import
}

TEST_F(ImportTest, AFileThatCannotBeOpenedStillShowsTheWindowWithMenu2) {
  import().SetText("kept\nfrom before");
  user.ChooseFile(Path("missing.txt")).AnswerMessage();
  window().Command(CM_IMPORT);
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text, "Could not open file.");
  EXPECT_EQ(user.Messages()[0].caption, "Information");
  EXPECT_EQ(user.Messages()[0].style, kInformationStyle);
  EXPECT_EQ(import().GetText(), "kept\r\nfrom before");
  EXPECT_EQ(window().Client(), &import());
  EXPECT_EQ(Menu(), "MENU_2");
  // A folder opens on some systems but cannot be read: the same message, the text kept.
  user.AnswerMessage();
  EXPECT_FALSE(import().openFile(folder.path().toStdString()));
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_EQ(user.Messages()[1].text, "Could not open file.");
  EXPECT_EQ(import().GetText(), "kept\r\nfrom before");
}

// Notices after the load: the message about a large file only when something was cut, one
// notice of the characters replaced.
TEST_F(ImportTest, LoadNoticesSayWhatWasCutOrReplaced) {
  const std::string full(62999, 'e');
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> notices;
    std::size_t length;  // of the window's text, a line end counting two
  } cases[] = {
      {"exactly the limit", full, {}, 62999},
      {"one character more", full + "\r\n", {"You file has been truncated since it is so large."},
       62999},
      {"Greek in UTF-8", "\xCE\xB1\xCE\xB2 and caf\xC3\xA9\n",
       {"2 characters of the file cannot be used in a test and are shown as \"?\"."}, 13},
      {"cut and replaced", "\xE2\x88\x9A" + full,
       {"You file has been truncated since it is so large.",
        "1 character of the file cannot be used in a test and is shown as \"?\"."},
       62999},
  };
  for (const Case& c : cases) {
    user.Forget();
    for (std::size_t i = 0; i < c.notices.size(); ++i) user.AnswerMessage();
    EXPECT_TRUE(import().openFile(WriteText("big.txt", c.bytes))) << c.name;
    std::vector<std::string> notices;
    for (const Prompt& p : user.Messages()) {
      notices.push_back(p.text);
      EXPECT_EQ(p.caption, "Information") << c.name;
      EXPECT_EQ(p.style, kInformationStyle) << c.name;
    }
    EXPECT_EQ(notices, c.notices) << c.name;
    EXPECT_EQ(import().GetText().size(), c.length) << c.name;
  }
  EXPECT_EQ(import().GetText().substr(0, 4), "?eee");
}

TEST_F(ImportTest, F2F3AndF4DoNothingWhileImporting) {
  ImportFile(Lesson());
  SelectPassage(0, 6, "Plants");
  for (int command : {CM_NEW, CM_OPEN, CM_SAVE}) window().Command(command);
  // And as the keys arrive in the text.
  window().show();
  window().activateWindow();
  import().setFocus();
  for (Qt::Key key : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4}) QTest::keyClick(import().Editor(), key);
  QCoreApplication::processEvents();
  EXPECT_EQ(user.prompts().size(), 2u);  // the file dialog and ABOX of the import only
  EXPECT_EQ(window().Client(), &import());
  EXPECT_EQ(Menu(), "MENU_2");
  EXPECT_EQ(made().Count(), 1);
  EXPECT_EQ(test().fileName, "Untitled");
  // The same key reaches Open once the list is back.
  window().Command(CM_DONE);
  user.AnswerMessage(platform::IDNO).CancelFile();
  QTest::keyClick(&list(), Qt::Key_F3);
  QCoreApplication::processEvents();
  ASSERT_EQ(user.prompts().size(), 4u);
  EXPECT_EQ(user.prompts()[3].kind, Prompt::Kind::File);
}

TEST_F(ImportTest, ClosingWhileImportingHandsTheQuestionsToTheTestBeforeAsking) {
  GiveQuestions(1);
  user.AnswerMessage(platform::IDYES).ChooseFile(Lesson());
  window().Command(CM_IMPORT);
  SelectPassage(0, 6, "Plants");
  user.Forget();
  user.AnswerMessage(platform::IDCANCEL);
  EXPECT_FALSE(window().close());
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].text, "Do you want to save?");
  ASSERT_EQ(questions().Count(), 2);
  EXPECT_EQ(TextOf(questions()[1].text), "Plants");
  EXPECT_TRUE(made().IsEmpty());
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(window().Client(), &list());
  EXPECT_EQ(Menu(), "MENU_1");
}

}  // namespace
}  // namespace quizloom
