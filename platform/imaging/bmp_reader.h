// A bounds-checked little-endian reader over a byte buffer. Every read of a decoder goes through it:
// a read past the end fails and leaves the position unchanged, so nothing indexes the buffer with a
// number taken from the file before it has been checked here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Remaining() const { return size_ - pos_; }

  bool Seek(uint64_t offset) {
    if (offset > size_) return false;
    pos_ = static_cast<size_t>(offset);
    return true;
  }

  bool U8(uint8_t& value) {
    if (Remaining() < 1) return false;
    value = data_[pos_++];
    return true;
  }
  bool U16(uint16_t& value) {
    if (Remaining() < 2) return false;
    value = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return true;
  }
  bool U32(uint32_t& value) {
    if (Remaining() < 4) return false;
    value = static_cast<uint32_t>(data_[pos_]) | static_cast<uint32_t>(data_[pos_ + 1]) << 8 |
            static_cast<uint32_t>(data_[pos_ + 2]) << 16 | static_cast<uint32_t>(data_[pos_ + 3]) << 24;
    pos_ += 4;
    return true;
  }
  bool S32(int32_t& value) {
    uint32_t raw = 0;
    if (!U32(raw)) return false;
    value = static_cast<int32_t>(raw);
    return true;
  }

  // A view of the next `count` bytes, consumed; null when fewer remain.
  const uint8_t* Bytes(uint64_t count) {
    if (count > Remaining()) return nullptr;
    const uint8_t* view = data_ + pos_;
    pos_ += static_cast<size_t>(count);
    return view;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace platform
