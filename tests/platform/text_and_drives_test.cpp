#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/cp1252.h"
#include "platform/modal.h"
#include "platform/system.h"
#include "tests/support/scripted_user.h"

namespace {

TEST(Cp1252, EveryByteThatMapsRoundTrips) {
  int mapped = 0;
  for (int b = 0; b < 256; ++b) {
    const bool hole = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    std::string byte(1, static_cast<char>(b));
    QString text = platform::FromCp1252(byte);
    if (hole) {
      EXPECT_TRUE(platform::ToCp1252(text).empty()) << b;
      continue;
    }
    EXPECT_EQ(platform::ToCp1252(text), byte) << b;
    ++mapped;
  }
  EXPECT_EQ(mapped, 251);
  EXPECT_EQ(platform::FromCp1252(std::string("\x80\x99\xE9")), QString::fromUtf8("€™é"));
}

TEST(Cp1252, CharactersOutsideAreLeftOut) {
  EXPECT_EQ(platform::ToCp1252(QString::fromUtf8("H₂O 水 ok")), "HO  ok");
  EXPECT_EQ(platform::PathToText("/home/ana/水/t.tst"), "/home/ana/?/t.tst");
}

class DriveMapping : public ::testing::Test {
 protected:
  void SetUp() override {
    savedA_ = qgetenv("QUIZDESK_DRIVE_A");
    savedB_ = qgetenv("QUIZDESK_DRIVE_B");
    saved_ = QDir::currentPath();
  }
  void TearDown() override {
    qputenv("QUIZDESK_DRIVE_A", savedA_);
    qputenv("QUIZDESK_DRIVE_B", savedB_);
    QDir::setCurrent(saved_);
  }
  QByteArray savedA_, savedB_;
  QString saved_;
};

TEST_F(DriveMapping, EnvironmentFoldersStandForTheDrives) {
  QTemporaryDir a, b;
  qputenv("QUIZDESK_DRIVE_A", a.path().toUtf8());
  qputenv("QUIZDESK_DRIVE_B", b.path().toUtf8());
  EXPECT_EQ(platform::MapDrivePath("A:\\results.qzr"), (a.path() + "/results.qzr").toStdString());
  EXPECT_EQ(platform::MapDrivePath("b:\\results.qzr"), (b.path() + "/results.qzr").toStdString());
}

TEST_F(DriveMapping, CurrentDirectoryAndPlainNames) {
  QTemporaryDir here;
  QDir::setCurrent(here.path());
  EXPECT_EQ(platform::MapDrivePath("results.qzr"), "results.qzr");
  EXPECT_EQ(platform::MapDrivePath("C:\\results.qzr"),
            (QDir::currentPath() + "/results.qzr").toStdString());
  EXPECT_EQ(platform::MapDrivePath("Z:\\results.qzr"), std::nullopt);
}

TEST_F(DriveMapping, WithoutVariablesTheDrivesAreRemovableVolumes) {
  qunsetenv("QUIZDESK_DRIVE_A");
  qunsetenv("QUIZDESK_DRIVE_B");
  // A build machine has no sticks: no volume is the same as an empty floppy drive.
  auto a = platform::MapDrivePath("A:\\results.qzr");
  if (a) {
    EXPECT_NE(a->find("/results.qzr"), std::string::npos);
  }
  auto b = platform::MapDrivePath("B:\\results.qzr");
  if (b) {
    ASSERT_TRUE(a.has_value());
    EXPECT_NE(*a, *b);
  }
}

TEST(FileDialogs, ChosenFolderBecomesCurrentAndNameIsKept) {
  const QString saved = QDir::currentPath();
  QTemporaryDir dir;
  testing_support::ScriptedUser user;
  platform::TOpenSaveDialogData data{platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST,
                                     "Test Files (*.tst)|*.tst|", "tst", "", ""};
  user.ChooseFile((dir.path() + "/biology").toStdString());
  ASSERT_TRUE(platform::GetSaveFileName(nullptr, data));
  EXPECT_EQ(data.fileName, (dir.path() + "/biology.tst").toStdString());
  EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());

  // The next dialog sees the last name; cancelling keeps it.
  user.CancelFile();
  EXPECT_FALSE(platform::GetOpenFileName(nullptr, data));
  ASSERT_EQ(user.prompts().size(), 2u);
  EXPECT_EQ(user.prompts()[1].fileData.fileName, data.fileName);
  EXPECT_EQ(user.prompts()[1].fileKind, platform::FileDialogKind::Open);
  EXPECT_EQ(data.fileName, (dir.path() + "/biology.tst").toStdString());

  // A dialog for other files leaves the folder where pictures are looked up.
  QTemporaryDir other;
  data.flags |= platform::OFN_NOCHANGEDIR;
  user.ChooseFile((other.path() + "/lesson.txt").toStdString());
  ASSERT_TRUE(platform::GetOpenFileName(nullptr, data));
  EXPECT_EQ(data.fileName, (other.path() + "/lesson.txt").toStdString());
  EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
  QDir::setCurrent(saved);
}

TEST(Help, CallsGoThroughTheSeam) {
  testing_support::ScriptedUser user;
  platform::WinHelp(nullptr, "quizloom.hlp", platform::HELP_CONTENTS);
  platform::WinHelp(nullptr, "quizloom.hlp", platform::HELP_QUIT);
  ASSERT_EQ(user.prompts().size(), 2u);
  EXPECT_EQ(user.prompts()[0].text, "quizloom.hlp");
  EXPECT_EQ(user.prompts()[0].helpCommand, 3);
  EXPECT_EQ(user.prompts()[1].helpCommand, 2);
}

}  // namespace
