#include "gradebook/letters_delegate.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "editor/letter_drawing.h"
#include "platform/font.h"
#include "platform/qt_dc.h"

namespace gradebook {

namespace {
const platform::TFont kScreenFont{"Courier", 10, 400};
constexpr int kLeft = 4;
}  // namespace

void TLettersDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const QVariant letters = index.data(kLettersRole);
  if (!letters.canConvert<core::TLetters>()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  // The cell's background, selection and focus as the style draws them, without text.
  QStyleOptionViewItem background = option;
  initStyleOption(&background, index);
  background.text.clear();
  QStyle* style = option.widget ? option.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

  // The letters are drawn opaque, black on white, as everywhere in the programs; multiplied
  // onto the cell, the white takes the selection's colour and the black stays.
  const QSize size = option.rect.size();
  if (size.isEmpty()) return;
  QImage cell(size, QImage::Format_RGB32);
  cell.fill(Qt::white);
  {
    QPainter cellPainter(&cell);
    platform::TQtDC dc(cellPainter, option.widget ? option.widget->logicalDpiY() : 96);
    dc.SelectFont(kScreenFont);
    const platform::TSize x = dc.GetTextExtent("X");
    const int y = (size.height() - x.cy) / 2;
    int left = kLeft;
    for (const core::TLetter& letter : letters.value<core::TLetters>()) {
      if (left > size.width()) break;
      editor::DrawLetter(dc, left, y, static_cast<char>(letter.ch), letter.mark);
      left += x.cx;
    }
    dc.RestoreFont();
  }
  painter->save();
  painter->setCompositionMode(QPainter::CompositionMode_Multiply);
  painter->drawImage(option.rect.topLeft(), cell);
  painter->restore();
}

QSize TLettersDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  const QVariant letters = index.data(kLettersRole);
  if (!letters.canConvert<core::TLetters>()) return QStyledItemDelegate::sizeHint(option, index);
  const QFontMetrics metrics(platform::ToQFont(kScreenFont, 96));
  const int count = static_cast<int>(letters.value<core::TLetters>().size());
  // Room for a letter raised or lowered by two pixels.
  return QSize(metrics.horizontalAdvance('X') * count + 2 * kLeft, metrics.height() + 3 + 6);
}

}  // namespace gradebook
