#pragma once
#include <optional>
#include <string>
#include <vector>

#include <QMainWindow>

#include "platform/command_target.h"
#include "resources/resource_types.h"

class QKeyEvent;
class QStackedWidget;

namespace platform {

class TApplication;
class TWindow;

// A main frame window with one client at a time. Its children live in the client area for
// the frame's whole life; making one the client shows it, the others stay hidden and keep
// their state. Commands are offered to the client, then the frame, then the application.
class TFrameWindow : public QMainWindow, public TCommandTarget {
 public:
  explicit TFrameWindow(std::string caption);
  ~TFrameWindow() override;

  // The parent to construct child windows with.
  QWidget* ClientArea() const;
  // Shows client in the client area. The frame first takes the size of its first client; it
  // grows where a client's fixed layout needs more room, as far as the screen allows, and
  // beyond that the client scrolls.
  void SetClient(TWindow* client);
  TWindow* Client() const { return client_; }

  void SetMenu(resources::ResId menu);
  std::optional<resources::ResId> CurrentMenu() const { return menu_; }
  void SetCaption(std::string caption);  // Windows-1252 bytes
  const std::string& Caption() const { return caption_; }
  void SetIconResource(const std::string& name);
  void LoadAccelerators(std::string_view table);
  // The old TranslateAccelerator: a key-down that matches the table becomes its command and
  // no window sees it. A command whose item on the current menu is disabled is not sent.
  bool TranslateAccelerator(const QKeyEvent& event);

  // The routed command: client, then this window, then the application.
  void Command(int id);
  void SetApplication(TApplication* application) { application_ = application; }
  // Asks CanClose of the frame (and the client); closes when it agrees. True if closed.
  bool CloseWindow();

  virtual bool CanClose() { return true; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const resources::Accelerator* MatchAccelerator(const QKeyEvent& event) const;
  // The page of the client area that shows client, made on its first showing.
  QWidget* PageOf(TWindow* client);
  // Sizes the frame for the client just set: see SetClient.
  void FitClient();

  std::string caption_;
  QStackedWidget* clientArea_;
  TWindow* client_ = nullptr;
  bool sizedToClient_ = false;
  std::optional<resources::ResId> menu_;
  std::vector<resources::Accelerator> accelerators_;
  TApplication* application_ = nullptr;
};

}  // namespace platform
