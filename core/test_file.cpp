#include "core/test_file.h"

#include <QFile>
#include <QSaveFile>

#include "core/test_file_codec.h"
#include "platform/cp1252.h"
#include "platform/modal.h"

namespace core {

namespace {

constexpr unsigned kWarning = platform::MB_OK | platform::MB_ICONEXCLAMATION;
// No test of ours comes near this; a larger file is not one of ours and is not read whole.
constexpr qint64 kLargestTestFile = qint64(512) << 20;

void Warn(QWidget* owner, const char* text) { platform::MessageBox(owner, text, "Warning", kWarning); }

}  // namespace

TOpenTest::TOpenTest() {
  testFileData.flags = platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST;
  testFileData.filter = "Test Files (*.tst)|*.tst|";
  testFileData.defaultExt = "tst";
}

int ReadTestFile(const std::string& path, TList<TQuestion>& questions, QWidget* owner) {
  QFile file(platform::PathToQt(path));
  // Unbuffered: the decoder pulls the file through its own window.
  if (path.empty() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
    Warn(owner, "File cannot be found!");
    return 0;
  }
  const qint64 size = file.size();
  if (size > kLargestTestFile) {
    Warn(owner, "Incorrect File Format!");
    return 0;
  }
  bool readFailed = false;
  const ByteSource source = [&](uint8_t* destination, std::size_t wanted) -> std::size_t {
    const qint64 got = file.read(reinterpret_cast<char*>(destination), static_cast<qint64>(wanted));
    if (got < 0) readFailed = true;
    return got > 0 ? static_cast<std::size_t>(got) : 0;
  };
  TList<TQuestion> read;
  const DecodeResult result = DecodeTestFile(source, static_cast<uint64_t>(size), read);
  if (readFailed) {
    Warn(owner, "File cannot be found!");  // it went away while it was read
    return 0;
  }
  if (result != DecodeResult::Ok) {
    Warn(owner, "Incorrect File Format!");
    return 0;
  }
  questions.Swap(read);
  return 1;
}

bool Save(TOpenTest& test, QWidget* owner, const SetCaption& setCaption) {
  QSaveFile file(platform::PathToQt(test.fileName));
  // Unbuffered: through a write buffer QSaveFile takes a short write (a full disk, a size
  // limit) for a whole one and commits the cut file over the good one.
  if (test.fileName.empty() || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    Warn(owner, "File cannot be found!");
    return false;
  }
  const bool written = EncodeTestFile(test.questions, [&file](std::span<const uint8_t> piece) {
    return file.write(reinterpret_cast<const char*>(piece.data()), static_cast<qint64>(piece.size())) ==
           static_cast<qint64>(piece.size());
  });
  if (!written || !file.commit()) {
    file.cancelWriting();
    Warn(owner,
         "The test could not be written completely (the disk may be full or removed). "
         "The file on disk was not changed.");
    return false;
  }
  if (setCaption) setCaption(platform::PathToText(test.fileName));
  test.modified = 0;
  return true;
}

bool SaveAs(TOpenTest& test, QWidget* owner, const SetCaption& setCaption) {
  if (test.questions.IsEmpty()) return false;
  if (test.untitled == 1) test.fileName.clear();
  if (!platform::GetSaveFileName(owner, test.testFileData)) return false;
  test.fileName = test.testFileData.fileName;
  test.untitled = 0;
  return Save(test, owner, setCaption);
}

int Load(TOpenTest& test, QWidget* owner) {
  int result = ReadTestFile(test.fileName, test.questions, owner);
  if (result == 1) {
    test.modified = 0;
    test.untitled = 0;
  }
  return result;
}

}  // namespace core
