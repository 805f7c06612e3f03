#include "platform/dialog.h"

#include <cstring>
#include <stdexcept>

#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

#include "platform/cp1252.h"
#include "platform/modal.h"

namespace platform {

namespace {

using resources::ControlKind;
using resources::ControlTemplate;

int SlotSize(const ControlTemplate& control) {
  switch (control.kind) {
    case ControlKind::Edit: return control.textLength;
    case ControlKind::Radio:
    case ControlKind::Check: return 4;
    default: return 0;
  }
}

// Dialog units scale with the dialog font: a horizontal unit is a quarter of the average
// character width, a vertical unit an eighth of the character height.
struct DialogUnits {
  explicit DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    baseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    baseY = metrics.height();
  }
  int X(int units) const { return units * baseX / 4; }
  int Y(int units) const { return units * baseY / 8; }
  int baseX, baseY;
};

// Every stored character is one byte of Windows-1252: a typed character it cannot hold is
// refused on the spot, and pasted text keeps only what it can hold, so what the edit shows is
// what the record gets.
class TCp1252Validator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override {
    QString kept;
    int keptPosition = position;
    for (qsizetype i = 0; i < input.size(); ++i) {
      const bool pair = input[i].isHighSurrogate() && i + 1 < input.size();
      const char32_t c = pair ? QChar::surrogateToUcs4(input[i], input[i + 1]) : input[i].unicode();
      const int width = pair ? 2 : 1;
      if (ToCp1252Char(c))
        kept.append(input[i]);
      else if (i < position)
        keptPosition -= width;
      if (pair) ++i;
    }
    input = kept;
    position = keptPosition;
    return Acceptable;
  }
};

// The old face was narrower and lower than ours at the templates' sizes. A control keeps its
// template position but is never smaller than its text and box need; a frame grows around
// what it groups and the dialog around everything, so that no text is cut.
QSize NeededSize(const ControlTemplate& control, QWidget* widget) {
  switch (control.kind) {
    case ControlKind::Edit: return {0, widget->minimumSizeHint().height()};
    case ControlKind::Shade: return {};
    // Qt's own button hint adds a wide minimum that the old buttons never had.
    case ControlKind::PushButton: {
      const QString text = static_cast<QPushButton*>(widget)->text();
      return QFontMetrics(widget->font()).size(Qt::TextShowMnemonic, text) + QSize(12, 8);
    }
    default: return widget->sizeHint();
  }
}

}  // namespace

TDialog::TDialog(QWidget* parent, std::string_view templateName, void* record)
    : parent_(parent),
      templateName_(templateName),
      template_(resources::FindDialog(templateName)),
      record_(static_cast<unsigned char*>(record)) {
  if (!template_) throw std::logic_error("unknown dialog template " + templateName_);
  Build();
}

TDialog::~TDialog() = default;

int TDialog::RecordSize(const resources::DialogTemplate& dialog) {
  int size = 0;
  for (const ControlTemplate& control : dialog.controls) size += SlotSize(control);
  return size;
}

std::string TDialog::Title() const { return std::string(template_->title); }

void TDialog::Build() {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (template_->systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  dialog_ = std::make_unique<QDialog>(parent_, flags);
  dialog_->setWindowTitle(FromCp1252(template_->title));
  dialog_->setModal(true);
  // The dialogs were laid out for a narrow 8-point sans face; Arial's metrics are close to it.
  QFont font("Liberation Sans");
  font.setPixelSize(11);
  dialog_->setFont(font);
  DialogUnits units(dialog_->font());
  dialog_->setFixedSize(units.X(template_->width), units.Y(template_->height));
  if (parent_) {
    QPoint origin = parent_->window()->geometry().topLeft();
    dialog_->move(origin.x() + units.X(template_->x), origin.y() + units.Y(template_->y));
  }

  QButtonGroup* radios = nullptr;
  QWidget* previous = nullptr;
  for (const ControlTemplate& control : template_->controls) {
    QWidget* widget = nullptr;
    QString text = FromCp1252(control.text);
    switch (control.kind) {
      case ControlKind::Static: {
        widget = new QLabel(text, dialog_.get());
        break;
      }
      case ControlKind::Edit: {
        auto* edit = new QLineEdit(dialog_.get());
        edit->setMaxLength(std::max(control.textLength - 1, 0));
        edit->setValidator(new TCp1252Validator(edit));
        widget = edit;
        break;
      }
      case ControlKind::PushButton: {
        QString caption = control.id == 1 ? "OK" : control.id == 2 ? "Cancel" : text;
        auto* button = new QPushButton(caption, dialog_.get());
        if (control.id == 1) {
          button->setDefault(true);
          QObject::connect(button, &QPushButton::clicked, dialog_.get(), &QDialog::accept);
        } else if (control.id == 2) {
          QObject::connect(button, &QPushButton::clicked, dialog_.get(), &QDialog::reject);
        }
        widget = button;
        break;
      }
      case ControlKind::Radio: {
        auto* radio = new QRadioButton(text, dialog_.get());
        if (!radios) {
          radios = new QButtonGroup(dialog_.get());
          radios->setExclusive(true);
        }
        radios->addButton(radio);
        widget = radio;
        break;
      }
      case ControlKind::Check:
        widget = new QCheckBox(text, dialog_.get());
        break;
      case ControlKind::Shade: {
        auto* frame = new QFrame(dialog_.get());
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        frame->lower();
        widget = frame;
        break;
      }
    }
    const QSize needed = NeededSize(control, widget);
    widget->setGeometry(units.X(control.x), units.Y(control.y),
                        std::max(units.X(control.width), needed.width()),
                        std::max(units.Y(control.height), needed.height()));
    if (control.kind != ControlKind::Static && control.kind != ControlKind::Shade) {
      widget->setFocusPolicy(Qt::StrongFocus);
      if (previous) QWidget::setTabOrder(previous, widget);
      previous = widget;
    }
    controls_[control.id] = widget;
  }
  // A static text's mnemonic moves to the control after it, as in the old dialogs.
  for (std::size_t i = 0; i + 1 < template_->controls.size(); ++i) {
    if (template_->controls[i].kind != ControlKind::Static) continue;
    for (std::size_t j = i + 1; j < template_->controls.size(); ++j) {
      ControlKind next = template_->controls[j].kind;
      if (next == ControlKind::Static || next == ControlKind::Shade) continue;
      static_cast<QLabel*>(controls_[template_->controls[i].id])
          ->setBuddy(controls_[template_->controls[j].id]);
      break;
    }
  }
  // An edit with no text before it (the number prompts, Search) is named by the text right
  // after it, so that a screen reader says what to type there.
  for (std::size_t i = 0; i + 1 < template_->controls.size(); ++i) {
    const bool labelledBefore = i > 0 && template_->controls[i - 1].kind == ControlKind::Static;
    if (template_->controls[i].kind != ControlKind::Edit || labelledBefore ||
        template_->controls[i + 1].kind != ControlKind::Static)
      continue;
    static_cast<QLabel*>(controls_[template_->controls[i + 1].id])
        ->setBuddy(controls_[template_->controls[i].id]);
  }
  // Shades are frames behind the controls they group.
  for (const ControlTemplate& control : template_->controls)
    if (control.kind == ControlKind::Shade) controls_[control.id]->lower();
  FitToContents(units.X(4), units.Y(4));
}

void TDialog::FitToContents(int marginX, int marginY) {
  QRect all(QPoint(0, 0), dialog_->size());
  for (const ControlTemplate& shade : template_->controls) {
    if (shade.kind != ControlKind::Shade) continue;
    QWidget* frame = controls_[shade.id];
    QRect grown = frame->geometry();
    for (const ControlTemplate& control : template_->controls) {
      const QRect inner = controls_[control.id]->geometry();
      if (control.kind != ControlKind::Shade && frame->geometry().contains(inner.topLeft()))
        // Below, the buttons often follow closely: the frame grows to the box, no further.
        grown = grown.united(inner.adjusted(0, 0, marginX / 2, 0));
    }
    frame->setGeometry(grown);
  }
  for (const auto& [id, widget] : controls_)
    all = all.united(widget->geometry().adjusted(0, 0, marginX, marginY));
  dialog_->setFixedSize(all.size());
}

QWidget* TDialog::Control(int id) const {
  auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

void TDialog::SetControlText(int id, std::string_view text) {
  if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) edit->setText(FromCp1252(text));
  if (auto* label = qobject_cast<QLabel*>(Control(id))) label->setText(FromCp1252(text));
}

std::string TDialog::ControlText(int id) const {
  if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) return ToCp1252(edit->text());
  if (auto* label = qobject_cast<QLabel*>(Control(id))) return ToCp1252(label->text());
  return {};
}

void TDialog::SetChecked(int id, bool checked) {
  if (auto* button = qobject_cast<QAbstractButton*>(Control(id))) button->setChecked(checked);
}

bool TDialog::IsChecked(int id) const {
  auto* button = qobject_cast<QAbstractButton*>(Control(id));
  return button && button->isChecked();
}

void TDialog::TransferToControls() {
  unsigned char* slot = record_;
  for (const ControlTemplate& control : template_->controls) {
    int size = SlotSize(control);
    if (control.kind == ControlKind::Edit) {
      std::size_t length = strnlen(reinterpret_cast<const char*>(slot), size);
      SetControlText(control.id, std::string_view(reinterpret_cast<const char*>(slot), length));
    } else if (size == 4) {
      int32_t value;
      std::memcpy(&value, slot, 4);
      SetChecked(control.id, value == 1);
    }
    slot += size;
  }
}

void TDialog::TransferFromControls() {
  unsigned char* slot = record_;
  for (const ControlTemplate& control : template_->controls) {
    int size = SlotSize(control);
    if (control.kind == ControlKind::Edit && size > 0) {
      std::string text = ControlText(control.id);
      if (static_cast<int>(text.size()) > size - 1) text.resize(size - 1);
      std::memset(slot, 0, size);
      std::memcpy(slot, text.data(), text.size());
    } else if (size == 4) {
      int32_t value = IsChecked(control.id) ? 1 : 0;
      std::memcpy(slot, &value, 4);
    }
    slot += size;
  }
}

int TDialog::Execute() {
  TransferToControls();
  // Filling the controls moved their carets before the dialog shows. A screen reader that
  // takes such a move for the user's would stand on the first field already and keep quiet
  // when the dialog opens (as after a warning): the controls start afresh instead.
  if (QAccessible::isActive())
    for (const auto& [id, widget] : controls_)
      QAccessible::deleteAccessibleInterface(
          QAccessible::uniqueId(QAccessible::queryAccessibleInterface(widget)));
  int result = Modal().RunDialog(parent_, *this);
  if (result == IDOK) TransferFromControls();
  return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace platform
