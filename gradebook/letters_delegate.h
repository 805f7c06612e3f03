#pragma once
#include <QStyledItemDelegate>

#include "core/records.h"

Q_DECLARE_METATYPE(core::TLetters)

namespace gradebook {

// The role under which a model gives a cell's letters with their marks.
inline constexpr int kLettersRole = Qt::UserRole + 1;

// Draws a cell's letters as the question list does, raised and lowered through the editor's
// letter drawing on a device context; cells without letters are drawn as usual. The display
// text stays the Unicode one, for screen readers and copying.
class TLettersDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace gradebook
