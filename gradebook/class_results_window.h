#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QWidget>

#include "gradebook/class_data.h"
#include "gradebook/statistics.h"
#include "gradebook/store.h"

class QChartView;
class QLabel;
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

// A test's attempts read from the gradebook and laid out for the figures.
struct TLoadedClass {
  std::vector<TStore::TAttempt> attempts;
  TClassData data;
  // False, the user told, when the gradebook could not be read.
  bool Load(TStore& store, int64_t testId, QWidget* owner);
};

// Chooses the test whose results to show: the open test when the gradebook knows it, else
// one the teacher picks from the gradebook's list. Nothing (the user told why) when there is
// none to show or the choice was cancelled. name is the test's file name.
std::optional<int64_t> ChooseClassTest(QWidget* owner, TStore& store,
                                       const core::TOpenTest* openTest, std::string& name);

// The class results of one test: the summary, the students with Delete Attempt, the questions
// with their figures and most common wrong answers, the two charts, the export of both
// tables and the printout. A window of its own beside the main window, used from the keyboard
// alone if need be.
class TClassResultsWindow : public QWidget {
 public:
  TClassResultsWindow(TStore& store, int64_t testId, std::string testName,
                      platform::TPrinter& printer, QWidget* parent);
  ~TClassResultsWindow() override;

  // Reads the test's attempts from the gradebook again; false (the user told) on failure.
  bool Reload();

  void CmDeleteAttempt();
  void CmExportStudents();
  void CmExportQuestions();
  void CmPrint();
  void CmPrintPreview();

  int64_t TestId() const { return testId_; }
  const TClassData& Data() const { return data_; }
  const TSummary& Summary() const { return summary_; }
  QTableView* StudentsView() const { return studentsView_; }
  QTableView* QuestionsView() const { return questionsView_; }
  QTabWidget* Tabs() const { return tabs_; }

 private:
  void BuildWidgets();
  void ShowFigures();
  void Export(const std::string& suffix, const std::string& bytes);
  std::string DefaultExportName(const std::string& suffix) const;

  TStore& store_;
  int64_t testId_;
  std::string testName_;
  platform::TPrinter& printer_;
  TLoadedClass class_;
  const TClassData& data_ = class_.data;
  TSummary summary_;
  std::vector<TQuestionFigures> figures_;
  std::string exportFolder_;

  QLabel* title_ = nullptr;
  std::vector<QLabel*> summaryValues_;
  QTabWidget* tabs_ = nullptr;
  TStudentsModel* studentsModel_ = nullptr;
  QSortFilterProxyModel* studentsOrder_ = nullptr;
  QTableView* studentsView_ = nullptr;
  QPushButton* deleteButton_ = nullptr;
  TQuestionsModel* questionsModel_ = nullptr;
  QTableView* questionsView_ = nullptr;
  QChartView* scoresChart_ = nullptr;
  QChartView* facilityChart_ = nullptr;
};

}  // namespace gradebook
