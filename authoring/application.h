#pragma once
#include <memory>
#include <string>

#include "platform/application.h"

namespace quizloom {

class TTestWindow;

// Quizloom's application object: the splash, the main window, and Exit.
class TMyApp : public platform::TApplication {
 public:
  // showSplash is off in tests, which build the main window without waiting.
  explicit TMyApp(bool showSplash = true);
  ~TMyApp() override;

  TTestWindow& Window() const { return *window_; }
  // The file named on the command line, opened as Open would once the message loop runs.
  void OpenAtStart(const std::string& path);
  // Exit (24340, Alt+X): the window's own close, which asks it whether it may close.
  void CmExit();

 private:
  std::unique_ptr<TTestWindow> window_;
};

}  // namespace quizloom
