#pragma once
#include <cstdint>
#include <map>

#include <QString>
#include <QStringList>

#include "platform/bitmap.h"

namespace platform {

// Whether two file names differ at most in the case of letters Windows-1252 has in both cases.
bool SameButLetterCase(const QString& a, const QString& b);

// Decoded pictures, keyed by the file's path, size and modification time: painting a long list
// or printing many pages decodes an unchanged file once, and a file changed on disk is read
// again. Bounded two ways: the decoded pixels kept stay under byteLimit (the least recently
// used are let go first; a picture larger than the whole limit is decoded but not kept), and
// at most entryLimit files are remembered at all, so a test naming thousands of large pictures
// cannot exhaust memory. A file whose pixels were let go is still known to load or not,
// which is all the list's layout asks.
class TPictureCache {
 public:
  TPictureCache(qint64 byteLimit, int entryLimit);

  // The picture in the file, or a null bitmap when no file is found or it does not decode.
  // When no file has the exact name, a file in the same folder whose name differs only in
  // letter case is used (tests written on other machines say "CELL.BMP" for "cell.bmp" and
  // "ZELLE_Ä.BMP" for "Zelle_ä.bmp"); of several, the first in sorted order.
  TBitmap Load(const QString& path);
  // Whether Load would give a picture, without decoding a file already known.
  bool Loads(const QString& path);

  int Decodes() const { return decodes_; }
  qint64 KeptBytes() const { return keptBytes_; }
  void Clear();

 private:
  struct Entry {
    qint64 size = -1;
    qint64 modified = 0;
    bool loads = false;
    QImage image;
    std::uint64_t lastUse = 0;
  };
  struct Listing {
    qint64 modified = 0;
    QStringList names;
  };

  // The entry of the file the name stands for, read (again) when new or changed, and its
  // pixels when asked for; null when there is no such file.
  Entry* Find(const QString& path, QImage* pixels);
  // The file the name stands for, exact or by letter case; empty when there is none.
  QString Resolve(const QString& path);
  void Keep(Entry& entry, QImage image);
  void Trim(const Entry* keep);

  qint64 byteLimit_;
  int entryLimit_;
  std::map<QString, Entry> entries_;
  // Folder listings for the letter-case lookup, read again when the folder changes.
  std::map<QString, Listing> listings_;
  qint64 keptBytes_ = 0;
  std::uint64_t uses_ = 0;
  int decodes_ = 0;
};

// The programs' one cache: 64 MiB of pixels, 4,096 files.
TPictureCache& Pictures();

}  // namespace platform
