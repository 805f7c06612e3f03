#pragma once
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "core/records.h"
#include "core/test_file_codec.h"
#include "editor/input_dialog.h"
#include "platform/dialog.h"
#include "platform/keys.h"
#include "taking/application.h"
#include "taking/blank_window.h"
#include "taking/test_window.h"
#include "tests/support/scripted_user.h"

namespace quizdesk {

// A question of plain letters; marks as (index, mark) pairs for the answer.
inline std::unique_ptr<core::TQuestion> MakeQuestion(const std::string& text,
                                                     const std::string& answer,
                                                     std::vector<std::pair<int, int>> answerMarks = {}) {
  auto question = std::make_unique<core::TQuestion>();
  for (char c : text) question->text.emplace_back(static_cast<unsigned char>(c), 0);
  for (char c : answer) question->answer.emplace_back(static_cast<unsigned char>(c), 0);
  for (auto [index, mark] : answerMarks) question->answer[static_cast<std::size_t>(index)].mark = mark;
  return question;
}

inline std::vector<uint8_t> ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = file.readAll();
  return {bytes.begin(), bytes.end()};
}

inline int32_t IntAt(const std::vector<uint8_t>& bytes, std::size_t offset) {
  return static_cast<int32_t>(uint32_t(bytes.at(offset)) | uint32_t(bytes.at(offset + 1)) << 8 |
                              uint32_t(bytes.at(offset + 2)) << 16 |
                              uint32_t(bytes.at(offset + 3)) << 24);
}

// A main window built as the program builds it (without the splash), on 7 March 1997, in a
// folder of its own that is also the current directory.
class TakingTest : public ::testing::Test {
 protected:
  TakingTest() {
    core::FixTodayForTests(&kDate);
    savedDirectory_ = QDir::currentPath();
    QDir::setCurrent(folder.path());
    // Hermetic: no school server unless a test writes this file.
    qputenv("QUIZDESK_HAND_IN_SETTINGS", (folder.path() + "/quizdesk.conf").toUtf8());
    app = std::make_unique<TMyApp>(false);
    window().SeedQuestionOrder(1);
  }
  ~TakingTest() override {
    app.reset();
    QDir::setCurrent(savedDirectory_);
    core::FixTodayForTests(nullptr);
    qunsetenv("QUIZDESK_DRIVE_A");
    qunsetenv("QUIZDESK_DRIVE_B");
    qunsetenv("QUIZDESK_HAND_IN_SETTINGS");
  }

  TTestWindow& window() { return app->Window(); }
  editor::TInputDialog& editor() { return *window().editor; }

  std::string Path(const QString& name) const { return (folder.path() + "/" + name).toStdString(); }

  // Writes a test file of these questions into the folder; its full path.
  std::string WriteTest(const QString& name, core::TList<core::TQuestion>& questions) {
    std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
    QFile file(QString::fromStdString(Path(name)));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return Path(name);
  }
  std::string WriteThreeQuestions() {
    core::TList<core::TQuestion> questions;
    questions.Add(MakeQuestion("Capital of France?", "Paris"));
    questions.Add(MakeQuestion("Water?", "H2O", {{1, 2}}));
    questions.Add(MakeQuestion("Two and two?", "4"));
    return WriteTest("three.tst", questions);
  }

  // The class information dialog with these names, OK.
  void GiveNames(const std::string& first, const std::string& last, const std::string& course = "") {
    user.AnswerDialog(1, [=](platform::TDialog& d) {
      d.SetControlText(101, first);
      d.SetControlText(102, last);
      if (!course.empty()) d.SetControlText(103, course);
    });
  }
  // Start with the names and the test file; the window is then showing the first question.
  void StartTest(const std::string& path) {
    GiveNames("Ann", "Lee");
    user.ChooseFile(path);
    window().Command(CM_START);
  }
  // Types into the answer field as the keyboard would, each character after the last.
  void Type(const std::string& text) {
    for (char c : text) editor().EvChar(static_cast<unsigned char>(c));
  }
  void Enter() { editor().EvChar(13); }

  static constexpr core::TLocalDate kDate{1997, 3, 7};
  QTemporaryDir folder;
  testing_support::ScriptedUser user;
  std::unique_ptr<TMyApp> app;

 private:
  QString savedDirectory_;
};

}  // namespace quizdesk
