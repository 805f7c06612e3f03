#include "platform/frame_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QShortcut>
#include <QStackedWidget>

#include "platform/application.h"
#include "platform/cp1252.h"
#include "platform/keys.h"
#include "platform/window.h"

namespace platform {

TFrameWindow::TFrameWindow(std::string caption) : clientArea_(new QStackedWidget(this)) {
  setCentralWidget(clientArea_);
  SetCaption(std::move(caption));
}

TFrameWindow::~TFrameWindow() = default;

QWidget* TFrameWindow::ClientArea() const { return clientArea_; }

void TFrameWindow::SetClient(TWindow* client) {
  if (!client) return;
  if (clientArea_->indexOf(client) < 0) clientArea_->addWidget(client);
  client_ = client;
  clientArea_->setCurrentWidget(client);
  client->show();
  // The frame takes the size of its first client.
  if (!sizedToClient_) {
    sizedToClient_ = true;
    QSize size = client->sizeHint();
    int menuHeight = menuWidget() ? menuWidget()->sizeHint().height() : 0;
    resize(size.width(), size.height() + menuHeight);
  }
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
  for (QShortcut* old : accelerators_) delete old;
  accelerators_.clear();
  for (const resources::Accelerator& key : table->keys) {
    int sequence = QtKeyOf(key.virtualKey);
    if (key.alt) sequence |= Qt::AltModifier;
    if (key.control) sequence |= Qt::ControlModifier;
    if (key.shift) sequence |= Qt::ShiftModifier;
    auto* shortcut = new QShortcut(QKeySequence(sequence), this);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(true);
    int command = key.command;
    QObject::connect(shortcut, &QShortcut::activated, this, [this, command] { Command(command); });
    accelerators_.push_back(shortcut);
  }
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
    if (auto* child = dynamic_cast<TWindow*>(clientArea_->widget(i))) allowed = child->CanClose();
  if (allowed)
    event->accept();
  else
    event->ignore();
}

}  // namespace platform
