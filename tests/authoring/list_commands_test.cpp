#include <cstring>

#include "authoring_fixture.h"

namespace quizloom {
namespace {

using testing_support::Prompt;

std::string Header(int number) {
  return "Question Number " + std::to_string(number) +
         ". Press Page Down to edit answer. Type in your question here:";
}

std::vector<std::string> QuestionTexts(const core::TList<core::TQuestion>& list) {
  std::vector<std::string> texts;
  for (const auto& question : list) texts.push_back(TextOf(question->text));
  return texts;
}

TEST_F(AuthoringTest, AddOnThreeOpensFourThenFiveAndCancelReturnsWithFour) {
  GiveQuestions(3);
  window().Command(CM_ADD);
  EXPECT_EQ(list().currentNumber, 4);
  EXPECT_EQ(list().currentQuestion, nullptr);
  EXPECT_EQ(window().Client(), &editor());
  EXPECT_EQ(Menu(), "6");
  EXPECT_EQ(editor().headerText, Header(4));
  EXPECT_EQ(editor().questionMode, 1);

  TypeQuestion("Fourth?", "4");
  ASSERT_EQ(questions().Count(), 4);
  EXPECT_EQ(TextOf(questions()[3].text), "Fourth?");
  EXPECT_EQ(TextOf(questions()[3].answer), "4");
  EXPECT_EQ(list().currentNumber, 5);
  EXPECT_EQ(window().Client(), &editor());
  EXPECT_EQ(editor().headerText, Header(5));
  EXPECT_EQ(editor().questionText[0], '\0');
  EXPECT_EQ(editor().answerText[0], '\0');
  EXPECT_EQ(editor().questionMode, 1);

  window().Command(CM_CANCEL);
  EXPECT_EQ(questions().Count(), 4);
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(Menu(), "MENU_1");
  EXPECT_EQ(window().Client(), window().listWindow);
  EXPECT_FALSE(editor().isVisibleTo(&window()));
  EXPECT_TRUE(list().NeedsPaint());
  EXPECT_TRUE(user.prompts().empty());
}

TEST_F(AuthoringTest, AddKeepsTheMarksAndThePictureOfTheTypedQuestion) {
  GiveQuestions(1);
  window().Command(CM_ADD);
  Type("x2");
  editor().questionMarks[1] = 1;
  std::strcpy(editor().pictureName, "CELL.BMP");
  PageDown();
  Type("CO2");
  editor().answerMarks[2] = 2;
  Enter();
  ASSERT_EQ(questions().Count(), 2);
  EXPECT_EQ(questions()[1].text, (core::TLetters{{'x', 0}, {'2', 1}}));
  EXPECT_EQ(questions()[1].answer, (core::TLetters{{'C', 0}, {'O', 0}, {'2', 2}}));
  EXPECT_STREQ(questions()[1].picture, "CELL.BMP");
}

TEST_F(AuthoringTest, CancelOnAnEmptyTestGoesBackToMenuNine) {
  window().Command(CM_NEW);
  window().Command(CM_CANCEL);
  EXPECT_EQ(Menu(), "9");
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(window().Client(), window().listWindow);
}

TEST_F(AuthoringTest, InsertAfterTwoOfFiveReturnsToTheListWithSix) {
  GiveQuestions(5);
  AnswerNumber("2");
  window().Command(CM_INSERT);
  ASSERT_EQ(user.prompts().size(), 1u);
  EXPECT_EQ(user.prompts()[0].text, "INSERTDIALOG");
  EXPECT_EQ(user.prompts()[0].owner, &window());
  EXPECT_EQ(list().currentNumber, 3);
  EXPECT_EQ(editor().headerText, Header(3));
  TypeQuestion("New third", "N");
  EXPECT_EQ(QuestionTexts(questions()),
            (std::vector<std::string>{"Question 1", "Question 2", "New third", "Question 3",
                                      "Question 4", "Question 5"}));
  EXPECT_EQ(window().Client(), window().listWindow);
  EXPECT_EQ(Menu(), "MENU_1");
  EXPECT_EQ(test().modified, 1);
}

TEST_F(AuthoringTest, InsertAfterTheLastOfFiveActsAsAdd) {
  GiveQuestions(5);
  AnswerNumber("5");
  window().Command(CM_INSERT);
  TypeQuestion("Sixth", "6");
  ASSERT_EQ(questions().Count(), 6);
  EXPECT_EQ(TextOf(questions()[5].text), "Sixth");
  EXPECT_EQ(window().Client(), &editor());
  EXPECT_EQ(list().currentNumber, 7);
  EXPECT_EQ(editor().headerText, Header(7));
}

// Each prompt, each refused text: the warning over the main window, then the same prompt
// again showing what was typed.
TEST_F(AuthoringTest, NumberPromptsRefuseNumbersOutsideTheTestUntilCancelled) {
  GiveQuestions(5);
  struct Prompted {
    int command;
    const char* templateName;
  } prompts[] = {{CM_DELETE, "DINTRO"}, {CM_CHANGE, "CINTRO"}, {CM_INSERT, "INSERTDIALOG"}};
  for (const Prompted& prompt : prompts) {
    for (const char* text : {"0", "6", "-1", "abc", "", "99999999999"}) {
      SCOPED_TRACE(std::string(prompt.templateName) + " '" + text + "'");
      user.Forget();
      std::string shownAgain;
      AnswerNumber(text);
      user.AnswerMessage();
      user.AnswerDialog(2, [&](platform::TDialog& d) { shownAgain = d.ControlText(101); });
      window().Command(prompt.command);
      ASSERT_EQ(user.prompts().size(), 3u);
      EXPECT_EQ(user.prompts()[0].text, prompt.templateName);
      EXPECT_EQ(user.prompts()[0].owner, &window());
      const Prompt& warning = user.prompts()[1];
      EXPECT_EQ(warning.text, "This is an unacceptable value.  Try again.");
      EXPECT_EQ(warning.caption, "Warning");
      EXPECT_EQ(warning.style, kWarningStyle);
      EXPECT_EQ(warning.owner, &window());
      EXPECT_EQ(user.prompts()[2].text, prompt.templateName);
      EXPECT_EQ(shownAgain, std::string(text).substr(0, 10));
      EXPECT_EQ(questions().Count(), 5);
      EXPECT_EQ(window().Client(), window().listWindow);
      EXPECT_EQ(test().modified, 0);
    }
  }
}

TEST_F(AuthoringTest, NumberPromptTakesTheLeadingDigitsOfTheText) {
  GiveQuestions(5);
  for (auto [text, number] : {std::pair{"3x", 3}, {" +2", 2}, {"5", 5}, {"  1 and more", 1}}) {
    SCOPED_TRACE(text);
    user.Forget();
    AnswerNumber(text);
    window().Command(CM_CHANGE);
    EXPECT_EQ(user.prompts().size(), 1u);
    EXPECT_EQ(list().currentNumber, number);
    EXPECT_EQ(list().currentQuestion, &questions()[number - 1]);
    window().Command(CM_CANCEL);
  }
}

TEST_F(AuthoringTest, NumberPromptOnAnEmptyTestAcceptsNothing) {
  AnswerNumber("1");
  user.AnswerMessage();
  user.AnswerDialog(2);
  window().Command(CM_DELETE);
  EXPECT_EQ(user.Messages().size(), 1u);
}

TEST_F(AuthoringTest, ChangeLoadsTheQuestionAndCancelKeepsItButMarksModified) {
  GiveQuestions(3);
  questions()[1].text[1].mark = 1;
  std::strcpy(questions()[1].picture, "CELL.BMP");
  AnswerNumber("2");
  window().Command(CM_CHANGE);
  EXPECT_EQ(user.prompts()[0].text, "CINTRO");
  EXPECT_STREQ(editor().questionText, "Question 2");
  EXPECT_EQ(editor().questionMarks[0], 0);
  EXPECT_EQ(editor().questionMarks[1], 1);
  EXPECT_STREQ(editor().answerText, "A2");
  EXPECT_STREQ(editor().pictureName, "CELL.BMP");
  EXPECT_EQ(editor().headerText, Header(2));
  EXPECT_EQ(list().currentNumber, 2);
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(window().Client(), &editor());

  Type("!");
  window().Command(CM_CANCEL);
  EXPECT_EQ(TextOf(questions()[1].text), "Question 2");
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(window().Client(), window().listWindow);
}

TEST_F(AuthoringTest, ChangeThenOkReplacesTheLettersOfTheSameQuestion) {
  GiveQuestions(3);
  core::TQuestion* second = &questions()[1];
  AnswerNumber("2");
  window().Command(CM_CHANGE);
  Type("!");  // at the caret, which starts at the front
  PageDown();
  Type("b");
  Enter();
  EXPECT_EQ(&questions()[1], second);
  EXPECT_EQ(TextOf(second->text), "!Question 2");
  EXPECT_EQ(TextOf(second->answer), "bA2");
  EXPECT_EQ(questions().Count(), 3);
  EXPECT_EQ(window().Client(), window().listWindow);
  EXPECT_EQ(Menu(), "MENU_1");
}

TEST_F(AuthoringTest, ChangeWithTheAnswerClearedWarnsAndReopensTheEditorOnTheSameQuestion) {
  GiveQuestions(3);
  AnswerNumber("2");
  window().Command(CM_CHANGE);
  Type("Q");
  std::memset(editor().answerText, 0, sizeof editor().answerText);
  user.AnswerMessage();
  window().Command(CM_OK);
  ASSERT_EQ(user.Messages().size(), 1u);
  const Prompt warning = user.Messages()[0];
  EXPECT_EQ(warning.text, "You must enter a question and an answer !!");
  EXPECT_EQ(warning.caption, "Warning");
  EXPECT_EQ(warning.style, kWarningStyle);
  EXPECT_EQ(warning.owner, &window());
  EXPECT_EQ(window().Client(), &editor());
  EXPECT_TRUE(editor().isVisibleTo(&window()));
  EXPECT_EQ(Menu(), "6");
  EXPECT_STREQ(editor().questionText, "QQuestion 2");
  EXPECT_EQ(editor().headerText, Header(2));
  EXPECT_EQ(TextOf(questions()[1].text), "Question 2");
  EXPECT_EQ(TextOf(questions()[1].answer), "A2");
}

TEST_F(AuthoringTest, OkWithoutAQuestionWarnsAndAddsNothing) {
  GiveQuestions(1);
  window().Command(CM_ADD);
  PageDown();
  Type("answer only");
  user.AnswerMessage();
  Enter();
  EXPECT_EQ(user.Messages().at(0).text, "You must enter a question and an answer !!");
  EXPECT_EQ(questions().Count(), 1);
  EXPECT_STREQ(editor().answerText, "answer only");
  EXPECT_EQ(list().currentNumber, 2);
  EXPECT_EQ(window().Client(), &editor());
}

TEST_F(AuthoringTest, DeleteOfTheOnlyQuestionLeavesAnUnmodifiedUntitledEmptyTest) {
  GiveQuestions(1);
  test().modified = 1;
  AnswerNumber("1");
  user.AnswerMessage(platform::IDYES);
  window().Command(CM_DELETE);
  ASSERT_EQ(user.prompts().size(), 2u);
  EXPECT_EQ(user.prompts()[0].text, "DINTRO");
  const Prompt& sure = user.prompts()[1];
  EXPECT_EQ(sure.text, "Are you sure?");
  EXPECT_EQ(sure.caption, "Delete the question.");
  EXPECT_EQ(sure.style, kYesNoQuestion);
  EXPECT_EQ(sure.owner, &window());
  EXPECT_TRUE(questions().IsEmpty());
  EXPECT_EQ(test().fileName, "Untitled");
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(test().untitled, 0);
  EXPECT_EQ(Menu(), "MENU_1");
  EXPECT_TRUE(list().NeedsPaint());
  const auto texts = PaintList();
  EXPECT_EQ(window().Caption(), "No file active");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "To retrieve a file press F3");
  user.Forget();
  window().Command(CM_SAVE);  // still on the menu, does nothing
  EXPECT_TRUE(user.prompts().empty());
}

TEST_F(AuthoringTest, DeleteRemovesTheNumberedQuestionOnlyAfterYes) {
  GiveQuestions(3);
  AnswerNumber("2");
  user.AnswerMessage(platform::IDNO);
  window().Command(CM_DELETE);
  EXPECT_EQ(questions().Count(), 3);
  EXPECT_EQ(test().modified, 0);

  AnswerNumber("2");
  user.AnswerMessage(platform::IDYES);
  window().Command(CM_DELETE);
  EXPECT_EQ(QuestionTexts(questions()), (std::vector<std::string>{"Question 1", "Question 3"}));
  EXPECT_EQ(test().modified, 1);
  EXPECT_EQ(test().fileName, "/tests/five.tst");
}

TEST_F(AuthoringTest, DeleteOfTheQuestionLastChangedForgetsIt) {
  GiveQuestions(3);
  AnswerNumber("2");
  window().Command(CM_CHANGE);
  window().Command(CM_CANCEL);
  ASSERT_EQ(list().currentQuestion, &questions()[1]);
  AnswerNumber("2");
  user.AnswerMessage(platform::IDYES);
  window().Command(CM_DELETE);
  EXPECT_EQ(list().currentQuestion, nullptr);
}

// The search, each way of matching: the search text is kept folded when not case sensitive.
TEST_F(AuthoringTest, SearchFoldsTheTextUnlessCaseSensitive) {
  questions().Add(MakeQuestion("The CELL wall", "a"));
  questions().Add(MakeQuestion("A Cell divides", "b"));
  questions().Add(MakeQuestion("One cell only", "c"));
  test().fileName = "/t.tst";
  window().SetMenu("MENU_1");
  struct Case {
    const char* text;
    bool caseSensitive;
    std::string kept;
    int found;  // question number, 0 for none
  } cases[] = {
      {"cell", false, "CELL", 1},
      {"cell", true, "cell", 3},
      {"Cell", true, "Cell", 2},
      {"CELL ONLY", false, "CELL ONLY", 3},
      {"wall", false, "WALL", 1},
      {"Answer", false, "ANSWER", 0},  // answers are not searched
      {"a", true, "a", 1},             // the a of "wall"
      {"A", true, "A", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    user.Forget();
    window().SetMenu("MENU_1");
    AnswerSearch(c.text, c.caseSensitive);
    user.AnswerMessage();
    window().Command(CM_SEARCH);
    EXPECT_EQ(list().searchText, c.kept);
    EXPECT_EQ(list().caseSensitive, c.caseSensitive ? 1 : 0);
    ASSERT_EQ(user.Messages().size(), 1u);
    const Prompt message = user.Messages()[0];
    EXPECT_EQ(message.caption, "Information");
    EXPECT_EQ(message.owner, &list());
    if (c.found) {
      EXPECT_EQ(message.text,
                "The word or phrase is contained in question number " + std::to_string(c.found));
      EXPECT_EQ(message.style, kWarningStyle);  // this one carries the exclamation icon
      EXPECT_EQ(list().searchPosition, c.found - 1);
      EXPECT_EQ(Menu(), "10");
    } else {
      EXPECT_EQ(message.text, "The word or phrase could not be found.");
      EXPECT_EQ(message.style, kInformationStyle);
      EXPECT_EQ(Menu(), "MENU_1");
    }
  }
}

TEST_F(AuthoringTest, SearchAndSearchAgainOverQuestionsTwoAndFourOfFive) {
  questions().Add(MakeQuestion("Plants", "a"));
  questions().Add(MakeQuestion("Photo synthesis needs light", "b"));
  questions().Add(MakeQuestion("Animals", "c"));
  questions().Add(MakeQuestion("Where does photo synthesis happen?", "d"));
  questions().Add(MakeQuestion("Rocks", "e"));
  test().fileName = "/t.tst";
  window().SetMenu("MENU_1");

  AnswerSearch("photo synthesis", false);
  user.AnswerMessage();
  window().Command(CM_SEARCH);
  EXPECT_EQ(user.Messages().back().text, "The word or phrase is contained in question number 2");
  EXPECT_EQ(Menu(), "10");

  user.AnswerMessage();
  window().Command(CM_SEARCH_AGAIN);
  EXPECT_EQ(user.Messages().back().text, "The word or phrase is contained in question number 4");
  EXPECT_EQ(user.Messages().back().style, kInformationStyle);
  EXPECT_EQ(user.Messages().back().owner, &list());
  EXPECT_EQ(list().searchPosition, 3);
  EXPECT_EQ(Menu(), "10");

  user.AnswerMessage();
  window().Command(CM_SEARCH_AGAIN);
  EXPECT_EQ(user.Messages().back().text, "The word or phrase could not be found.");
  EXPECT_EQ(user.Messages().back().caption, "Information");
  EXPECT_EQ(user.Messages().back().style, kInformationStyle);
  EXPECT_EQ(Menu(), "MENU_1");
  EXPECT_EQ(questions().Count(), 5);
  EXPECT_EQ(test().modified, 0);
}

TEST_F(AuthoringTest, SearchAgainAfterTheLastQuestionSaysThereAreNoMore) {
  GiveQuestions(3);
  AnswerSearch("Question 3", true);
  user.AnswerMessage();
  window().Command(CM_SEARCH);
  ASSERT_EQ(Menu(), "10");
  user.AnswerMessage();
  window().Command(CM_SEARCH_AGAIN);
  const Prompt message = user.Messages().back();
  EXPECT_EQ(message.text, "There are no questions past the last one.");
  EXPECT_EQ(message.caption, "Information");
  EXPECT_EQ(message.style, kWarningStyle);
  EXPECT_EQ(message.owner, &list());
  EXPECT_EQ(Menu(), "MENU_1");
}

TEST_F(AuthoringTest, SearchInsistsOnAText) {
  GiveQuestions(2);
  std::string shownAgain = "?";
  user.AnswerDialog(1).AnswerMessage().AnswerDialog(2, [&](platform::TDialog& d) {
    shownAgain = d.ControlText(101);
  });
  window().Command(CM_SEARCH);
  ASSERT_EQ(user.prompts().size(), 3u);
  EXPECT_EQ(user.prompts()[0].text, "SDIALOG");
  EXPECT_EQ(user.prompts()[0].owner, &list());
  const Prompt& warning = user.prompts()[1];
  EXPECT_EQ(warning.text, "You must put something in the search box!!");
  EXPECT_EQ(warning.caption, "Warning");
  EXPECT_EQ(warning.style, kWarningStyle);
  EXPECT_EQ(warning.owner, &list());
  EXPECT_EQ(shownAgain, "");
  EXPECT_EQ(Menu(), "MENU_1");
}

TEST_F(AuthoringTest, SearchCancelledChangesNothingButTheSearchPosition) {
  GiveQuestions(4);
  AnswerSearch("Question 3", true);
  user.AnswerMessage();
  window().Command(CM_SEARCH);
  ASSERT_EQ(list().searchPosition, 2);
  user.AnswerDialog(2);
  window().Command(CM_SEARCH);
  EXPECT_EQ(list().searchPosition, 0);
  EXPECT_EQ(list().searchText, "Question 3");
  EXPECT_EQ(Menu(), "10");
}

}  // namespace
}  // namespace quizloom
