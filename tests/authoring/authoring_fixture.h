#pragma once
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "authoring/application.h"
#include "authoring/blank_window.h"
#include "authoring/test_window.h"
#include "core/records.h"
#include "core/test_file_codec.h"
#include "editor/input_dialog.h"
#include "platform/dialog.h"
#include "platform/recording_dc.h"
#include "tests/support/scripted_user.h"

namespace quizloom {

// A question of plain letters; marks as (index, mark) pairs on the text.
inline std::unique_ptr<core::TQuestion> MakeQuestion(
    const std::string& text, const std::string& answer,
    std::vector<std::pair<int, int>> textMarks = {}) {
  auto question = std::make_unique<core::TQuestion>();
  for (char c : text) question->text.emplace_back(static_cast<unsigned char>(c), 0);
  for (char c : answer) question->answer.emplace_back(static_cast<unsigned char>(c), 0);
  for (auto [index, mark] : textMarks) question->text[static_cast<std::size_t>(index)].mark = mark;
  return question;
}

inline std::string TextOf(const core::TLetters& letters) {
  std::string text;
  for (const core::TLetter& letter : letters) text += static_cast<char>(letter.ch);
  return text;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = file.readAll();
  return {bytes.begin(), bytes.end()};
}

// Quizloom's main window as the program builds it (without the splash), in a folder of its
// own that is also the current directory. Every modal thing goes through the scripted user.
class AuthoringTest : public ::testing::Test {
 protected:
  AuthoringTest() {
    savedDirectory_ = QDir::currentPath();
    QDir::setCurrent(folder.path());
    app = std::make_unique<TMyApp>(false);
  }
  ~AuthoringTest() override {
    list().RecordDrawingInto(nullptr);
    app.reset();
    QDir::setCurrent(savedDirectory_);
  }

  TTestWindow& window() { return app->Window(); }
  TBlankWindow& list() { return *window().listWindow; }
  editor::TInputDialog& editor() { return *window().editorWindow; }
  core::TOpenTest& test() { return list().openTest; }
  core::TList<core::TQuestion>& questions() { return test().questions; }

  std::string Path(const std::string& name) const {
    return (folder.path() + "/").toStdString() + name;
  }
  std::string Menu() const { return app->Window().CurrentMenu()->ToString(); }

  // Questions "Question 1" ... "Question n" with answers "A1" ... "An", as if loaded from
  // a file: listed under "MENU_1", not modified.
  void GiveQuestions(int count, const std::string& fileName = "/tests/five.tst") {
    for (int i = 1; i <= count; ++i)
      questions().Add(MakeQuestion("Question " + std::to_string(i), "A" + std::to_string(i)));
    test().fileName = fileName;
    test().modified = 0;
    test().untitled = 0;
    window().SetMenu("MENU_1");
  }
  std::string WriteTest(const std::string& name, const core::TList<core::TQuestion>& list) {
    std::vector<uint8_t> bytes = core::EncodeTestFile(list);
    QFile file(QString::fromStdString(Path(name)));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return Path(name);
  }

  // The editor as the keyboard drives it.
  void Type(const std::string& text) {
    for (char c : text) editor().EvChar(static_cast<unsigned char>(c));
  }
  void PageDown() { editor().EvKeyDown(0x22); }
  void Enter() { editor().EvChar(13); }
  // Types a question and its answer and presses Enter in the answer, which is OK.
  void TypeQuestion(const std::string& question, const std::string& answer) {
    Type(question);
    PageDown();
    Type(answer);
    Enter();
  }

  // The number prompt answered with this text and OK.
  void AnswerNumber(const std::string& text) {
    user.AnswerDialog(1, [text](platform::TDialog& d) { d.SetControlText(101, text); });
  }
  // The search dialog: text, and which of the two buttons.
  void AnswerSearch(const std::string& text, bool caseSensitive) {
    user.AnswerDialog(1, [=](platform::TDialog& d) {
      d.SetControlText(101, text);
      d.SetChecked(103, !caseSensitive);
      d.SetChecked(104, caseSensitive);
    });
  }

  // The list painted now into a recorder: its text calls.
  std::vector<platform::DrawCall> PaintList() {
    recorder.Clear();
    list().RecordDrawingInto(&recorder);
    list().Invalidate(true);
    list().UpdateWindow();
    return recorder.TextCalls();
  }

  QTemporaryDir folder;
  testing_support::ScriptedUser user;
  std::unique_ptr<TMyApp> app;
  platform::TRecordingDC recorder;

 private:
  QString savedDirectory_;
};

inline constexpr unsigned kWarningStyle = 0x30;
inline constexpr unsigned kInformationStyle = 0x40;
inline constexpr unsigned kYesNoCancelQuestion = 0x23;
inline constexpr unsigned kYesNoQuestion = 0x24;

}  // namespace quizloom
