#include "gradebook/class_tables.h"

#include <QApplication>
#include <QDate>
#include <QStyle>

#include "core/mark_forms.h"
#include "gradebook/csv_export.h"
#include "gradebook/letters_delegate.h"
#include "platform/cp1252.h"

namespace gradebook {

namespace {

enum StudentColumn { kLast, kFirst, kCourse, kPeriod, kInstructor, kDate, kCorrect, kQuestions,
                     kPercent, kRegraded, kStudentColumns };
const char* const kStudentHeaders[] = {"Last Name", "First Name", "Course",   "Period",
                                       "Instructor", "Date",      "Correct",  "Questions",
                                       "Percent",   "Regraded"};

enum QuestionColumn { kNumber, kQuestion, kAnswer, kAccepted, kFacility, kDiscrimination, kWrong1,
                      kQuestionColumns = kWrong1 + kWrongAnswersShown };
const char* const kQuestionHeaders[] = {"No.", "Question", "Answer", "Also Accepted", "Facility %",
                                        "Discrimination"};

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

QVariant Figure(const std::optional<double>& value, int decimals, int role) {
  if (role == kSortRole) return value ? QVariant(*value) : QVariant(-1e9);
  return Utf8(FormatFigure(value, decimals));
}

}  // namespace

void TStudentsModel::SetClass(const TClassData* data) {
  beginResetModel();
  data_ = data;
  endResetModel();
}

int TStudentsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !data_ ? 0 : static_cast<int>(data_->attempts.size());
}

// A head of department reading other teachers' attempts sees whose each one is.
int TStudentsModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return data_ && !data_->collectors.empty() ? kStudentColumns + 1 : kStudentColumns;
}

QVariant TStudentsModel::data(const QModelIndex& index, int role) const {
  if (!data_ || !index.isValid() || (role != Qt::DisplayRole && role != kSortRole))
    return {};
  const std::size_t row = static_cast<std::size_t>(index.row());
  const core::TInformation& info = *data_->attempts[row];
  const TAttemptAnswers& score = data_->answers[row];
  const std::optional<double> exact = ExactPercent(score.correctCount, score.questionCount);
  switch (index.column()) {
    case kLast:
      // Last names alike sort by first name, as the printout and the menu's printing do.
      if (role == kSortRole)
        return platform::FromCp1252(FieldText(info.lastName, sizeof info.lastName) + "\t" +
                                    FieldText(info.firstName, sizeof info.firstName));
      return platform::FromCp1252(FieldText(info.lastName, sizeof info.lastName));
    case kFirst: return platform::FromCp1252(FieldText(info.firstName, sizeof info.firstName));
    case kCourse: return platform::FromCp1252(FieldText(info.course, sizeof info.course));
    case kPeriod: return platform::FromCp1252(FieldText(info.period, sizeof info.period));
    case kInstructor:
      return platform::FromCp1252(FieldText(info.instructor, sizeof info.instructor));
    case kDate:
      return QString::asprintf("%04d-%02d-%02d", info.year, info.month, info.day);
    case kCorrect: return score.correctCount;
    case kQuestions: return score.questionCount;
    case kPercent:
      if (role == kSortRole) return exact.value_or(-1);
      return Utf8(FormatPercent(exact, 0));
    case kRegraded:
      // The score as taken and as regraded with the accepted answers: "9 to 10".
      if (!data_->Regraded(row)) return role == kSortRole ? QVariant(0) : QVariant(QString());
      if (role == kSortRole) return score.correctCount - data_->correctAsTaken[row];
      return QString("%1 to %2").arg(data_->correctAsTaken[row]).arg(score.correctCount);
    case kStudentColumns: return Utf8(data_->collectors[row]);
  }
  return {};
}

QVariant TStudentsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= columnCount())
    return QAbstractTableModel::headerData(section, orientation, role);
  return QString(section == kStudentColumns ? "Collector" : kStudentHeaders[section]);
}

void TQuestionsModel::SetClass(const TClassData* data,
                               const std::vector<TQuestionFigures>* figures) {
  beginResetModel();
  data_ = data;
  figures_ = figures;
  endResetModel();
}

int TQuestionsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !figures_ ? 0 : static_cast<int>(figures_->size());
}

int TQuestionsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kQuestionColumns;
}

QVariant TQuestionsModel::data(const QModelIndex& index, int role) const {
  if (!figures_ || !index.isValid()) return {};
  const TQuestionFigures& figures = (*figures_)[static_cast<std::size_t>(index.row())];
  const std::size_t q = static_cast<std::size_t>(figures.number - 1);
  const std::string warning = QuestionWarning(figures);
  if (index.column() == kNumber && !warning.empty()) {
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) return Utf8(warning);
    if (role == Qt::DecorationRole)
      return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
  }
  // The letters of a text column, and the same text in Unicode for everything else.
  core::TLetters letters;
  bool lettered = true;
  switch (index.column()) {
    case kQuestion: letters = FirstLine(data_->questionTexts[q]); break;
    case kAnswer: letters = data_->expectedAnswers[q]; break;
    case kAccepted: letters = AcceptedLetters(data_->accepted[q]); break;
    default:
      if (index.column() >= kWrong1) {
        const std::size_t i = static_cast<std::size_t>(index.column() - kWrong1);
        if (i >= figures.wrongAnswers.size()) return {};
        const TWrongAnswer& wrong = figures.wrongAnswers[i];
        letters = wrong.answer.empty() ? PlainLetters("(empty)") : wrong.answer;
        const core::TLetters count = PlainLetters(" (" + std::to_string(wrong.count) + ")");
        letters.insert(letters.end(), count.begin(), count.end());
      } else {
        lettered = false;
      }
  }
  if (lettered) {
    if (role == kLettersRole) return QVariant::fromValue(letters);
    if (role == Qt::DisplayRole || role == kSortRole) return Utf8(core::LettersToUtf8(letters));
    return {};
  }
  if (role != Qt::DisplayRole && role != kSortRole) return {};
  switch (index.column()) {
    case kNumber: return figures.number;
    case kFacility: return Figure(figures.facility, 1, role);
    case kDiscrimination: return Figure(figures.discrimination, 2, role);
  }
  return {};
}

std::optional<std::size_t> TQuestionsModel::WrongAnswerShown(int column) {
  if (column < kWrong1 || column >= kQuestionColumns) return std::nullopt;
  return static_cast<std::size_t>(column - kWrong1);
}

QVariant TQuestionsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kQuestionColumns)
    return QAbstractTableModel::headerData(section, orientation, role);
  if (section >= kWrong1) return QString("Wrong Answer %1").arg(section - kWrong1 + 1);
  return QString(kQuestionHeaders[section]);
}

}  // namespace gradebook
