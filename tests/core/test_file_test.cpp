#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/test_file.h"
#include "core/test_file_codec.h"
#include "tests/support/scripted_user.h"

namespace {

using core::TLetter;
using core::TQuestion;
using testing_support::ScriptedUser;

std::unique_ptr<TQuestion> MakeQuestion(const std::string& text, const std::string& answer,
                                        const char* picture = "", const std::vector<int>& marks = {}) {
  auto q = std::make_unique<TQuestion>();
  std::strncpy(q->picture, picture, sizeof q->picture - 1);
  for (std::size_t i = 0; i < text.size(); ++i)
    q->text.emplace_back(static_cast<unsigned char>(text[i]), i < marks.size() ? marks[i] : 0);
  for (char c : answer) q->answer.emplace_back(static_cast<unsigned char>(c), 0);
  return q;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> v;
  for (int b : values) v.push_back(static_cast<uint8_t>(b));
  return v;
}

std::vector<uint8_t> WorkedExample() {
  std::vector<uint8_t> bytes = {'Q', 'u', 'i', 'z', 'l', 'o', 'o', 'm', '9', '5', 0, 0, 0, 0, 0};
  auto append = [&](const std::vector<uint8_t>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); };
  append(Bytes({1, 0, 0, 0}));
  append(std::vector<uint8_t>(80, 0));
  append(Bytes({2, 0, 0, 0, 0x48, 0, 0, 0, 0, 0x32, 2, 0, 0, 0, 1, 0, 0, 0, 0x58, 0, 0, 0, 0}));
  return bytes;
}

TEST(TestFileCodec, WorkedExampleBothWays) {
  core::TList<TQuestion> questions;
  questions.Add(MakeQuestion("H2", "X", "", {0, 2}));
  const std::vector<uint8_t> expected = WorkedExample();
  ASSERT_EQ(expected.size(), 122u);
  EXPECT_EQ(core::EncodeTestFile(questions), expected);

  core::TList<TQuestion> read;
  ASSERT_EQ(core::DecodeTestFile(expected, read), core::DecodeResult::Ok);
  ASSERT_EQ(read.Count(), 1);
  EXPECT_EQ(read[0].text, (core::TLetters{{'H', 0}, {'2', 2}}));
  EXPECT_EQ(read[0].answer, (core::TLetters{{'X', 0}}));
  EXPECT_STREQ(read[0].picture, "");
}

TEST(TestFileCodec, MagicIsTheStringBeforeItsTerminator) {
  std::vector<uint8_t> bytes = WorkedExample();
  for (int i = 11; i < 15; ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i);
  core::TList<TQuestion> read;
  EXPECT_EQ(core::DecodeTestFile(bytes, read), core::DecodeResult::Ok);

  for (auto change : std::vector<std::pair<int, uint8_t>>{{9, '6'}, {0, 'q'}, {10, 'X'}}) {
    std::vector<uint8_t> other = WorkedExample();
    other[change.first] = change.second;
    core::TList<TQuestion> untouched;
    untouched.Add(MakeQuestion("keep", "me"));
    EXPECT_EQ(core::DecodeTestFile(other, untouched), core::DecodeResult::WrongMagic);
    ASSERT_EQ(untouched.Count(), 1);
    EXPECT_EQ(untouched[0].text.size(), 4u);
  }
}

TEST(TestFileCodec, PictureFieldWithoutTerminatorGivesItsFirst79Characters) {
  std::vector<uint8_t> bytes = WorkedExample();
  std::fill(bytes.begin() + 19, bytes.begin() + 99, 'P');
  core::TList<TQuestion> read;
  ASSERT_EQ(core::DecodeTestFile(bytes, read), core::DecodeResult::Ok);
  EXPECT_EQ(std::string(read[0].picture), std::string(79, 'P'));
}

TEST(TestFileCodec, EveryTruncationIsRefusedAndChangesNothing) {
  core::TList<TQuestion> questions;
  questions.Add(MakeQuestion("Name the gas\rCO2", "carbon dioxide", "CELL.BMP", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}));
  questions.Add(MakeQuestion("x2", "y"));
  const std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    core::TList<TQuestion> list;
    list.Add(MakeQuestion("old", "answer"));
    std::span<const uint8_t> part(bytes.data(), cut);
    EXPECT_NE(core::DecodeTestFile(part, list), core::DecodeResult::Ok) << cut;
    ASSERT_EQ(list.Count(), 1) << cut;
    EXPECT_EQ(list[0].answer.size(), 6u) << cut;
  }
}

TEST(TestFileCodec, AbsurdCountsAreRefusedAtOnce) {
  for (int field : {15, 99, 113}) {  // question count, text count, answer count
    std::vector<uint8_t> bytes = WorkedExample();
    const std::vector<uint8_t> huge = Bytes({0xFF, 0xFF, 0xFF, 0x7F});
    std::copy(huge.begin(), huge.end(), bytes.begin() + field);
    core::TList<TQuestion> read;
    EXPECT_EQ(core::DecodeTestFile(bytes, read), core::DecodeResult::Damaged) << field;
    EXPECT_EQ(read.Count(), 0);
  }
}

TEST(TestFileCodec, CountsOfZeroOrLessMeanNoRecords) {
  const std::vector<uint8_t> example = WorkedExample();
  std::vector<uint8_t> empty(example.begin(), example.begin() + 19);
  empty[15] = 0;
  core::TList<TQuestion> read;
  read.Add(MakeQuestion("old", "a"));
  ASSERT_EQ(core::DecodeTestFile(empty, read), core::DecodeResult::Ok);
  EXPECT_EQ(read.Count(), 0);
  std::copy_n(Bytes({0xFE, 0xFF, 0xFF, 0xFF}).begin(), 4, empty.begin() + 15);
  EXPECT_EQ(core::DecodeTestFile(empty, read), core::DecodeResult::Ok);
}

TEST(TestFileCodec, PiecesJoinToTheWholeFile) {
  // A question here takes 2,093 bytes: 31 of them fit in one piece, the 32nd fills it.
  for (auto [count, expectedPieces] : std::vector<std::pair<int, std::size_t>>{
           {0, 1}, {1, 1}, {31, 1}, {32, 1}, {33, 2}, {400, 13}}) {
    SCOPED_TRACE(count);
    core::TList<TQuestion> questions;
    for (int i = 0; i < count; ++i)
      questions.Add(MakeQuestion(std::string(400, static_cast<char>('a' + i % 26)), "x", i % 2 ? "CELL.BMP" : ""));
    std::vector<uint8_t> joined;
    std::vector<std::size_t> sizes;
    ASSERT_TRUE(core::EncodeTestFile(questions, [&](std::span<const uint8_t> piece) {
      joined.insert(joined.end(), piece.begin(), piece.end());
      sizes.push_back(piece.size());
      return true;
    }));
    EXPECT_EQ(joined, core::EncodeTestFile(questions));
    // Every piece but the last is full, none holds more than one question beyond full.
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      if (i + 1 < sizes.size()) {
        EXPECT_GE(sizes[i], core::kEncodePiece);
      }
      EXPECT_GT(sizes[i], 0u);
      EXPECT_LT(sizes[i], core::kEncodePiece + 88 + 5 * 401);
    }
    EXPECT_EQ(sizes.size(), expectedPieces);
  }
}

TEST(TestFileCodec, ARefusedPieceStopsTheEncoder) {
  core::TList<TQuestion> questions;
  for (int i = 0; i < 400; ++i) questions.Add(MakeQuestion(std::string(400, 'q'), "a"));
  int calls = 0;
  EXPECT_FALSE(core::EncodeTestFile(questions, [&](std::span<const uint8_t>) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
}

// A source that gives at most step bytes a call, and stops after limit bytes in all.
core::ByteSource Trickle(const std::vector<uint8_t>& bytes, std::size_t step, std::size_t limit) {
  auto position = std::make_shared<std::size_t>(0);
  return [&bytes, step, limit, position](uint8_t* destination, std::size_t size) {
    const std::size_t n = std::min({size, step, std::min(limit, bytes.size()) - *position});
    std::memcpy(destination, bytes.data() + *position, n);
    *position += n;
    return n;
  };
}

// Fields and letters that straddle the window's edge, whatever the source hands out a call.
TEST(TestFileCodec, PulledInAnyPiecesGivesTheSameQuestions) {
  core::TList<TQuestion> questions;
  for (int i = 0; i < 70; ++i)  // some 150 KiB: more than two windows
    questions.Add(MakeQuestion(std::string(400 + i, static_cast<char>('a' + i % 26)), "ans" + std::to_string(i),
                               i % 3 ? "" : "CELL.BMP", std::vector<int>(400 + i, i % 3)));
  const std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
  for (std::size_t step : {1u, 3u, 5u, 7u, 4096u, 65536u, 1u << 20}) {
    core::TList<TQuestion> read;
    ASSERT_EQ(core::DecodeTestFile(Trickle(bytes, step, bytes.size()), bytes.size(), read), core::DecodeResult::Ok)
        << step;
    EXPECT_EQ(core::EncodeTestFile(read), bytes) << step;
  }
}

// A file that shrinks while it is read ends before the size it had: refused, list kept.
TEST(TestFileCodec, ASourceEndingBeforeItsSizeIsDamaged) {
  core::TList<TQuestion> questions;
  for (int i = 0; i < 40; ++i) questions.Add(MakeQuestion(std::string(2000, 'x'), "y"));
  const std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
  for (std::size_t limit : {std::size_t{10}, std::size_t{100}, bytes.size() / 2, bytes.size() - 1}) {
    core::TList<TQuestion> list;
    list.Add(MakeQuestion("old", "answer"));
    EXPECT_EQ(core::DecodeTestFile(Trickle(bytes, 4096, limit), bytes.size(), list),
              core::DecodeResult::Damaged)
        << limit;
    ASSERT_EQ(list.Count(), 1) << limit;
  }
  // Bytes beyond the last question are no part of the test.
  std::vector<uint8_t> longer = bytes;
  longer.insert(longer.end(), {1, 2, 3});
  core::TList<TQuestion> read;
  ASSERT_EQ(core::DecodeTestFile(longer, read), core::DecodeResult::Ok);
  EXPECT_EQ(read.Count(), 40);
}

// The reader keeps questions beyond the editor's limits; whoever copies them into a fixed
// buffer cuts them there.
TEST(TestFileCodec, OverLongQuestionsAreKeptWhole) {
  core::TList<TQuestion> questions;
  questions.Add(MakeQuestion(std::string(600, 'w') + "\r\r\r\r\r\r\r\r", std::string(70, 'z')));
  core::TList<TQuestion> read;
  ASSERT_EQ(core::DecodeTestFile(core::EncodeTestFile(questions), read), core::DecodeResult::Ok);
  EXPECT_EQ(read[0].text.size(), 608u);
  EXPECT_EQ(read[0].answer.size(), 70u);
}

// Saving and loading through the real files, with the messages the user sees.
class TestFile : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = QDir::currentPath(); }
  void TearDown() override { QDir::setCurrent(saved_); }
  std::string Path(const QString& name) const { return (dir_.path() + "/" + name).toStdString(); }
  static std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  QTemporaryDir dir_;
  QString saved_;
  std::vector<std::string> captions_;
  core::SetCaption caption_ = [this](const std::string& c) { captions_.push_back(c); };
};

core::TOpenTest MixedTest() {
  core::TOpenTest test;
  test.questions.Add(MakeQuestion("What is H2O?\r\nIt is", "water", "", {0, 0, 0, 0, 0, 0, 0, 0, 0, 2}));
  test.questions.Add(MakeQuestion("Solve x2 = 4\rfor x > 0", "2", "CELL.BMP", {0, 0, 0, 0, 0, 0, 0, 1}));
  test.questions.Add(MakeQuestion("Ca2+ is an ion", "yes", "", {0, 0, 1, 1}));
  return test;
}

TEST_F(TestFile, SaveLoadSaveIsByteIdentical) {
  core::TOpenTest test = MixedTest();
  test.fileName = Path("first.tst");
  test.modified = 1;
  ASSERT_TRUE(core::Save(test, nullptr, caption_));
  EXPECT_EQ(test.modified, 0);
  EXPECT_EQ(captions_, (std::vector<std::string>{test.fileName}));

  core::TOpenTest loaded;
  loaded.fileName = test.fileName;
  loaded.untitled = 1;
  loaded.modified = 1;
  ASSERT_EQ(core::Load(loaded, nullptr), 1);
  EXPECT_EQ(loaded.modified, 0);
  EXPECT_EQ(loaded.untitled, 0);
  ASSERT_EQ(loaded.questions.Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(loaded.questions[i].text, test.questions[i].text);
    EXPECT_EQ(loaded.questions[i].answer, test.questions[i].answer);
    EXPECT_STREQ(loaded.questions[i].picture, test.questions[i].picture);
  }
  loaded.fileName = Path("second.tst");
  ASSERT_TRUE(core::Save(loaded, nullptr, caption_));
  EXPECT_EQ(ReadAll(Path("first.tst")), ReadAll(Path("second.tst")));
}

TEST_F(TestFile, ReaderMessages) {
  ScriptedUser user;
  core::TList<TQuestion> list;
  list.Add(MakeQuestion("keep", "me"));
  user.AnswerMessage().AnswerMessage();
  EXPECT_EQ(core::ReadTestFile(Path("missing.tst"), list, nullptr), 0);
  QFile foreign(dir_.path() + "/foreign.tst");
  ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
  foreign.write("Quizloom96\0\0\0\0\0\0\0\0\0", 19);
  foreign.close();
  EXPECT_EQ(core::ReadTestFile(Path("foreign.tst"), list, nullptr), 0);
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_EQ(user.Messages()[0].text, "File cannot be found!");
  EXPECT_EQ(user.Messages()[1].text, "Incorrect File Format!");
  for (const auto& m : user.Messages()) {
    EXPECT_EQ(m.caption, "Warning");
    EXPECT_EQ(m.style, 48u);
  }
  EXPECT_EQ(list.Count(), 1);
}

TEST_F(TestFile, EmptyFileLoadsAnEmptyTest) {
  QFile file(dir_.path() + "/empty.tst");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("Quizloom95\0\0\0\0\0\0\0\0\0", 19);
  file.close();
  core::TOpenTest test = MixedTest();
  test.fileName = Path("empty.tst");
  test.modified = 1;
  ASSERT_EQ(core::Load(test, nullptr), 1);
  EXPECT_EQ(test.questions.Count(), 0);
  EXPECT_EQ(test.modified, 0);
}

TEST_F(TestFile, SaveToAMissingFolderKeepsModified) {
  ScriptedUser user;
  user.AnswerMessage();
  core::TOpenTest test = MixedTest();
  test.fileName = Path("no/such/folder/t.tst");
  test.modified = 1;
  EXPECT_FALSE(core::Save(test, nullptr, caption_));
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text, "File cannot be found!");
  EXPECT_EQ(test.modified, 1);
  EXPECT_TRUE(captions_.empty());
}

// Runs Save with the process allowed to write files of at most limit bytes.
bool SaveUnderFileSizeLimit(core::TOpenTest& test, rlim_t limit) {
  struct rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = limit;
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = core::Save(test, nullptr, {});
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  return saved;
}

// A short write must never pass for a whole one, however little of the file is missing:
// small tests included, whose bytes fit in a write buffer.
TEST_F(TestFile, FullDiskKeepsTheOldFileAndSaysSo) {
  core::TOpenTest small = MixedTest();
  core::TOpenTest large = MixedTest();
  for (int i = 0; i < 400; ++i) large.questions.Add(MakeQuestion(std::string(400, 'a'), "b"));
  for (core::TOpenTest* test : {&small, &large}) {
    const std::size_t size = core::EncodeTestFile(test->questions).size();
    for (std::size_t limit : {std::size_t{1}, size / 2, size - 1}) {
      SCOPED_TRACE(std::to_string(size) + " bytes, limit " + std::to_string(limit));
      core::TOpenTest old;
      old.questions.Add(MakeQuestion("the old test", "kept"));
      old.fileName = Path("kept.tst");
      ASSERT_TRUE(core::Save(old, nullptr, caption_));
      const std::vector<uint8_t> before = ReadAll(old.fileName);

      test->fileName = old.fileName;
      test->modified = 1;
      ScriptedUser user;
      user.AnswerMessage();
      EXPECT_FALSE(SaveUnderFileSizeLimit(*test, limit));
      EXPECT_EQ(test->modified, 1);
      EXPECT_EQ(ReadAll(test->fileName), before);
      ASSERT_EQ(user.Messages().size(), 1u);
      EXPECT_EQ(user.Messages()[0].text,
                "The test could not be written completely (the disk may be full or removed). "
                "The file on disk was not changed.");
      EXPECT_EQ(user.Messages()[0].caption, "Warning");
      EXPECT_EQ(user.Messages()[0].style, 48u);
      EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"kept.tst"});  // no leftovers
    }
    // Exactly enough room: the save goes through.
    ASSERT_TRUE(SaveUnderFileSizeLimit(*test, size));
    EXPECT_EQ(ReadAll(test->fileName), core::EncodeTestFile(test->questions));
    EXPECT_EQ(test->modified, 0);
  }
}

TEST_F(TestFile, SaveAsChoosesANameAndEmptiesAnUntitledOne) {
  ScriptedUser user;
  core::TOpenTest test = MixedTest();
  test.fileName = "Untitled";
  test.untitled = 1;
  test.testFileData.fileName = Path("last.tst");
  user.CancelFile();
  EXPECT_FALSE(core::SaveAs(test, nullptr, caption_));
  EXPECT_EQ(test.fileName, "");  // emptied, and it stays so after a cancel
  EXPECT_EQ(test.untitled, 1);
  EXPECT_EQ(user.prompts()[0].fileData.fileName, Path("last.tst"));  // the last name proposed
  EXPECT_EQ(user.prompts()[0].fileData.filter, "Test Files (*.tst)|*.tst|");
  EXPECT_EQ(user.prompts()[0].fileData.defaultExt, "tst");
  EXPECT_EQ(user.prompts()[0].fileData.flags, 6144u);

  // A long path is normal here: it is held whole.
  const QString deep = dir_.path() + "/" + QString("a-rather-long-folder-name-for-a-class/").repeated(3);
  ASSERT_TRUE(QDir().mkpath(deep));
  user.ChooseFile((deep + "biology").toStdString());
  ASSERT_TRUE(core::SaveAs(test, nullptr, caption_));
  EXPECT_EQ(test.fileName, QDir(deep).canonicalPath().toStdString() + "/biology.tst");
  EXPECT_GT(test.fileName.size(), 79u);
  EXPECT_EQ(test.untitled, 0);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(test.fileName)));
}

TEST_F(TestFile, SaveAsOnAnEmptyTestShowsNothing) {
  ScriptedUser user;
  core::TOpenTest test;
  test.untitled = 1;
  test.fileName = "Untitled";
  EXPECT_FALSE(core::SaveAs(test, nullptr, caption_));
  EXPECT_TRUE(user.prompts().empty());
  EXPECT_EQ(test.fileName, "Untitled");
}

}  // namespace
