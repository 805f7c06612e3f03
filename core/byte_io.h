#pragma once
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace core {

// Little-endian packed fields, as the stored files have them.
class ByteWriter {
 public:
  void Int32(int32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
  }
  void Byte(uint8_t value) { bytes_.push_back(value); }
  // A text field of size bytes: the text up to its first NUL (at most size - 1), then zeros.
  void Field(const char* text, int size) {
    std::size_t length = strnlen(text, static_cast<std::size_t>(size - 1));
    bytes_.insert(bytes_.end(), text, text + length);
    bytes_.insert(bytes_.end(), static_cast<std::size_t>(size) - length, 0);
  }
  void Reserve(std::size_t size) { bytes_.reserve(size); }
  // Room for count bytes at the end, to be filled through the pointer.
  uint8_t* Grow(std::size_t count) {
    bytes_.resize(bytes_.size() + count);
    return bytes_.data() + bytes_.size() - count;
  }
  std::vector<uint8_t> Take() { return std::move(bytes_); }
  std::span<const uint8_t> View() const { return bytes_; }
  std::size_t Size() const { return bytes_.size(); }
  void Clear() { bytes_.clear(); }  // keeps the capacity for the next piece

 private:
  std::vector<uint8_t> bytes_;
};

// Reads fields and refuses to go past the end: every read says whether it fitted.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  std::size_t Left() const { return bytes_.size() - position_; }
  bool Int32(int32_t& value) {
    if (Left() < 4) return false;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(bytes_[position_ + i]) << (8 * i);
    value = static_cast<int32_t>(v);
    position_ += 4;
    return true;
  }
  bool Byte(uint8_t& value) {
    if (Left() < 1) return false;
    value = bytes_[position_++];
    return true;
  }
  // A text field of size bytes into field (size bytes too): up to the first NUL, at most
  // size - 1 characters; the field always ends in a terminator.
  bool Field(char* field, int size) {
    if (Left() < static_cast<std::size_t>(size)) return false;
    const char* start = reinterpret_cast<const char*>(bytes_.data() + position_);
    std::size_t length = strnlen(start, static_cast<std::size_t>(size - 1));
    std::memset(field, 0, static_cast<std::size_t>(size));
    std::memcpy(field, start, length);
    position_ += static_cast<std::size_t>(size);
    return true;
  }
  const uint8_t* Here() const { return bytes_.data() + position_; }
  void Skip(std::size_t count) { position_ += count; }

 private:
  std::span<const uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace core
