#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/modal.h"

namespace testing_support {

// One thing the program showed the user, as recorded by the scripted user.
struct Prompt {
  enum class Kind { Message, Dialog, File, Help };
  Kind kind = Kind::Message;
  QWidget* owner = nullptr;
  std::string text;     // message text, dialog template name, help file
  std::string caption;  // message caption, dialog title
  unsigned style = 0;   // message style
  platform::FileDialogKind fileKind = platform::FileDialogKind::Open;
  platform::TOpenSaveDialogData fileData;  // file dialogs: the data as the dialog saw it
  int helpCommand = 0;
};

// Answers every modal prompt from a queue and records it. An unexpected prompt (none queued,
// or one of another kind) fails the running test and is answered with cancel. Help calls are
// recorded and need no answer. Installs itself on construction and removes itself when
// destroyed; the destructor fails the test if answers were left unused.
class ScriptedUser : public platform::ModalUser {
 public:
  ScriptedUser();
  ~ScriptedUser() override;

  // Message box: return this result (IDOK, IDYES, IDNO, IDCANCEL).
  ScriptedUser& AnswerMessage(int result = platform::IDOK);
  // Dialog: run fill on the dialog's real controls, then close with result (1 OK, 2 cancel).
  ScriptedUser& AnswerDialog(int result, std::function<void(platform::TDialog&)> fill = {});
  // File dialog: choose this path, or cancel.
  ScriptedUser& ChooseFile(std::string path);
  ScriptedUser& CancelFile();

  const std::vector<Prompt>& prompts() const { return prompts_; }
  std::vector<Prompt> Messages() const;  // the message boxes only, in order
  bool Finished() const { return answers_.empty(); }
  void Forget() { prompts_.clear(); }

  int MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                 unsigned style) override;
  int RunDialog(QWidget* owner, platform::TDialog& dialog) override;
  std::optional<std::string> ChooseFile(QWidget* owner, const platform::TOpenSaveDialogData& data,
                                        platform::FileDialogKind kind) override;
  void Help(QWidget* owner, const std::string& helpFile, int command) override;

 private:
  struct Answer {
    Prompt::Kind kind;
    int result = 0;
    std::function<void(platform::TDialog&)> fill;
    std::optional<std::string> path;
  };
  std::optional<Answer> Take(Prompt::Kind kind, const std::string& what);

  std::deque<Answer> answers_;
  std::vector<Prompt> prompts_;
};

}  // namespace testing_support
