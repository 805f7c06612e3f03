#pragma once
#include <string>

#include "platform/command_target.h"

namespace platform {

class TFrameWindow;

// The application object: its name, its main window and its own response table, the last
// stop of a routed command. The QApplication is made by main() before it.
class TApplication : public TCommandTarget {
 public:
  explicit TApplication(std::string name);
  ~TApplication() override;

  const std::string& Name() const { return name_; }
  TFrameWindow* MainWindow() const { return mainWindow_; }
  void SetMainWindow(TFrameWindow* window);
  // Shows the main window and runs the message loop; the result is the exit code.
  int Run();

 private:
  std::string name_;
  TFrameWindow* mainWindow_ = nullptr;
};

}  // namespace platform
