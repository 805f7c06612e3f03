#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "gradebook/class_choice.h"
#include "gradebook/class_data.h"
#include "gradebook/statistics.h"
#include "gradebook/store.h"

class QChartView;
class QLineEdit;
class QMenu;
class QPushButton;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;

namespace platform {
class TPrinter;
}

namespace gradebook {

class TQuestionsModel;
class TStudentsModel;

// The class results of one test: the summary, the students with Delete Attempt, the questions
// with their figures and most common wrong answers, where the teacher accepts other answers
// and every figure follows, the two charts, the export of both tables and the printout. A dialog of its own beside the main window, not modal, used from
// the keyboard alone if need be, and readable down to 640 by 480: the summary is a compact
// form that scrolls before either table shows fewer than eight rows, and the charts scroll
// before their labels are cut.
class TClassResultsWindow : public QDialog {
 public:
  TClassResultsWindow(TGradebookThread& gradebook, int64_t testId, std::string testName,
                      platform::TPrinter& printer, QWidget* parent);
  ~TClassResultsWindow() override;

  // Reads the test's attempts from the gradebook again; false (the user told) on failure.
  bool Reload();

  void CmDeleteAttempt();
  // Accepts, or stops accepting, an answer or a way of comparing for a question, after the
  // teacher confirms how many attempts change; the class is regraded and shown again.
  void CmChangeAcceptance(const TAcceptance& change, bool accept);
  // The Accepting commands for the Questions table's current row and cell, as its context
  // menu and the Accepting button offer them.
  void FillAcceptingMenu(QMenu& menu);
  // Why accepting is not offered (a read-only or older gradebook, another teacher's test), or
  // empty.
  std::string AcceptingRefusal() const;
  void CmExportStudents();
  void CmExportQuestions();
  void CmPrint();
  void CmPrintPreview();

  int64_t TestId() const { return testId_; }
  const TClassData& Data() const { return data_; }
  const TSummary& Summary() const { return summary_; }
  // The attempts as the students table shows them, top to bottom.
  std::vector<std::size_t> StudentOrder() const;
  QTableView* StudentsView() const { return studentsView_; }
  QTableView* QuestionsView() const { return questionsView_; }
  QTabWidget* Tabs() const { return tabs_; }
  const std::vector<QLineEdit*>& SummaryFields() const { return summaryValues_; }
  QChartView* ScoresChart() const { return scoresChart_; }
  QPushButton* AcceptingButton() const { return acceptingButton_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* BuildSummary();
  QWidget* BuildStudents();
  QWidget* BuildQuestions();
  QWidget* BuildCharts();
  // Computes the figures of the class as it stands and shows them.
  void ShowClass();
  void ShowFigures();
  void ShowCharts();
  void ShowAcceptingMenu(QPoint at);
  // Reads the accepted answers again, regrades the class and shows every figure anew.
  void ShowRegraded();
  void Export(const std::string& suffix, const std::string& bytes);
  std::string DefaultExportName(const std::string& suffix) const;

  TGradebookThread& gradebook_;
  int64_t testId_;
  std::string testName_;
  platform::TPrinter& printer_;
  TLoadedClass class_;
  const TClassData& data_ = class_.data;
  TSummary summary_;
  std::vector<TQuestionFigures> figures_;
  std::string exportFolder_;

  std::vector<QLineEdit*> summaryValues_;
  QTabWidget* tabs_ = nullptr;
  TStudentsModel* studentsModel_ = nullptr;
  QSortFilterProxyModel* studentsOrder_ = nullptr;
  QTableView* studentsView_ = nullptr;
  QPushButton* deleteButton_ = nullptr;
  TQuestionsModel* questionsModel_ = nullptr;
  QTableView* questionsView_ = nullptr;
  QPushButton* acceptingButton_ = nullptr;
  QMenu* acceptingMenu_ = nullptr;
  QChartView* scoresChart_ = nullptr;
  QChartView* facilityChart_ = nullptr;
};

}  // namespace gradebook
