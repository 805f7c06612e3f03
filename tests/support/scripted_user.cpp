#include "tests/support/scripted_user.h"

#include <gtest/gtest.h>

#include "platform/dialog.h"

namespace testing_support {

namespace {
const char* KindName(Prompt::Kind kind) {
  switch (kind) {
    case Prompt::Kind::Message: return "message box";
    case Prompt::Kind::Dialog: return "dialog";
    case Prompt::Kind::File: return "file dialog";
    case Prompt::Kind::Help: return "help";
  }
  return "?";
}
}  // namespace

ScriptedUser::ScriptedUser() { platform::SetModalUser(this); }

ScriptedUser::~ScriptedUser() {
  platform::SetModalUser(nullptr);
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) were never asked for; next: "
                                << (answers_.empty() ? "" : KindName(answers_.front().kind));
}

ScriptedUser& ScriptedUser::AnswerMessage(int result) {
  answers_.push_back({Prompt::Kind::Message, result, {}, {}});
  return *this;
}

ScriptedUser& ScriptedUser::AnswerDialog(int result, std::function<void(platform::TDialog&)> fill) {
  answers_.push_back({Prompt::Kind::Dialog, result, std::move(fill), {}});
  return *this;
}

ScriptedUser& ScriptedUser::ChooseFile(std::string path) {
  answers_.push_back({Prompt::Kind::File, 0, {}, std::move(path)});
  return *this;
}

ScriptedUser& ScriptedUser::CancelFile() {
  answers_.push_back({Prompt::Kind::File, 0, {}, std::nullopt});
  return *this;
}

std::vector<Prompt> ScriptedUser::Messages() const {
  std::vector<Prompt> result;
  for (const Prompt& p : prompts_)
    if (p.kind == Prompt::Kind::Message) result.push_back(p);
  return result;
}

std::optional<ScriptedUser::Answer> ScriptedUser::Take(Prompt::Kind kind, const std::string& what) {
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected " << KindName(kind) << ": \"" << what << "\"";
    return std::nullopt;
  }
  if (answers_.front().kind != kind) {
    ADD_FAILURE() << "expected a " << KindName(answers_.front().kind) << " but got a "
                  << KindName(kind) << ": \"" << what << "\"";
    return std::nullopt;
  }
  Answer answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

int ScriptedUser::MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                             unsigned style) {
  Prompt p;
  p.owner = owner;
  p.text = text;
  p.caption = caption;
  p.style = style;
  prompts_.push_back(p);
  auto answer = Take(Prompt::Kind::Message, text);
  return answer ? answer->result : platform::IDCANCEL;
}

int ScriptedUser::RunDialog(QWidget* owner, platform::TDialog& dialog) {
  Prompt p;
  p.kind = Prompt::Kind::Dialog;
  p.owner = owner;
  p.text = dialog.TemplateName();
  p.caption = dialog.Title();
  prompts_.push_back(p);
  auto answer = Take(Prompt::Kind::Dialog, p.text);
  if (!answer) return platform::IDCANCEL;
  if (answer->fill) answer->fill(dialog);
  return answer->result;
}

std::optional<std::string> ScriptedUser::ChooseFile(QWidget* owner,
                                                    const platform::TOpenSaveDialogData& data,
                                                    platform::FileDialogKind kind) {
  Prompt p;
  p.kind = Prompt::Kind::File;
  p.owner = owner;
  p.text = data.filter;
  p.fileKind = kind;
  p.fileData = data;
  prompts_.push_back(p);
  auto answer = Take(Prompt::Kind::File, data.filter);
  return answer ? answer->path : std::nullopt;
}

void ScriptedUser::Help(QWidget* owner, const std::string& helpFile, int command) {
  Prompt p;
  p.kind = Prompt::Kind::Help;
  p.owner = owner;
  p.text = helpFile;
  p.helpCommand = command;
  prompts_.push_back(p);
}

}  // namespace testing_support
