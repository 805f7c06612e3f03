#include "gradebook/class_results_window.h"

#include <QAction>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include "gradebook/class_charts.h"
#include "gradebook/class_print.h"
#include "gradebook/class_tables.h"
#include "gradebook/csv_export.h"
#include "gradebook/letters_delegate.h"
#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/printer.h"
#include "platform/system.h"

namespace gradebook {

namespace {

const char* const kSummaryNames[] = {"Attempts:", "Mean:", "Median:", "Standard deviation:",
                                     "Lowest:", "Highest:", "Reliability (KR-20):"};
constexpr char kCaption[] = "Class Results";

QTableView* MakeTable(QAbstractItemModel* model, const QString& name, QWidget* parent) {
  auto* view = new QTableView(parent);
  view->setModel(model);
  view->setAccessibleName(name);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setAlternatingRowColors(true);
  view->setTabKeyNavigation(false);  // Tab leaves the table for the buttons
  view->verticalHeader()->hide();
  view->horizontalHeader()->setStretchLastSection(true);
  // Columns are fitted to their first rows: a class of a thousand need not all be measured.
  view->horizontalHeader()->setResizeContentsPrecision(100);
  view->verticalHeader()->setResizeContentsPrecision(100);
  return view;
}

void Warn(QWidget* owner, const std::string& text) {
  platform::MessageBox(owner, text, "Warning", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace

TClassResultsWindow::TClassResultsWindow(TStore& store, int64_t testId, std::string testName,
                                         platform::TPrinter& printer, QWidget* parent)
    : QWidget(parent, Qt::Window),
      store_(store),
      testId_(testId),
      testName_(std::move(testName)),
      printer_(printer) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowTitle(QString(kCaption) + " - " + platform::FromCp1252(testName_));
  BuildWidgets();
  resize(900, 620);
}

TClassResultsWindow::~TClassResultsWindow() = default;

void TClassResultsWindow::BuildWidgets() {
  auto* layout = new QVBoxLayout(this);
  title_ = new QLabel(this);
  title_->setTextFormat(Qt::PlainText);
  layout->addWidget(title_);

  auto* summaryBox = new QGroupBox("Summary", this);
  auto* form = new QFormLayout(summaryBox);
  for (const char* name : kSummaryNames) {
    auto* value = new QLabel(summaryBox);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    value->setAccessibleName(QString(name).chopped(1));
    form->addRow(name, value);
    summaryValues_.push_back(value);
  }
  layout->addWidget(summaryBox);

  tabs_ = new QTabWidget(this);
  layout->addWidget(tabs_, 1);

  auto* students = new QWidget(tabs_);
  auto* studentsLayout = new QVBoxLayout(students);
  studentsModel_ = new TStudentsModel(this);
  studentsOrder_ = new QSortFilterProxyModel(this);
  studentsOrder_->setSourceModel(studentsModel_);
  studentsOrder_->setSortRole(kSortRole);
  studentsOrder_->setSortCaseSensitivity(Qt::CaseInsensitive);
  studentsView_ = MakeTable(studentsOrder_, "Students", students);
  studentsView_->setSortingEnabled(true);
  studentsView_->sortByColumn(0, Qt::AscendingOrder);
  studentsLayout->addWidget(studentsView_);
  auto* studentButtons = new QHBoxLayout;
  deleteButton_ = new QPushButton("&Delete Attempt", students);
  auto* exportStudents = new QPushButton("Export &Students...", students);
  studentButtons->addWidget(deleteButton_);
  studentButtons->addStretch();
  studentButtons->addWidget(exportStudents);
  studentsLayout->addLayout(studentButtons);
  tabs_->addTab(students, "S&tudents");
  auto* deleteKey = new QShortcut(QKeySequence::Delete, studentsView_);
  deleteKey->setContext(Qt::WidgetShortcut);
  connect(deleteKey, &QShortcut::activated, this, [this] { CmDeleteAttempt(); });
  connect(deleteButton_, &QPushButton::clicked, this, [this] { CmDeleteAttempt(); });
  connect(exportStudents, &QPushButton::clicked, this, [this] { CmExportStudents(); });

  auto* questions = new QWidget(tabs_);
  auto* questionsLayout = new QVBoxLayout(questions);
  questionsModel_ = new TQuestionsModel(this);
  questionsView_ = MakeTable(questionsModel_, "Questions", questions);
  questionsView_->setItemDelegate(new TLettersDelegate(questionsView_));
  questionsLayout->addWidget(questionsView_);
  auto* questionButtons = new QHBoxLayout;
  auto* exportQuestions = new QPushButton("Export &Questions...", questions);
  questionButtons->addStretch();
  questionButtons->addWidget(exportQuestions);
  questionsLayout->addLayout(questionButtons);
  tabs_->addTab(questions, "Q&uestions");
  connect(exportQuestions, &QPushButton::clicked, this, [this] { CmExportQuestions(); });

  auto* charts = new QWidget(tabs_);
  auto* chartsLayout = new QHBoxLayout(charts);
  scoresChart_ = new QChartView(charts);
  facilityChart_ = new QChartView(charts);
  for (QChartView* view : {scoresChart_, facilityChart_}) {
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::StrongFocus);
    chartsLayout->addWidget(view);
  }
  scoresChart_->setAccessibleName("Scores chart");
  facilityChart_->setAccessibleName("Facility chart");
  tabs_->addTab(charts, "C&harts");

  auto* buttons = new QHBoxLayout;
  auto* print = new QPushButton("&Print...", this);
  auto* preview = new QPushButton("Print Pre&view", this);
  auto* close = new QPushButton("&Close", this);
  buttons->addWidget(print);
  buttons->addWidget(preview);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(print, &QPushButton::clicked, this, [this] { CmPrint(); });
  connect(preview, &QPushButton::clicked, this, [this] { CmPrintPreview(); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
}

bool TLoadedClass::Load(TStore& store, int64_t testId, QWidget* owner) {
  std::optional<std::vector<TStore::TAttempt>> read;
  {
    platform::TWaitCursor wait;
    read = store.Attempts(testId);
  }
  if (!read) {
    Warn(owner, store.LastError());
    return false;
  }
  attempts = std::move(*read);
  std::vector<const core::TInformation*> informations;
  int32_t questionCount = 0;
  for (const TStore::TAttempt& attempt : attempts) {
    informations.push_back(attempt.information.get());
    questionCount = std::max(questionCount, attempt.information->questionCount);
  }
  data = GatherClass(informations, questionCount);
  // A head of department reading other teachers' attempts sees whose each one is.
  if (std::any_of(attempts.begin(), attempts.end(), [&](const TStore::TAttempt& attempt) {
        return attempt.collector != store.Collector();
      }))
    for (const TStore::TAttempt& attempt : attempts) data.collectors.push_back(attempt.collector);
  return true;
}

std::optional<int64_t> ChooseClassTest(QWidget* owner, TStore& store,
                                       const core::TOpenTest* openTest, std::string& name) {
  std::optional<std::vector<TStore::TTestSummary>> read;
  {
    platform::TWaitCursor wait;
    read = store.Tests();
  }
  if (!read) {
    Warn(owner, store.LastError());
    return std::nullopt;
  }
  const std::vector<TStore::TTestSummary>& tests = *read;
  // A head of department's list holds other teachers' tests too, each with whose it is: they
  // choose whose class to see, even of the open test.
  const bool others = std::any_of(tests.begin(), tests.end(), [&](const auto& test) {
    return !test.collector.empty() && test.collector != store.Collector();
  });
  if (!others && openTest && !openTest->questions.IsEmpty()) {
    if (std::optional<int64_t> id = store.FindTest(*openTest)) {
      for (const TStore::TTestSummary& test : tests)
        if (test.id == *id) name = test.fileName;
      return id;
    }
  }
  if (tests.empty()) {
    platform::MessageBox(owner,
                         "The gradebook holds no results yet. Collect them first with "
                         "Collect Results or Add Results Files.",
                         "Information", platform::MB_OK | platform::MB_ICONINFORMATION);
    return std::nullopt;
  }
  std::vector<std::string> headers = {"Test", "Questions", "Attempts"};
  if (others) headers.push_back("Collector");
  std::vector<std::vector<std::string>> rows;
  for (const TStore::TTestSummary& test : tests) {
    rows.push_back({TextToUtf8(test.fileName), std::to_string(test.questionCount),
                    std::to_string(test.attemptCount)});
    if (others) rows.back().push_back(test.collector);
  }
  const std::optional<int> row = platform::Modal().ChooseRow(owner, "Choose a Test", headers, rows);
  if (!row || *row < 0 || *row >= static_cast<int>(tests.size())) return std::nullopt;
  name = tests[static_cast<std::size_t>(*row)].fileName;
  return tests[static_cast<std::size_t>(*row)].id;
}

bool TClassResultsWindow::Reload() {
  // The models point into the data being replaced: they let go of it first.
  studentsModel_->SetClass(nullptr);
  questionsModel_->SetClass(nullptr, nullptr);
  if (!class_.Load(store_, testId_, this)) return false;
  summary_ = Summarize(data_.answers, data_.questionCount);
  figures_ = FigureQuestions(data_.answers, data_.questionCount);
  ShowFigures();
  return true;
}

void TClassResultsWindow::ShowFigures() {
  title_->setText(QString("Test: %1    Questions: %2")
                      .arg(platform::FromCp1252(testName_))
                      .arg(data_.questionCount));
  const auto percent = [](const std::optional<int32_t>& value) {
    return value ? QString("%1 %").arg(*value) : QString("-");
  };
  const QString values[] = {QString::number(summary_.attempts),
                            QString::fromStdString(FormatFigure(summary_.mean, 1)),
                            QString::fromStdString(FormatFigure(summary_.median, 1)),
                            QString::fromStdString(FormatFigure(summary_.standardDeviation, 1)),
                            percent(summary_.lowest),
                            percent(summary_.highest),
                            QString::fromStdString(FormatFigure(summary_.reliability, 2))};
  for (std::size_t i = 0; i < summaryValues_.size(); ++i) summaryValues_[i]->setText(values[i]);

  studentsModel_->SetClass(&data_);
  questionsModel_->SetClass(&data_, &figures_);
  studentsView_->resizeColumnsToContents();
  questionsView_->resizeColumnsToContents();
  questionsView_->resizeRowsToContents();
  deleteButton_->setEnabled(!class_.attempts.empty());

  const std::array<int32_t, kPercentBands> bands = PercentBands(data_.percents);
  scoresChart_->setChart(MakeScoresChart(bands).release());
  facilityChart_->setChart(MakeFacilityChart(figures_).release());
  // Screen readers get the charts' values as text.
  QStringList scores, facility;
  for (int band = 0; band < kPercentBands; ++band)
    scores << QString("%1 to %2 percent: %3")
                  .arg(band * 10)
                  .arg(band == kPercentBands - 1 ? 100 : band * 10 + 9)
                  .arg(bands[static_cast<std::size_t>(band)]);
  for (const TQuestionFigures& question : figures_)
    facility << QString("Question %1: %2")
                    .arg(question.number)
                    .arg(QString::fromStdString(FormatFigure(question.facility, 1)));
  scoresChart_->setAccessibleDescription(scores.join("; "));
  facilityChart_->setAccessibleDescription(facility.join("; "));
}

void TClassResultsWindow::CmDeleteAttempt() {
  const QModelIndex current = studentsView_->currentIndex();
  if (!current.isValid() || class_.attempts.empty()) {
    platform::MessageBox(this, "Choose the attempt to delete in the students table first.",
                         "Information", platform::MB_OK | platform::MB_ICONINFORMATION);
    return;
  }
  const int row = studentsOrder_->mapToSource(current).row();
  const TStore::TAttempt& attempt = class_.attempts[static_cast<std::size_t>(row)];
  const core::TInformation& info = *attempt.information;
  char date[32];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", info.year, info.month, info.day);
  const std::string question = "Delete the attempt of " +
                               FieldText(info.firstName, sizeof info.firstName) + " " +
                               FieldText(info.lastName, sizeof info.lastName) + " of " + date +
                               "? It is removed from the gradebook for good.";
  if (platform::MessageBox(this, question, "Delete Attempt",
                           platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
    return;
  bool deleted = false;
  {
    platform::TWaitCursor wait;
    deleted = store_.DeleteAttempt(attempt.id);
  }
  if (!deleted) Warn(this, store_.LastError());
  Reload();
  const int rows = studentsOrder_->rowCount();
  if (rows > 0) studentsView_->setCurrentIndex(studentsOrder_->index(std::min(current.row(), rows - 1), 0));
}

std::string TClassResultsWindow::DefaultExportName(const std::string& suffix) const {
  const QFileInfo test(platform::PathToQt(platform::FileNameFromText(testName_)));
  QString base = test.completeBaseName();
  if (base.isEmpty()) base = "class";
  const QString folder = exportFolder_.empty() ? test.absolutePath()
                                               : platform::PathToQt(exportFolder_);
  return platform::PathFromQt(folder + "/" + base + "-" + QString::fromStdString(suffix) + ".csv");
}

void TClassResultsWindow::CmExportStudents() { Export("students", StudentsCsv(data_)); }

void TClassResultsWindow::CmExportQuestions() {
  Export("questions", QuestionsCsv(data_, figures_));
}

// The file is written whole or not at all: a failed export leaves an older file as it was.
void TClassResultsWindow::Export(const std::string& suffix, const std::string& bytes) {
  platform::TOpenSaveDialogData file;
  file.filter = "CSV Files (*.csv)|*.csv|";
  file.defaultExt = "csv";
  file.flags = platform::OFN_NOCHANGEDIR | platform::OFN_PATHMUSTEXIST;
  file.fileName = DefaultExportName(suffix);
  if (!platform::GetSaveFileName(this, file)) return;
  QSaveFile out(platform::PathToQt(file.fileName));
  const bool written = out.open(QIODevice::WriteOnly) &&
                       out.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                           static_cast<qint64>(bytes.size()) &&
                       out.commit();
  if (!written) {
    Warn(this, "The file " + platform::PathToText(file.fileName) +
                   " could not be written: " + platform::ToCp1252(out.errorString()) + ".");
    return;
  }
  exportFolder_ = platform::PathFromQt(QFileInfo(platform::PathToQt(file.fileName)).absolutePath());
}

void TClassResultsWindow::CmPrint() {
  TClassPrint printout(testName_, data_, printer_);
  printer_.Print(this, printout, true);
}

void TClassResultsWindow::CmPrintPreview() {
  TClassPrint printout(testName_, data_, printer_);
  printer_.Preview(this, printout);
}

}  // namespace gradebook
