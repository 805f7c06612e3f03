#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include <QAbstractTableModel>

#include "gradebook/class_data.h"
#include "gradebook/statistics.h"

namespace gradebook {

// The role by which the students table sorts: numbers as numbers, the date as its ISO text.
inline constexpr int kSortRole = Qt::UserRole + 2;

// One row per attempt: last name, first name, course, period, instructor, date, correct,
// questions, percent, how accepted answers regraded it ("9 to 10"), and the collector when
// the class holds others' attempts.
class TStudentsModel : public QAbstractTableModel {
 public:
  explicit TStudentsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  void SetClass(const TClassData* data);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const TClassData* data_ = nullptr;
};

// One row per question: number, first line, answer, what it also accepts, facility,
// discrimination and the three most common wrong answers with their counts. Questions worth a
// look carry a warning icon and say why in their tooltip.
class TQuestionsModel : public QAbstractTableModel {
 public:
  explicit TQuestionsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  void SetClass(const TClassData* data, const std::vector<TQuestionFigures>* figures);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Which of its question's most common wrong answers a column shows, or nothing.
  static std::optional<std::size_t> WrongAnswerShown(int column);

 private:
  const TClassData* data_ = nullptr;
  const std::vector<TQuestionFigures>* figures_ = nullptr;
};

}  // namespace gradebook
