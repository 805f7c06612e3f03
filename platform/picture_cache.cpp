#include "platform/picture_cache.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include <QDir>
#include <QFileInfo>

#include "platform/code_page.h"

namespace platform {

namespace {

// Folder listings kept for the letter-case lookup; pictures come from a folder or two.
constexpr std::size_t kListingLimit = 16;

std::filesystem::path FileSystemPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

struct Stamp {
  qint64 size = 0;
  qint64 modified = 0;
};

// Size and modification time of a regular file, to the resolution the system keeps.
std::optional<Stamp> StampOf(const QString& path) {
  std::error_code error;
  const std::filesystem::path file = FileSystemPath(path);
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  const auto size = std::filesystem::file_size(file, error);
  if (error) return std::nullopt;
  const auto modified = std::filesystem::last_write_time(file, error);
  if (error) return std::nullopt;
  return Stamp{static_cast<qint64>(size), static_cast<qint64>(modified.time_since_epoch().count())};
}

}  // namespace

bool SameButLetterCase(const QString& a, const QString& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (LetterLower(a[i].unicode()) != LetterLower(b[i].unicode())) return false;
  return true;
}

TPictureCache::TPictureCache(qint64 byteLimit, int entryLimit)
    : byteLimit_(byteLimit), entryLimit_(std::max(entryLimit, 1)) {}

void TPictureCache::Clear() {
  entries_.clear();
  listings_.clear();
  keptBytes_ = 0;
}

TBitmap TPictureCache::Load(const QString& path) {
  QImage pixels;
  return Find(path, &pixels) ? TBitmap(pixels) : TBitmap();
}

bool TPictureCache::Loads(const QString& path) {
  const Entry* entry = Find(path, nullptr);
  return entry && entry->loads;
}

QString TPictureCache::Resolve(const QString& path) {
  const QFileInfo info(path);
  const QString folder = info.absolutePath();
  const QString name = info.fileName();
  std::error_code error;
  const auto folderTime = std::filesystem::last_write_time(FileSystemPath(folder), error);
  if (name.isEmpty() || error) return {};
  const qint64 folderModified = folderTime.time_since_epoch().count();

  auto listing = listings_.find(folder);
  if (listing == listings_.end() || listing->second.modified != folderModified) {
    if (listing == listings_.end() && listings_.size() >= kListingLimit) listings_.clear();
    Listing& read = listings_[folder];
    read.modified = folderModified;
    read.names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    std::sort(read.names.begin(), read.names.end());
    listing = listings_.find(folder);
  }
  for (const QString& candidate : listing->second.names)
    if (SameButLetterCase(candidate, name)) return QDir(folder).filePath(candidate);
  return {};
}

TPictureCache::Entry* TPictureCache::Find(const QString& path, QImage* pixels) {
  if (path.isEmpty()) return nullptr;
  QString file = path;
  std::optional<Stamp> stamp = StampOf(file);
  if (!stamp) {
    file = Resolve(path);
    if (file.isEmpty()) return nullptr;
    stamp = StampOf(file);
    if (!stamp) return nullptr;
  }

  auto [place, added] = entries_.try_emplace(QFileInfo(file).absoluteFilePath());
  Entry& entry = place->second;
  entry.lastUse = ++uses_;
  const bool unchanged = !added && entry.size == stamp->size && entry.modified == stamp->modified;
  if (unchanged && (!pixels || !entry.loads || !entry.image.isNull())) {
    if (pixels) *pixels = entry.image;
    return &entry;
  }

  keptBytes_ -= entry.image.sizeInBytes();
  entry.image = QImage();
  entry.size = stamp->size;
  entry.modified = stamp->modified;
  QImage image(file, "BMP");
  ++decodes_;
  entry.loads = !image.isNull();
  if (pixels) *pixels = image;
  Keep(entry, std::move(image));
  return &entry;
}

void TPictureCache::Keep(Entry& entry, QImage image) {
  if (!image.isNull() && image.sizeInBytes() <= byteLimit_) {
    keptBytes_ += image.sizeInBytes();
    entry.image = std::move(image);
  }
  Trim(&entry);
}

void TPictureCache::Trim(const Entry* keep) {
  auto leastRecent = [&](bool withPixels) {
    auto oldest = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (&it->second == keep || (withPixels && it->second.image.isNull())) continue;
      if (oldest == entries_.end() || it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    return oldest;
  };
  while (keptBytes_ > byteLimit_) {
    auto oldest = leastRecent(true);
    if (oldest == entries_.end()) break;
    keptBytes_ -= oldest->second.image.sizeInBytes();
    oldest->second.image = QImage();
  }
  while (entries_.size() > static_cast<std::size_t>(entryLimit_)) {
    auto oldest = leastRecent(false);
    if (oldest == entries_.end()) break;
    keptBytes_ -= oldest->second.image.sizeInBytes();
    entries_.erase(oldest);
  }
}

TPictureCache& Pictures() {
  static TPictureCache cache(64 << 20, 4096);
  return cache;
}

}  // namespace platform
