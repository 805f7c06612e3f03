#include "platform/accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <algorithm>

#include "platform/window.h"

namespace platform {

namespace {

QString ToQt(const std::u16string& text) { return QString::fromStdU16String(text); }

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
        return ToQt(node.name);
      case QAccessible::Description:
        return ToQt(node.description);
      case QAccessible::Value:
        return HasText(node) ? ToQt(node.text) : QString();
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
      case TAccessibleRole::Notice:
        return QAccessible::Notification;
    }
    return QAccessible::NoRole;
  }

  QAccessible::State state() const override {
    QAccessible::State state;
    const TAccessibleNode node = Node();
    if (!window_ || !window_->isVisible()) {
      state.invisible = true;
    } else if (node.bounds.Height() > 0) {
      // A list item scrolled out of the view is there, but not shown.
      const TRect client = window_->GetClientRect();
      state.offscreen = node.bounds.bottom <= client.top || node.bounds.top >= client.bottom;
    }
    if (node.role == TAccessibleRole::EditableText) {
      state.editable = true;
      state.focusable = true;
      state.multiLine = node.name != u"Answer";
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
    const QString all = ToQt(Node().text);
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
    const TAccessibleView& view = window_->CurrentAccessibleView();
    if (index_ >= static_cast<int>(view.nodes.size())) return {};
    return view.nodes[static_cast<std::size_t>(index_)];
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
    return IsList() ? QAccessible::List : QAccessible::Pane;
  }
  QString text(QAccessible::Text kind) const override {
    if ((kind == QAccessible::Name || kind == QAccessible::Description) && window_) {
      const TAccessibleView& view = window_->CurrentAccessibleView();
      const std::u16string& text = kind == QAccessible::Name ? view.name : view.description;
      if (!text.empty()) return ToQt(text);
    }
    return QAccessibleWidget::text(kind);
  }
  int childCount() const override { return WidgetCount() + NodeCount(); }
  QAccessibleInterface* child(int index) const override {
    const int widgets = WidgetCount();
    if (index < widgets) return QAccessibleWidget::child(index);
    return index - widgets < NodeCount() ? Node(index - widgets) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const int widgets = WidgetCount();
    for (std::size_t i = 0; i < nodes_.size(); ++i)
      if (QAccessible::accessibleInterface(nodes_[i]) == child)
        return widgets + static_cast<int>(i);
    return widgets > 0 ? QAccessibleWidget::indexOfChild(child) : -1;
  }
  QAccessibleInterface* focusChild() const override {
    if (!window_) return nullptr;
    const TAccessibleView& view = window_->CurrentAccessibleView();
    for (std::size_t i = 0; i < view.nodes.size(); ++i)
      if (view.nodes[i].focused) return Node(static_cast<int>(i));
    return nullptr;
  }

  // The interface of the part at index, made once and kept until the part is removed.
  QAccessibleInterface* Node(int index) const {
    while (static_cast<int>(nodes_.size()) <= index)
      nodes_.push_back(QAccessible::registerAccessibleInterface(
          new TNodeAccessible(window_, static_cast<int>(nodes_.size()))));
    return QAccessible::accessibleInterface(nodes_[static_cast<std::size_t>(index)]);
  }
  // A part added later at the same place is another object to a reader, with an id of its own.
  void Forget(int index) {
    if (index >= static_cast<int>(nodes_.size())) return;
    QAccessible::Id& id = nodes_[static_cast<std::size_t>(index)];
    QAccessible::deleteAccessibleInterface(id);
    id = QAccessible::registerAccessibleInterface(new TNodeAccessible(window_, index));
  }

 private:
  bool IsList() const { return window_ && window_->CurrentAccessibleView().isList; }
  // A list's scroll bar is left out: a reader moves through the items with the keys, and
  // counts only them ("4 of 12").
  int WidgetCount() const { return IsList() ? 0 : QAccessibleWidget::childCount(); }
  int NodeCount() const {
    return window_ ? static_cast<int>(window_->CurrentAccessibleView().nodes.size()) : 0;
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
  const std::vector<TAccessibleChange> changes = CompareViews(before, after);
  // Parts coming and going are told one by one only when they are few: a reader asks for the
  // parts it needs, and an event for each question of a long test just opened would keep it
  // busy for seconds, as Qt's own lists tell nothing when their whole content changes.
  const auto comingOrGoing = std::count_if(changes.begin(), changes.end(), [](const auto& c) {
    return c.kind == TAccessibleChange::NodeAdded || c.kind == TAccessibleChange::NodeRemoved;
  });
  const bool tellParts = comingOrGoing <= 40;
  for (const TAccessibleChange& change : changes) {
    QAccessibleInterface* node = windowInterface->Node(change.node);
    const auto& nodes = change.kind == TAccessibleChange::NodeRemoved ? before.nodes : after.nodes;
    const TAccessibleNode& state = nodes[static_cast<std::size_t>(change.node)];
    switch (change.kind) {
      case TAccessibleChange::NodeAdded:
        if (tellParts) Tell(QAccessibleEvent(node, QAccessible::ObjectCreated));
        if (state.role == TAccessibleRole::Notice)
          Tell(QAccessibleEvent(node, QAccessible::ObjectShow));
        break;
      case TAccessibleChange::NodeRemoved:
        if (tellParts) Tell(QAccessibleEvent(node, QAccessible::ObjectDestroyed));
        windowInterface->Forget(change.node);
        break;
      case TAccessibleChange::TextRemoved:
        Tell(QAccessibleTextRemoveEvent(node, change.position, ToQt(change.text)));
        break;
      case TAccessibleChange::TextInserted:
        Tell(QAccessibleTextInsertEvent(node, change.position, ToQt(change.text)));
        break;
      case TAccessibleChange::TextReplaced:
        Tell(QAccessibleTextUpdateEvent(node, 0, ToQt(change.text), ToQt(state.text)));
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
      case TAccessibleChange::DescriptionChanged:
        Tell(QAccessibleEvent(node, QAccessible::DescriptionChanged));
        break;
      case TAccessibleChange::FocusGained:
        Tell(QAccessibleEvent(node, QAccessible::Focus));
        break;
      case TAccessibleChange::FocusLost: {
        QAccessible::State changed;
        changed.focused = true;
        Tell(QAccessibleStateChangeEvent(node, changed));
        break;
      }
      case TAccessibleChange::SelectedChanged:
        Tell(QAccessibleEvent(node, state.selected ? QAccessible::SelectionAdd
                                                   : QAccessible::SelectionRemove));
        break;
    }
  }
}

}  // namespace platform
