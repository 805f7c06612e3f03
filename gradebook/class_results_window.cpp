#include "gradebook/class_results_window.h"

#include <algorithm>

#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTabBar>
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

// The summary's figures in reading order, three to a row.
enum Figure { kTest, kQuestions, kAttempts, kMean, kMedian, kDeviation, kLowest, kHighest,
              kReliability, kFigures };
const char* const kFigureNames[] = {"Test",   "Questions",          "Attempts",
                                    "Mean",   "Median",             "Standard deviation",
                                    "Lowest", "Highest",            "Reliability (KR-20)"};
constexpr int kFiguresPerRow = 3;
constexpr char kCaption[] = "Class Results";
constexpr int kOpeningWidth = 900;
constexpr int kOpeningHeight = 620;
// Neither table ever shows fewer rows than this, however small the window.
constexpr int kRowsAlwaysShown = 8;
constexpr int kChartHeight = 240;
// The room a question's bar needs for its number to stay whole.
constexpr int kFacilityBarWidth = 30;

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

// The height that shows the header and rows rows of the table, a horizontal scroll bar
// included, since wide columns bring one.
int TableHeight(QTableView& view, int rows) {
  const int row = std::max(view.verticalHeader()->defaultSectionSize(),
                           view.model()->rowCount() > 0 ? view.rowHeight(0) : 0);
  return view.horizontalHeader()->sizeHint().height() + rows * row + 2 * view.frameWidth() +
         view.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &view);
}

// Buttons of a window that is not modal: Enter in a table must not press one.
QPushButton* Button(const QString& text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(false);
  return button;
}

void Warn(QWidget* owner, const std::string& text) {
  platform::MessageBox(owner, text, "Warning", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace

TClassResultsWindow::TClassResultsWindow(TGradebookThread& gradebook, int64_t testId,
                                         std::string testName, platform::TPrinter& printer,
                                         QWidget* parent)
    : QDialog(parent),
      gradebook_(gradebook),
      testId_(testId),
      testName_(std::move(testName)),
      printer_(printer) {
  setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
  setWindowTitle(QString(kCaption) + " - " + platform::FromCp1252(testName_));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildSummary());
  tabs_ = new QTabWidget(this);
  tabs_->addTab(BuildStudents(), "S&tudents");
  tabs_->addTab(BuildQuestions(), "Q&uestions");
  tabs_->addTab(BuildCharts(), "C&harts");
  layout->addWidget(tabs_, 1);
  // A tab chosen by its access key takes the keys into its table; one chosen with the arrow
  // keys on the tabs leaves them there.
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
    if (tabs_->tabBar()->hasFocus() || tab > 1) return;
    (tab == 0 ? studentsView_ : questionsView_)->setFocus(Qt::ShortcutFocusReason);
  });

  auto* buttons = new QHBoxLayout;
  auto* print = Button("&Print...", this);
  auto* preview = Button("Print Pre&view", this);
  auto* close = Button("&Close", this);
  buttons->addWidget(print);
  buttons->addWidget(preview);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(print, &QPushButton::clicked, this, [this] { CmPrint(); });
  connect(preview, &QPushButton::clicked, this, [this] { CmPrintPreview(); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);

  // It opens at its own size, or at the screen's where that is smaller (a large scale).
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  const QSize room =
      screen ? screen->availableGeometry().size() : QSize(kOpeningWidth, kOpeningHeight);
  resize(std::min(kOpeningWidth, room.width()), std::min(kOpeningHeight, room.height()));
}

TClassResultsWindow::~TClassResultsWindow() = default;

// A compact form of read-only fields, each named by its label and reached by Tab, so a
// screen reader reads "Mean, 55.3 %". It scrolls rather than take room from the tables.
QWidget* TClassResultsWindow::BuildSummary() {
  auto* form = new QWidget;
  auto* grid = new QGridLayout(form);
  grid->setContentsMargins(0, 0, 0, 0);
  for (int figure = 0; figure < kFigures; ++figure) {
    auto* value = new QLineEdit(form);
    value->setReadOnly(true);
    value->setFrame(false);
    value->setAccessibleName(kFigureNames[figure]);
    QPalette palette = value->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    value->setPalette(palette);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance("100.0 %") + 8);
    value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* label = new QLabel(QString(kFigureNames[figure]) + ":", form);
    label->setBuddy(value);
    const int row = figure / kFiguresPerRow, column = figure % kFiguresPerRow * 2;
    grid->addWidget(label, row, column);
    grid->addWidget(value, row, column + 1);
    grid->setColumnStretch(column + 1, 1);
    summaryValues_.push_back(value);
  }
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(form);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setMaximumHeight(form->sizeHint().height());
  scroll->setAccessibleName("Summary");
  scroll->setFocusPolicy(Qt::NoFocus);  // Tab goes to the figures themselves
  return scroll;
}

QWidget* TClassResultsWindow::BuildStudents() {
  auto* students = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(students);
  studentsModel_ = new TStudentsModel(this);
  studentsOrder_ = new QSortFilterProxyModel(this);
  studentsOrder_->setSourceModel(studentsModel_);
  studentsOrder_->setSortRole(kSortRole);
  studentsOrder_->setSortCaseSensitivity(Qt::CaseInsensitive);
  studentsView_ = MakeTable(studentsOrder_, "Students", students);
  studentsView_->setSortingEnabled(true);
  studentsView_->sortByColumn(0, Qt::AscendingOrder);
  layout->addWidget(studentsView_);
  auto* buttons = new QHBoxLayout;
  deleteButton_ = Button("&Delete Attempt", students);
  auto* exportStudents = Button("Export &Students...", students);
  buttons->addWidget(deleteButton_);
  buttons->addStretch();
  buttons->addWidget(exportStudents);
  layout->addLayout(buttons);
  auto* deleteKey = new QShortcut(QKeySequence::Delete, studentsView_);
  deleteKey->setContext(Qt::WidgetShortcut);
  connect(deleteKey, &QShortcut::activated, this, [this] { CmDeleteAttempt(); });
  connect(deleteButton_, &QPushButton::clicked, this, [this] { CmDeleteAttempt(); });
  connect(exportStudents, &QPushButton::clicked, this, [this] { CmExportStudents(); });
  return students;
}

QWidget* TClassResultsWindow::BuildQuestions() {
  auto* questions = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(questions);
  questionsModel_ = new TQuestionsModel(this);
  questionsView_ = MakeTable(questionsModel_, "Questions", questions);
  questionsView_->setItemDelegate(new TLettersDelegate(questionsView_));
  layout->addWidget(questionsView_);
  auto* buttons = new QHBoxLayout;
  // Accepting works from this button's menu, the table's context menu, the Menu key and
  // Shift+F10, on the current row or wrong answer.
  acceptingButton_ = Button("&Accepting", questions);
  acceptingMenu_ = new QMenu(acceptingButton_);
  acceptingButton_->setMenu(acceptingMenu_);
  connect(acceptingMenu_, &QMenu::aboutToShow, this, [this] { FillAcceptingMenu(*acceptingMenu_); });
  questionsView_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(questionsView_, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
    ShowAcceptingMenu(questionsView_->viewport()->mapToGlobal(at));
  });
  auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), questionsView_);
  menuKey->setContext(Qt::WidgetShortcut);
  connect(menuKey, &QShortcut::activated, this, [this] {
    const QRect cell = questionsView_->visualRect(questionsView_->currentIndex());
    ShowAcceptingMenu(questionsView_->viewport()->mapToGlobal(cell.isValid() ? cell.center()
                                                                             : QPoint(0, 0)));
  });
  auto* exportQuestions = Button("Export &Questions...", questions);
  buttons->addWidget(acceptingButton_);
  buttons->addStretch();
  buttons->addWidget(exportQuestions);
  layout->addLayout(buttons);
  connect(exportQuestions, &QPushButton::clicked, this, [this] { CmExportQuestions(); });
  return questions;
}

// The charts one above the other at the window's width; each keeps the size its labels
// need, and the page scrolls when the window is smaller.
QWidget* TClassResultsWindow::BuildCharts() {
  auto* charts = new QWidget;
  auto* layout = new QVBoxLayout(charts);
  scoresChart_ = new QChartView(charts);
  facilityChart_ = new QChartView(charts);
  for (QChartView* view : {scoresChart_, facilityChart_}) {
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setMinimumHeight(kChartHeight);
    layout->addWidget(view);
  }
  scoresChart_->setAccessibleName("Scores chart");
  facilityChart_->setAccessibleName("Facility chart");
  auto* scroll = new QScrollArea(tabs_);
  scroll->setWidget(charts);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFocusPolicy(Qt::NoFocus);
  return scroll;
}

void TClassResultsWindow::showEvent(QShowEvent* event) {
  // Both tables keep eight rows in sight; their rows are known once the class is shown.
  for (QTableView* view : {studentsView_, questionsView_})
    view->setMinimumHeight(TableHeight(*view, kRowsAlwaysShown));
  QDialog::showEvent(event);
}

bool TClassResultsWindow::Reload() {
  // The models point into the data being replaced: they let go of it first.
  studentsModel_->SetClass(nullptr);
  questionsModel_->SetClass(nullptr, nullptr);
  if (!class_.Load(gradebook_, testId_, this)) return false;
  ShowClass();
  return true;
}

void TClassResultsWindow::ShowClass() {
  summary_ = Summarize(data_.answers, data_.questionCount);
  figures_ = FigureQuestions(data_.answers, data_.questionCount);
  ShowFigures();
}

void TClassResultsWindow::ShowFigures() {
  const QString values[] = {platform::FromCp1252(testName_),
                            QString::number(data_.questionCount),
                            QString::number(summary_.attempts),
                            QString::fromStdString(FormatPercent(summary_.mean, 1)),
                            QString::fromStdString(FormatPercent(summary_.median, 1)),
                            QString::fromStdString(FormatPercent(summary_.standardDeviation, 1)),
                            QString::fromStdString(FormatPercent(summary_.lowest, 0)),
                            QString::fromStdString(FormatPercent(summary_.highest, 0)),
                            QString::fromStdString(FormatFigure(summary_.reliability, 2))};
  for (std::size_t i = 0; i < summaryValues_.size(); ++i) {
    summaryValues_[i]->setText(values[i]);
    summaryValues_[i]->setCursorPosition(0);
    summaryValues_[i]->setToolTip(values[i]);
  }
  studentsModel_->SetClass(&data_);
  questionsModel_->SetClass(&data_, &figures_);
  studentsView_->resizeColumnsToContents();
  questionsView_->resizeColumnsToContents();
  questionsView_->resizeRowsToContents();
  deleteButton_->setEnabled(!class_.attempts.empty());
  const std::string refusal = AcceptingRefusal();
  acceptingButton_->setEnabled(refusal.empty());
  acceptingButton_->setToolTip(platform::FromCp1252(refusal));
  acceptingButton_->setAccessibleDescription(platform::FromCp1252(refusal));
  ShowCharts();
}

void TClassResultsWindow::ShowCharts() {
  const std::array<int32_t, kPercentBands> bands = PercentBands(data_.answers);
  // A chart view lets go of its chart when given another: the one shown before is deleted
  // here, or every regrading would keep a chart more.
  const auto replace = [](QChartView* view, std::unique_ptr<QChart> chart) {
    const std::unique_ptr<QChart> shown(view->chart());
    view->setChart(chart.release());
  };
  replace(scoresChart_, MakeScoresChart(bands));
  replace(facilityChart_, MakeFacilityChart(figures_));
  facilityChart_->setMinimumWidth(kFacilityBarWidth * (static_cast<int>(figures_.size()) + 3));
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

std::vector<std::size_t> TClassResultsWindow::StudentOrder() const {
  std::vector<std::size_t> order;
  for (int row = 0; row < studentsOrder_->rowCount(); ++row)
    order.push_back(static_cast<std::size_t>(
        studentsOrder_->mapToSource(studentsOrder_->index(row, 0)).row()));
  return order;
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
  std::string error;
  const bool finished = gradebook_.Use(this, "Deleting the attempt...", [&](TStore& store, TJob&) {
    deleted = store.DeleteAttempt(attempt.id);
    error = store.LastError();
  });
  if (!deleted) Warn(this, (finished ? error : kCancelled) + " The attempt was not deleted.");
  Reload();
  const int rows = studentsOrder_->rowCount();
  if (rows > 0)
    studentsView_->setCurrentIndex(studentsOrder_->index(std::min(current.row(), rows - 1), 0));
}

std::string TClassResultsWindow::DefaultExportName(const std::string& suffix) const {
  const QFileInfo test(platform::PathToQt(platform::FileNameFromText(testName_)));
  QString base = test.completeBaseName();
  if (base.isEmpty()) base = "class";
  const QString folder = exportFolder_.empty() ? test.absolutePath()
                                               : platform::PathToQt(exportFolder_);
  return platform::PathFromQt(folder + "/" + base + "-" + QString::fromStdString(suffix) + ".csv");
}

void TClassResultsWindow::CmExportStudents() {
  Export("students", StudentsCsv(data_, StudentOrder()));
}

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
  TClassPrint printout(testName_, data_, StudentOrder(), printer_);
  printer_.Print(this, printout, true);
}

void TClassResultsWindow::CmPrintPreview() {
  TClassPrint printout(testName_, data_, StudentOrder(), printer_);
  printer_.Preview(this, printout);
}

}  // namespace gradebook
