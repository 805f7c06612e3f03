#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace core {

// Where a decoder gets its bytes: fills at most size bytes at destination and says how many
// it gave; 0 means the end (or a read error, which the source itself remembers).
using ByteSource = std::function<std::size_t(uint8_t* destination, std::size_t size)>;

// Reads little-endian fields from a source through a small window, so a file is decoded
// without ever being held whole. total is what the source can give at most (a file's size):
// counts are checked against what is left of it before anything is allocated for them.
class SourceReader {
 public:
  static constexpr std::size_t kWindow = 64 * 1024;
  static constexpr std::size_t kSmallestWindow = 128;  // the largest count Need is asked for

  // A small file gets a window of its own size (but room for any one field).
  SourceReader(const ByteSource& source, uint64_t total) : source_(source), unread_(total) {
    window_.resize(static_cast<std::size_t>(std::clamp<uint64_t>(total, kSmallestWindow, kWindow)));
  }

  // Bytes still to come: in the window and in the source.
  uint64_t Left() const { return (end_ - position_) + unread_; }

  // Whether count bytes (at most kSmallestWindow) are in the window, pulling more when needed.
  bool Need(std::size_t count) {
    if (end_ - position_ >= count) return true;
    std::copy(window_.begin() + static_cast<std::ptrdiff_t>(position_),
              window_.begin() + static_cast<std::ptrdiff_t>(end_), window_.begin());
    end_ -= position_;
    position_ = 0;
    while (end_ < count && unread_ > 0) {
      const std::size_t room = static_cast<std::size_t>(std::min<uint64_t>(window_.size() - end_, unread_));
      const std::size_t got = std::min(source_(window_.data() + end_, room), room);
      if (got == 0) {
        unread_ = 0;  // the source ended before its size said: nothing more will come
        break;
      }
      end_ += got;
      unread_ -= got;
    }
    return end_ - position_ >= count;
  }

  // The bytes in the window from the read position on.
  const uint8_t* Here() const { return window_.data() + position_; }
  std::size_t Buffered() const { return end_ - position_; }
  void Skip(std::size_t count) { position_ += count; }  // count at most Buffered()

  bool Int32(int32_t& value) {
    if (!Need(4)) return false;
    const uint8_t* p = Here();
    value = static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                 uint32_t{p[3]} << 24);
    position_ += 4;
    return true;
  }

 private:
  const ByteSource& source_;
  uint64_t unread_;
  std::vector<uint8_t> window_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
};

}  // namespace core
