#include "platform/accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <algorithm>

#include "platform/cp1252.h"
#include "platform/window.h"

namespace platform {

namespace {

QRect ToScreen(const QWidget& widget, const TRect& rect) {
  return {widget.mapToGlobal(QPoint(rect.left, rect.top)), QSize(rect.Width(), rect.Height())};
}

// One part of a window: a text, a picture, a label or a list item. It reads the window's
// view afresh on every question, so it never holds stale text.
class TNodeAccessible : public QAccessibleInterface, public QAccessibleTextInterface {
 public:
  TNodeAccessible(TWindow* window, int index) : window_(window), index_(index) {}

  bool isValid() const override { return !window_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return window_ ? window_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return window_ ? QAccessible::queryAccessibleInterface(window_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text kind) const override {
    const TAccessibleNode node = Node();
    switch (kind) {
      case QAccessible::Name:
        return FromCp1252(node.name);
      case QAccessible::Description:
        return FromCp1252(node.description);
      case QAccessible::Value:
        return HasText(node) ? FromCp1252(node.text) : QString();
      default:
        return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override { return window_ ? ToScreen(*window_, Node().bounds) : QRect(); }

  QAccessible::Role role() const override {
    switch (Node().role) {
      case TAccessibleRole::Text:
      case TAccessibleRole::EditableText:
        return QAccessible::EditableText;
      case TAccessibleRole::Picture:
        return QAccessible::Graphic;
      case TAccessibleRole::ListItem:
        return QAccessible::ListItem;
      case TAccessibleRole::Label:
        return QAccessible::StaticText;
    }
    return QAccessible::NoRole;
  }

  QAccessible::State state() const override {
    QAccessible::State state;
    const TAccessibleNode node = Node();
    if (!window_ || !window_->isVisible()) state.invisible = true;
    if (node.role == TAccessibleRole::EditableText) {
      state.editable = true;
      state.focusable = true;
      state.multiLine = node.name != "Answer";
    } else if (node.role == TAccessibleRole::Text) {
      state.readOnly = true;
      state.multiLine = true;
    } else if (node.role == TAccessibleRole::ListItem) {
      state.selectable = true;
      state.focusable = true;
      state.selected = node.selected;
    } else {
      state.readOnly = true;
    }
    state.focused = node.focused;
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface && HasText(Node()))
      return static_cast<QAccessibleTextInterface*>(this);
    return nullptr;
  }

  // The text interface.
  void selection(int selectionIndex, int* start, int* end) const override {
    const TAccessibleNode node = Node();
    *start = *end = 0;
    if (selectionIndex == 0 && node.selectionStart < node.selectionEnd) {
      *start = node.selectionStart;
      *end = node.selectionEnd;
    }
  }
  int selectionCount() const override {
    const TAccessibleNode node = Node();
    return node.selectionStart < node.selectionEnd ? 1 : 0;
  }
  // The caret and the selection follow the keyboard only: the editor keeps its own rules
  // for both, and a screen reader reads without moving them.
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return std::max(Node().caret, 0); }
  void setCursorPosition(int) override {}
  QString text(int start, int end) const override {
    const QString all = FromCp1252(Node().text);
    start = std::clamp(start, 0, static_cast<int>(all.size()));
    end = end < 0 ? static_cast<int>(all.size())
                  : std::clamp(end, start, static_cast<int>(all.size()));
    return all.mid(start, end - start);
  }
  int characterCount() const override { return static_cast<int>(Node().text.size()); }
  QRect characterRect(int offset) const override {
    const TAccessibleNode node = Node();
    if (!window_ || offset < 0 || offset >= static_cast<int>(node.cells.size())) return {};
    return ToScreen(*window_, node.cells[static_cast<std::size_t>(offset)]);
  }
  int offsetAtPoint(const QPoint& point) const override {
    const TAccessibleNode node = Node();
    if (!window_) return -1;
    const QPoint client = window_->mapFromGlobal(point);
    for (std::size_t i = 0; i < node.cells.size(); ++i) {
      const TRect& cell = node.cells[i];
      if (client.x() >= cell.left && client.x() < cell.right && client.y() >= cell.top &&
          client.y() < cell.bottom)
        return static_cast<int>(i);
    }
    return -1;
  }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* start, int* end) const override {
    return QString::fromStdString(MarkAttributes(Node(), offset, *start, *end));
  }

 private:
  static bool HasText(const TAccessibleNode& node) { return node.role != TAccessibleRole::Picture; }
  TAccessibleNode Node() const {
    if (!window_) return {};
    TAccessibleView view = window_->AccessibleView();
    if (index_ >= static_cast<int>(view.nodes.size())) return {};
    return std::move(view.nodes[static_cast<std::size_t>(index_)]);
  }

  QPointer<TWindow> window_;
  int index_;
};

// A window of the program: Qt's widget interface, with the parts of its view as children
// after its own child widgets (the scroll bar).
class TWindowAccessible : public QAccessibleWidget {
 public:
  explicit TWindowAccessible(TWindow* window) : QAccessibleWidget(window), window_(window) {}
  ~TWindowAccessible() override {
    for (QAccessible::Id id : nodes_) QAccessible::deleteAccessibleInterface(id);
  }

  QAccessible::Role role() const override {
    return window_ && window_->AccessibleView().isList ? QAccessible::List : QAccessible::Pane;
  }
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name && window_) {
      const TAccessibleView view = window_->AccessibleView();
      if (!view.name.empty()) return FromCp1252(view.name);
    }
    return QAccessibleWidget::text(kind);
  }
  int childCount() const override { return QAccessibleWidget::childCount() + NodeCount(); }
  QAccessibleInterface* child(int index) const override {
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets) return QAccessibleWidget::child(index);
    return index - widgets < NodeCount() ? Node(index - widgets) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const int widgets = QAccessibleWidget::childCount();
    for (std::size_t i = 0; i < nodes_.size(); ++i)
      if (QAccessible::accessibleInterface(nodes_[i]) == child)
        return widgets + static_cast<int>(i);
    return QAccessibleWidget::indexOfChild(child);
  }
  QAccessibleInterface* focusChild() const override {
    if (!window_) return nullptr;
    const TAccessibleView view = window_->AccessibleView();
    for (std::size_t i = 0; i < view.nodes.size(); ++i)
      if (view.nodes[i].focused) return Node(static_cast<int>(i));
    return nullptr;
  }

  // The interface of the part at index, made once and kept while the window lives.
  QAccessibleInterface* Node(int index) const {
    while (static_cast<int>(nodes_.size()) <= index)
      nodes_.push_back(QAccessible::registerAccessibleInterface(
          new TNodeAccessible(window_, static_cast<int>(nodes_.size()))));
    return QAccessible::accessibleInterface(nodes_[static_cast<std::size_t>(index)]);
  }

 private:
  int NodeCount() const {
    return window_ ? static_cast<int>(window_->AccessibleView().nodes.size()) : 0;
  }

  QPointer<TWindow> window_;
  mutable std::vector<QAccessible::Id> nodes_;
};

void Tell(QAccessibleEvent&& event) { QAccessible::updateAccessibility(&event); }

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* window = dynamic_cast<TWindow*>(object)) return new TWindowAccessible(window);
  return nullptr;
}

}  // namespace

void InstallAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(Factory);
}

void SendAccessibleChanges(TWindow& window, const TAccessibleView& before,
                           const TAccessibleView& after) {
  auto* windowInterface =
      dynamic_cast<TWindowAccessible*>(QAccessible::queryAccessibleInterface(&window));
  if (!windowInterface) return;
  if (before.name != after.name) Tell(QAccessibleEvent(&window, QAccessible::NameChanged));
  for (const TAccessibleChange& change : CompareViews(before, after)) {
    QAccessibleInterface* node = windowInterface->Node(change.node);
    const auto& nodes = change.kind == TAccessibleChange::NodeRemoved ? before.nodes : after.nodes;
    const TAccessibleNode& state = nodes[static_cast<std::size_t>(change.node)];
    switch (change.kind) {
      case TAccessibleChange::NodeAdded:
        Tell(QAccessibleEvent(node, QAccessible::ObjectCreated));
        break;
      case TAccessibleChange::NodeRemoved:
        Tell(QAccessibleEvent(node, QAccessible::ObjectDestroyed));
        break;
      case TAccessibleChange::TextRemoved:
        Tell(QAccessibleTextRemoveEvent(node, change.position, FromCp1252(change.text)));
        break;
      case TAccessibleChange::TextInserted:
        Tell(QAccessibleTextInsertEvent(node, change.position, FromCp1252(change.text)));
        break;
      case TAccessibleChange::TextReplaced:
        Tell(QAccessibleTextUpdateEvent(node, 0, FromCp1252(change.text), FromCp1252(state.text)));
        break;
      case TAccessibleChange::MarksChanged:
        Tell(QAccessibleEvent(node, QAccessible::TextAttributeChanged));
        break;
      case TAccessibleChange::CaretMoved:
        Tell(QAccessibleTextCursorEvent(node, change.position));
        break;
      case TAccessibleChange::SelectionChanged:
        Tell(QAccessibleTextSelectionEvent(node, change.position, change.end));
        break;
      case TAccessibleChange::NameChanged:
        Tell(QAccessibleEvent(node, QAccessible::NameChanged));
        break;
      case TAccessibleChange::StateChanged: {
        QAccessible::State changed;
        changed.focused = true;
        changed.selected = true;
        Tell(QAccessibleStateChangeEvent(node, changed));
        break;
      }
      case TAccessibleChange::FocusGained:
        Tell(QAccessibleEvent(node, QAccessible::Focus));
        break;
    }
  }
}

}  // namespace platform
