#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <string>

#include "platform/picture_cache.h"

namespace {

class PictureCacheTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return folder.filePath(name); }

  // A picture of one colour; each write is stamped a second later than the last, as a file
  // saved again is.
  void Write(const QString& name, QColor colour, int width = 20, int height = 10) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(Path(name), "BMP"));
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    stamp = stamp.addSecs(1);
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
  }

  static QRgb Colour(const platform::TBitmap& bitmap) {
    return bitmap.IsNull() ? 0 : bitmap.Image().pixel(0, 0);
  }

  QTemporaryDir folder;
  platform::TPictureCache cache{1 << 20, 100};
  QDateTime stamp = QDateTime::currentDateTime().addSecs(-100);
};

TEST_F(PictureCacheTest, UnchangedFileIsDecodedOnceAndAChangedOneAgain) {
  Write("cell.bmp", Qt::red);
  EXPECT_EQ(Colour(cache.Load(Path("cell.bmp"))), qRgb(255, 0, 0));
  EXPECT_EQ(Colour(cache.Load(Path("cell.bmp"))), qRgb(255, 0, 0));
  EXPECT_TRUE(cache.Loads(Path("cell.bmp")));
  EXPECT_EQ(cache.Decodes(), 1);

  // Same size, new contents and time.
  Write("cell.bmp", Qt::blue);
  EXPECT_TRUE(cache.Loads(Path("cell.bmp")));
  EXPECT_EQ(Colour(cache.Load(Path("cell.bmp"))), qRgb(0, 0, 255));
  EXPECT_EQ(cache.Decodes(), 2);

  // A new size.
  Write("cell.bmp", Qt::green, 40, 30);
  EXPECT_EQ(cache.Load(Path("cell.bmp")).Width(), 40);
  EXPECT_EQ(cache.Decodes(), 3);

  // Gone: nothing, and no decode; back again: read.
  ASSERT_TRUE(QFile::remove(Path("cell.bmp")));
  EXPECT_TRUE(cache.Load(Path("cell.bmp")).IsNull());
  EXPECT_FALSE(cache.Loads(Path("cell.bmp")));
  EXPECT_EQ(cache.Decodes(), 3);
  Write("cell.bmp", Qt::red);
  EXPECT_EQ(Colour(cache.Load(Path("cell.bmp"))), qRgb(255, 0, 0));
  EXPECT_EQ(cache.Decodes(), 4);
}

TEST_F(PictureCacheTest, FileThatIsNoPictureIsTriedOnce) {
  QFile file(Path("text.bmp"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("BM but not a bitmap");
  file.close();
  EXPECT_TRUE(cache.Load(Path("text.bmp")).IsNull());
  EXPECT_FALSE(cache.Loads(Path("text.bmp")));
  EXPECT_TRUE(cache.Load(Path("text.bmp")).IsNull());
  EXPECT_EQ(cache.Decodes(), 1);
  EXPECT_TRUE(cache.Load("").IsNull());
}

// Test files written elsewhere name pictures in any letter case, beyond ASCII too.
TEST_F(PictureCacheTest, PictureFromAnotherMachineIsFoundInAnyLetterCase) {
  Write("cell.bmp", Qt::red);
  Write("PIC.bmp", Qt::blue);
  Write("pic.bmp", Qt::green);
  Write(QString::fromUtf8("\u00e4rger.bmp"), Qt::yellow);
  Write(QString::fromUtf8("Zelle_\u00e4.bmp"), Qt::cyan);
  const struct {
    const char* name;
    QRgb colour;  // 0: not found
  } lookups[] = {
      {"cell.bmp", qRgb(255, 0, 0)},
      {"CELL.BMP", qRgb(255, 0, 0)},
      {"Cell.Bmp", qRgb(255, 0, 0)},
      {"cell.bm", 0},
      {"cel.bmp", 0},
      {"pic.bmp", qRgb(0, 255, 0)},  // the exact name first
      {"PIC.bmp", qRgb(0, 0, 255)},
      {"Pic.BMP", qRgb(0, 0, 255)},  // of several, the first in sorted order
      {"\xc3\x84rger.bmp", qRgb(255, 255, 0)},
      {"\xc3\xa4RGER.BMP", qRgb(255, 255, 0)},
      {"ZELLE_\xc3\x84.BMP", qRgb(0, 255, 255)},
      {"ZELLE_A.BMP", 0},
  };
  for (const auto& lookup : lookups) {
    const QString name = Path(QString::fromUtf8(lookup.name));
    EXPECT_EQ(Colour(cache.Load(name)), lookup.colour) << lookup.name;
    EXPECT_EQ(cache.Loads(name), lookup.colour != 0) << lookup.name;
  }

  // A picture copied into the folder later is found.
  EXPECT_TRUE(cache.Load(Path("NEW.BMP")).IsNull());
  Write("new.bmp", Qt::red);
  EXPECT_EQ(Colour(cache.Load(Path("NEW.BMP"))), qRgb(255, 0, 0));
}

TEST_F(PictureCacheTest, BoundedByPixelsKeptAndFilesRemembered) {
  const qint64 pictureBytes = 20 * 10 * 4;
  platform::TPictureCache cache(2 * pictureBytes, 3);  // a small one instead of the fixture's
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}) Write(name, Qt::red);

  cache.Load(Path("a.bmp"));
  cache.Load(Path("b.bmp"));
  cache.Load(Path("c.bmp"));  // lets a's pixels go
  EXPECT_EQ(cache.KeptBytes(), 2 * pictureBytes);
  EXPECT_EQ(cache.Decodes(), 3);
  EXPECT_TRUE(cache.Loads(Path("a.bmp")));  // still known: no decode
  EXPECT_EQ(cache.Decodes(), 3);
  EXPECT_FALSE(cache.Load(Path("a.bmp")).IsNull());  // pixels again: decoded
  EXPECT_EQ(cache.Decodes(), 4);
  EXPECT_EQ(cache.KeptBytes(), 2 * pictureBytes);

  cache.Load(Path("d.bmp"));  // a fourth file: the least recent (b) is forgotten
  EXPECT_EQ(cache.Decodes(), 5);
  EXPECT_TRUE(cache.Loads(Path("b.bmp")));
  EXPECT_EQ(cache.Decodes(), 6);

  // Larger than the whole limit: given, not kept.
  Write("big.bmp", Qt::blue, 40, 40);
  EXPECT_EQ(cache.Load(Path("big.bmp")).Width(), 40);
  EXPECT_LE(cache.KeptBytes(), 2 * pictureBytes);
}

TEST(SameButLetterCase, FoldsTheLetterPairsOfWindows1252) {
  EXPECT_TRUE(platform::SameButLetterCase("CELL.BMP", "cell.bmp"));
  EXPECT_TRUE(platform::SameButLetterCase("a-Z_1.bmp", "A-z_1.BMP"));
  EXPECT_FALSE(platform::SameButLetterCase("cell.bmp", "cell.bmpx"));
  EXPECT_TRUE(platform::SameButLetterCase(QString::fromUtf8("\u00c0\u00de\u0160\u0152\u017d\u0178"),
                                          QString::fromUtf8("\u00e0\u00fe\u0161\u0153\u017e\u00ff")));
  EXPECT_FALSE(platform::SameButLetterCase(QString::fromUtf8("\u00d7"), QString::fromUtf8("\u00f7")));
  EXPECT_FALSE(platform::SameButLetterCase("[.bmp", "{.bmp"));
}

}  // namespace
