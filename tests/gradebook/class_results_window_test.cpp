#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtCharts/QChartView>

#include "authoring/test_window.h"
#include "core/mark_forms.h"
#include "gradebook/class_print_layout.h"
#include "gradebook/class_results_window.h"
#include "gradebook/csv_export.h"
#include "gradebook/letters_delegate.h"
#include "gradebook/store.h"
#include "platform/printer.h"
#include "platform/recording_dc.h"
#include "tests/gradebook/class_fixture.h"
#include "tests/support/scripted_user.h"

namespace gradebook {
namespace {

using testing_support::ScriptedUser;

class ClassResultsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    std::string error;
    store = TStore::Open(folder.filePath("gradebook.sqlite").toStdString(), error);
    ASSERT_TRUE(store) << error;
    for (auto& attempt : {Attempt("Lovelace", "Ada", 2, {"H2O", "4"}),
                          Attempt("Babbage", "Charles", 0, {"", "5"}),
                          Attempt("Curie", "Marie", 1, {"H2O", "5"})})
      ASSERT_EQ(store->Collect(*attempt, {}), TStore::Outcome::Added) << store->LastError();
    testId = store->Tests().value().at(0).id;
    gradebook = std::make_unique<TGradebookThread>(*store);
    window = std::make_unique<TClassResultsWindow>(*gradebook, testId, "WATER.TST", printer,
                                                   nullptr);
    ASSERT_TRUE(window->Reload());
  }
  QString Cell(QTableView* view, int row, int column, int role = Qt::DisplayRole) {
    return view->model()->index(row, column).data(role).toString();
  }

  QTemporaryDir folder;
  std::unique_ptr<TStore> store;
  std::unique_ptr<TGradebookThread> gradebook;
  int64_t testId = 0;
  platform::TPrinter printer;
  std::unique_ptr<TClassResultsWindow> window;
};

// The tables as a teacher reads them: students sorted by last name, then by percent; the
// questions with their letters, Unicode text, wrong answers and the reason for the warning.
TEST_F(ClassResultsWindowTest, SummaryAndTables) {
  EXPECT_EQ(window->Summary().attempts, 3);
  EXPECT_EQ(FormatFigure(window->Summary().mean, 1), "50.0");
  QTableView* students = window->StudentsView();
  ASSERT_EQ(students->model()->rowCount(), 3);
  EXPECT_EQ(Cell(students, 0, 0), "Babbage");
  EXPECT_EQ(Cell(students, 2, 5), "2026-03-07");
  students->sortByColumn(8, Qt::DescendingOrder);
  EXPECT_EQ(Cell(students, 0, 0) + Cell(students, 1, 0) + Cell(students, 2, 0),
            "LovelaceCurieBabbage");
  QTableView* questions = window->QuestionsView();
  ASSERT_EQ(questions->model()->rowCount(), 2);
  EXPECT_EQ(Cell(questions, 0, 1), "Water is H\u2082O");
  EXPECT_EQ(Cell(questions, 0, 4), "66.7");
  EXPECT_EQ(Cell(questions, 0, 6), "(empty) (1)");
  EXPECT_EQ(Cell(questions, 1, 4), "33.3");
  EXPECT_EQ(Cell(questions, 1, 6), "5 (2)");
  const auto letters = questions->model()->index(1, 1).data(kLettersRole).value<core::TLetters>();
  EXPECT_EQ(letters, (core::TLetters{{'x', 0}, {'2', 1}}));
  EXPECT_EQ(Cell(questions, 0, 0, Qt::ToolTipRole), "");
  questions->grab();  // the letters' delegate paints every cell without a fault
}

// Delete Attempt asks first; No keeps the row, Yes removes it from the window and the
// gradebook. Export writes the window's own bytes without moving the current folder; a
// folder that cannot be written says so. Print sends the class to a PDF, read back.
TEST_F(ClassResultsWindowTest, DeleteExportAndPrint) {
  ScriptedUser user;
  const QString current = QDir::currentPath();
  const std::string students = folder.filePath("class.csv").toStdString();
  const std::string pdf = folder.filePath("class.pdf").toStdString();
  user.AnswerMessage(platform::IDNO).AnswerMessage(platform::IDYES);
  user.ChooseFile(students).ChooseFile("/proc/no/such/folder/q.csv").AnswerMessage();
  user.ChoosePrint(pdf);
  window->StudentsView()->setCurrentIndex(window->StudentsView()->model()->index(1, 0));
  window->CmDeleteAttempt();
  EXPECT_EQ(window->StudentsView()->model()->rowCount(), 3);
  window->CmDeleteAttempt();
  EXPECT_EQ(window->StudentsView()->model()->rowCount(), 2);
  EXPECT_EQ(store->Attempts(testId).value().size(), 2u);
  EXPECT_EQ(user.Messages()[0].text,
            "Delete the attempt of Marie Curie of 2026-03-07? It is removed from the gradebook "
            "for good.");
  window->CmExportStudents();
  QFile written(QString::fromStdString(students));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll().toStdString(), StudentsCsv(window->Data(), window->StudentOrder()));
  EXPECT_EQ(QDir::currentPath(), current);
  window->CmExportQuestions();
  ASSERT_EQ(user.Messages().size(), 3u);
  EXPECT_EQ(user.Messages()[2].text.rfind("The file /proc/no/such/folder/q.csv could not be "
                                          "written: ", 0), 0u);
  // Printed as the window shows the students: here by percent, highest first.
  const core::TLocalDate printed{2026, 3, 9};
  core::FixTodayForTests(&printed);
  window->StudentsView()->sortByColumn(8, Qt::DescendingOrder);
  window->CmPrint();
  QProcess text;
  text.start("pdftotext", {"-f", "1", "-l", "1", "-layout", QString::fromStdString(pdf), "-"});
  ASSERT_TRUE(text.waitForFinished());
  const QString page = QString::fromUtf8(text.readAllStandardOutput());
  for (const char* expected :
       {"Class Results: WATER.TST", "Printed: 2026-03-09", "Course: Chemistry, \"B\"",
        "Period: 3", "Instructor: Smith", "Mean: 50.0 %", "Page 1 of 2", "Facility",
        "Wrong answers: (empty) (1)"})
    EXPECT_TRUE(page.contains(expected)) << expected << "\n" << page.toStdString();
  EXPECT_LT(page.indexOf("Lovelace"), page.indexOf("Babbage"));
  EXPECT_FALSE(page.contains("Curie"));

  // The same job on the recording DC: each chart one vector picture, and no letter's cell,
  // raised or lowered, reaching into another's on its page.
  platform::TRecordingDC recorder;
  printer.RecordDrawingInto(&recorder);
  user.ChoosePrint("");
  window->CmPrint();
  core::FixTodayForTests(nullptr);
  int pictures = 0;
  std::map<int, std::vector<int>> tops;  // the letters' tops by their left edge
  for (const platform::DrawCall& call : recorder.Calls()) {
    pictures += call.kind == platform::DrawCall::Kind::Picture;
    if (call.kind == platform::DrawCall::Kind::SelectFont) tops.clear();  // a new page
    if (call.kind != platform::DrawCall::Kind::Text) continue;
    std::vector<int>& column = tops[call.x];
    for (int top : column) EXPECT_GE(std::abs(call.y - top), 13) << call.text << call.x;
    column.push_back(call.y);
  }
  EXPECT_EQ(pictures, 2);
}

// The teacher accepts "5" from its wrong answer's cell after a confirmation that names the
// attempts changing: the students, summary, questions, charts, export and printout follow. An
// empty answer is refused; Stop Accepting, from its list of accepted answers, undoes it all.
TEST_F(ClassResultsWindowTest, AcceptingAnAnswerRegradesEveryFigure) {
  ScriptedUser user;
  user.AnswerMessage(platform::IDNO).AnswerMessage(platform::IDYES).AnswerMessage();
  user.AnswerMessage(platform::IDYES);
  QTableView* questions = window->QuestionsView();
  QTableView* students = window->StudentsView();  // Babbage, Curie, Lovelace
  const auto choose = [&](int row, int column, const QString& text, const QString& item = "") {
    questions->setCurrentIndex(questions->model()->index(row, column));
    QMenu menu;
    window->FillAcceptingMenu(menu);
    for (QAction* action : menu.actions()) {
      if (action->text() != text) continue;
      for (QAction* answer : action->menu() ? action->menu()->actions() : QList{action})
        if (!action->menu() || answer->text() == item) return answer->trigger();
    }
    ADD_FAILURE() << text.toStdString();
  };
  const auto printed = [&] {
    std::string text;
    for (const TPrintBlock& block : LayOutClassPrint(window->Data(), window->StudentOrder(),
                                                     window->Summary(),
                                                     FigureQuestions(window->Data().answers, 2)))
      for (const core::TLetters& line : block.lines) text += core::LettersToUtf8(line) + "\n";
    return text;
  };
  choose(1, 6, "Accept This &Answer");
  EXPECT_EQ(Cell(questions, 1, 6), "5 (2)");
  choose(1, 6, "Accept This &Answer");
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_EQ(user.Messages()[1].text, "Accept '5' for question 2? 2 attempts of '5' become right.");
  EXPECT_EQ(user.Messages()[1].caption, "Accept This Answer");
  EXPECT_EQ(Cell(questions, 1, 3) + "|" + Cell(questions, 1, 4) + "|" + Cell(questions, 1, 6),
            "5|100.0|");
  EXPECT_EQ(FormatFigure(window->Summary().mean, 1), "83.3");
  EXPECT_EQ(Cell(students, 0, 6) + "|" + Cell(students, 0, 8) + "|" + Cell(students, 0, 9) + "|" +
                Cell(students, 2, 9),
            "1|50 %|0 to 1|");
  EXPECT_NE(StudentsCsv(window->Data(), window->StudentOrder())
                .find("\r\nBabbage,Charles,\"Chemistry, \"\"B\"\"\",3,Smith,2026-03-07,0,1,2,50,0,1\r\n"),
            std::string::npos);
  EXPECT_TRUE(window->ScoresChart()->accessibleDescription().contains(
      "50 to 59 percent: 1; 60 to 69 percent: 0; 70 to 79 percent: 0; 80 to 89 percent: 0; "
      "90 to 100 percent: 2"));
  EXPECT_NE(printed().find("Babbage"), std::string::npos);
  EXPECT_NE(printed().find("\n     regraded: 0 to 1\n"), std::string::npos) << printed();
  EXPECT_NE(printed().find("\n     Also accepted: 5\n"), std::string::npos) << printed();
  choose(0, 6, "Accept This &Answer");
  EXPECT_EQ(user.Messages()[2].text,
            "An empty answer cannot be accepted: the student gave no answer for question 1.");
  choose(1, 0, "&Stop Accepting This Answer", "5");
  EXPECT_EQ(user.Messages()[3].text,
            "Stop accepting '5' for question 2? 2 attempts of '5' become wrong again.");
  EXPECT_EQ(FormatFigure(window->Summary().mean, 1), "50.0");
  EXPECT_EQ(Cell(students, 0, 9) + Cell(questions, 1, 3), "");
  EXPECT_EQ(printed().find("regraded"), std::string::npos);
}

// Class Results from the menu: an empty gradebook says so; otherwise, with no test open, the
// teacher picks one from the gradebook's list and its window is shown.
TEST(ClassResultsCommand, EmptyGradebookThenATestPicked) {
  QTemporaryDir data;
  qputenv("XDG_DATA_HOME", data.path().toUtf8());
  quizloom::TTestWindow main;
  ScriptedUser user;
  user.AnswerMessage().ChooseRow(0);
  main.Command(quizloom::CM_CLASS_RESULTS);
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text,
            "The gradebook holds no results yet. Collect them first with Collect Results or Add "
            "Results Files.");
  ASSERT_TRUE(main.gradebookThread && main.gradebookThread->Store());
  auto shorter = Attempt("Curie", "Marie", 1, {"H2O"});  // another version of WATER.TST
  shorter->day = 9;
  main.gradebookThread->Use(nullptr, "", [&](TStore& store, TJob&) {
    store.Collect(*Attempt("Lovelace", "Ada", 2, {"H2O", "4"}), {}), store.Collect(*shorter, {});
  });
  main.Command(quizloom::CM_CLASS_RESULTS);
  EXPECT_EQ(user.prompts().back().rows,
            (std::vector<std::vector<std::string>>{
                {"WATER.TST", "2", "1", "2026-03-07", "2026-03-07", "Water is H\u2082O"},
                {"WATER.TST", "1", "1", "2026-03-09", "2026-03-09", "Water is H\u2082O"}}));
  ASSERT_TRUE(main.classResultsWindow);
  EXPECT_TRUE(main.classResultsWindow->isVisible());
  EXPECT_EQ(main.classResultsWindow->windowTitle(), "Class Results - WATER.TST");
  qunsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace gradebook
