#include <QCoreApplication>
#include <QDir>

#include "authoring_fixture.h"

namespace quizloom {
namespace {

// The file named on the command line: opened as Open opens a chosen file, once the loop runs.
TEST_F(AuthoringTest, FileNamedAtStartOpensOnceTheLoopRunsWithItsFolderCurrent) {
  ASSERT_TRUE(QDir(folder.path()).mkdir("class 7"));
  core::TList<core::TQuestion> onFile;
  onFile.Add(MakeQuestion("H2O is water", "yes", {{1, 2}}));
  const std::string path = WriteTest("class 7/start.tst", onFile);
  app->OpenAtStart("class 7/./start.tst");
  EXPECT_TRUE(questions().IsEmpty());
  QCoreApplication::processEvents();
  EXPECT_TRUE(user.prompts().empty());
  ASSERT_EQ(questions().Count(), 1);
  EXPECT_EQ(questions()[0].text[1].mark, 2);
  EXPECT_EQ(test().fileName, path);
  EXPECT_EQ(test().testFileData.fileName, path);  // the Open dialog proposes it next
  EXPECT_EQ(Menu(), "MENU_1");
  EXPECT_EQ(test().modified, 0);
  EXPECT_EQ(test().untitled, 0);
  EXPECT_EQ(window().Client(), window().listWindow);
  EXPECT_EQ(QDir::current(), QDir(folder.path() + "/class 7"));
  PaintList();
  EXPECT_EQ(window().Caption(), path);
}

TEST_F(AuthoringTest, FileNamedAtStartWithoutExtensionGetsTheTestExtension) {
  core::TList<core::TQuestion> onFile;
  onFile.Add(MakeQuestion("Q", "A"));
  const std::string path = WriteTest("plain.tst", onFile);
  list().OpenFile(Path("plain"));
  EXPECT_TRUE(user.prompts().empty());
  EXPECT_EQ(questions().Count(), 1);
  EXPECT_EQ(test().fileName, path);
}

// A file that cannot be read gets Open's own message, and the program stays up without a test.
TEST_F(AuthoringTest, FileNamedAtStartThatCannotBeReadLeavesTheEmptyWindow) {
  ASSERT_TRUE(QDir(folder.path()).mkdir("sub"));
  QFile damaged(QString::fromStdString(Path("sub/damaged.tst")));
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write("Quizloom95\0\0\0\0\0\x05\0\0\0", 19);  // five questions promised, none there
  damaged.close();
  struct Case {
    std::string argument;
    const char* message;
    QString currentAfter;
  } cases[] = {
      {"sub/damaged.tst", "Incorrect File Format!", folder.path() + "/sub"},
      {"missing.tst", "File cannot be found!", folder.path()},
      {"no folder/missing.tst", "File cannot be found!", folder.path()},
      {"", "File cannot be found!", folder.path()},
      {"sub", "File cannot be found!", folder.path()},  // a folder, not a file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    QDir::setCurrent(folder.path());
    user.Forget();
    user.AnswerMessage();
    app->OpenAtStart(c.argument);
    QCoreApplication::processEvents();
    ASSERT_EQ(user.Messages().size(), 1u);
    EXPECT_EQ(user.Messages()[0].text, c.message);
    EXPECT_EQ(user.Messages()[0].caption, "Warning");
    EXPECT_EQ(user.Messages()[0].style, kWarningStyle);
    EXPECT_EQ(user.Messages()[0].owner, &list());
    EXPECT_TRUE(questions().IsEmpty());
    EXPECT_EQ(Menu(), "9");
    EXPECT_EQ(QDir::current(), QDir(c.currentAfter));
    PaintList();
    EXPECT_EQ(window().Caption(), "No file active");
  }
}

}  // namespace
}  // namespace quizloom
