#include "platform/frame_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QStackedWidget>

#include "platform/application.h"
#include "platform/cp1252.h"
#include "platform/keys.h"
#include "platform/screen_fit.h"
#include "platform/window.h"

namespace platform {

TFrameWindow::TFrameWindow(std::string caption) : clientArea_(new QStackedWidget(this)) {
  setCentralWidget(clientArea_);
  SetCaption(std::move(caption));
}

TFrameWindow::~TFrameWindow() {
  if (!accelerators_.empty()) qApp->removeEventFilter(this);
}

QWidget* TFrameWindow::ClientArea() const { return clientArea_; }

namespace {

QSize SizeOf(TSize size) { return {size.cx, size.cy}; }

// The client a page of the client area shows: the page itself, or the window in its scroll
// area.
TWindow* ClientOf(QWidget* page) {
  if (auto* area = qobject_cast<QScrollArea*>(page)) return dynamic_cast<TWindow*>(area->widget());
  return dynamic_cast<TWindow*>(page);
}

}  // namespace

QWidget* TFrameWindow::PageOf(TWindow* client) {
  for (int i = 0; i < clientArea_->count(); ++i)
    if (ClientOf(clientArea_->widget(i)) == client) return clientArea_->widget(i);
  if (client->ContentSize().cx <= 0 && client->ContentSize().cy <= 0) {
    clientArea_->addWidget(client);
    return client;
  }
  // A window of fixed layout scrolls where the frame is smaller than that layout.
  auto* area = new QScrollArea(clientArea_);
  area->setFrameShape(QFrame::NoFrame);
  area->setFocusPolicy(Qt::NoFocus);
  area->setWidgetResizable(true);
  area->setWidget(client);
  clientArea_->addWidget(area);
  return area;
}

void TFrameWindow::SetClient(TWindow* client) {
  if (!client) return;
  QWidget* page = PageOf(client);
  // The focus goes with the client: hiding the window that held it would leave the keys
  // with no window at all.
  QWidget* focus = QApplication::focusWidget();
  const bool takeFocus = !focus || focus == client_ || focus->isAncestorOf(client_) ||
                         (client_ && client_->isAncestorOf(focus)) || focus == this;
  client_ = client;
  clientArea_->setCurrentWidget(page);
  client->show();
  if (takeFocus) client->setFocus();
  FitClient();
}

void TFrameWindow::FitClient() {
  const QSize content = SizeOf(client_->ContentSize());
  client_->setMinimumSize(content);
  const int menuHeight = menuWidget() ? menuWidget()->sizeHint().height() : 0;
  // The frame takes the size of its first client, and room for every client's fixed layout.
  if (!sizedToClient_) {
    sizedToClient_ = true;
    QSize size = client_->sizeHint();
    for (const TWindow* child : clientArea_->findChildren<TWindow*>())
      size = size.expandedTo(SizeOf(child->ContentSize()));
    resize(size.width(), size.height() + menuHeight);
    return;
  }
  // Later it grows, as far as the screen allows, where a client's layout has grown wider.
  const QSize clientSize(width(), height() - menuHeight);
  if (isMaximized() || isFullScreen() || clientSize.expandedTo(content) == clientSize) return;
  resize(size() + clientSize.expandedTo(content) - clientSize);
  if (isVisible()) FitToScreen(*this);
}

void TFrameWindow::SetMenu(resources::ResId id) {
  const resources::MenuResource* resource = resources::FindMenu(id);
  if (!resource) return;
  menu_ = resource->id;
  // The bar is refilled, not replaced: a new bar makes the frame lay out its client again,
  // which resizes and repaints it, and a repaint would take away the editor's selection.
  QMenuBar* bar = menuBar();
  for (QMenu* popup : bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) popup->deleteLater();
  bar->clear();
  std::vector<QMenu*> popups;
  for (const resources::MenuEntry& entry : resource->entries) {
    QString text = FromCp1252(entry.text);
    switch (entry.kind) {
      case resources::MenuEntryKind::PopupBegin:
        popups.push_back(popups.empty() ? bar->addMenu(text) : popups.back()->addMenu(text));
        break;
      case resources::MenuEntryKind::PopupEnd:
        if (!popups.empty()) popups.pop_back();
        break;
      case resources::MenuEntryKind::Separator:
        if (!popups.empty()) popups.back()->addSeparator();
        break;
      case resources::MenuEntryKind::Item: {
        QAction* action = popups.empty() ? bar->addAction(text) : popups.back()->addAction(text);
        action->setData(entry.command);
        int command = entry.command;
        // Queued, so that a command which switches the menu never deletes the action that
        // is still delivering its signal.
        QObject::connect(action, &QAction::triggered, this, [this, command] {
          QMetaObject::invokeMethod(this, [this, command] { Command(command); },
                                    Qt::QueuedConnection);
        });
        break;
      }
    }
  }
}

void TFrameWindow::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  setWindowTitle(FromCp1252(caption_));
}

void TFrameWindow::SetIconResource(const std::string& name) {
  setWindowIcon(QIcon(QString::fromStdString(resources::IconResourcePath(name))));
}

void TFrameWindow::LoadAccelerators(std::string_view name) {
  const resources::AcceleratorTable* table = resources::FindAccelerators(name);
  if (!table) return;
  // Keys are matched where they arrive, not through Qt's shortcuts: those fire only in the
  // active window, and without a window manager the frame may get keys without being it.
  if (accelerators_.empty()) qApp->installEventFilter(this);
  accelerators_ = table->keys;
}

namespace {
// The item of a command on the menu shown now, popups included.
QAction* FindMenuItem(const QList<QAction*>& actions, int command) {
  for (QAction* action : actions) {
    if (action->menu()) {
      if (QAction* found = FindMenuItem(action->menu()->actions(), command)) return found;
    } else if (action->data().toInt() == command) {
      return action;
    }
  }
  return nullptr;
}
}  // namespace

const resources::Accelerator* TFrameWindow::MatchAccelerator(const QKeyEvent& event) const {
  const unsigned virtualKey = VirtualKeyOf(event.key());
  const Qt::KeyboardModifiers mods = event.modifiers();
  for (const resources::Accelerator& key : accelerators_)
    if (static_cast<unsigned>(key.virtualKey) == virtualKey &&
        key.alt == bool(mods & Qt::AltModifier) && key.control == bool(mods & Qt::ControlModifier) &&
        key.shift == bool(mods & Qt::ShiftModifier))
      return &key;
  return nullptr;
}

bool TFrameWindow::TranslateAccelerator(const QKeyEvent& event) {
  const resources::Accelerator* key = MatchAccelerator(event);
  if (!key) return false;
  const QAction* item = FindMenuItem(menuBar()->actions(), key->command);
  if (!item || item->isEnabled()) Command(key->command);
  return true;
}

bool TFrameWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  auto& key = static_cast<QKeyEvent&>(*event);
  if (type == QEvent::KeyPress) return TranslateAccelerator(key);
  // An accelerator comes before the menu bar's own shortcuts, as it did.
  if (!MatchAccelerator(key)) return false;
  key.accept();
  return true;
}

void TFrameWindow::Command(int id) {
  if (client_ && client_->ProcessCommand(id)) return;
  if (ProcessCommand(id)) return;
  if (application_) application_->ProcessCommand(id);
}

bool TFrameWindow::CloseWindow() { return close(); }

void TFrameWindow::closeEvent(QCloseEvent* event) {
  bool allowed = CanClose();
  // The children are asked too, as the old frame did.
  for (int i = 0; allowed && i < clientArea_->count(); ++i)
    if (TWindow* child = ClientOf(clientArea_->widget(i))) allowed = child->CanClose();
  if (allowed)
    event->accept();
  else
    event->ignore();
}

}  // namespace platform
