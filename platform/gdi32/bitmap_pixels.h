// Inside GDI32 only: the pixel storage of a bitmap.
//
// Pages are captured and thrown away many times a second, always at the same few sizes. Fresh memory
// for each would be mapped and zeroed by the kernel page by page, so the storage of a deleted bitmap
// goes to a small pool and the next bitmap of the same size takes it over. A bitmap that must start
// black but got used storage owes a clear, paid when its pixels are first touched, or never when the
// first thing done to them is to overwrite every one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::gdi {

class PixelStore {
 public:
  PixelStore() = default;
  ~PixelStore();
  PixelStore(const PixelStore&) = delete;
  PixelStore& operator=(const PixelStore&) = delete;

  // Takes storage for n pixels, all black (0); false when there is no memory for them. Storage of
  // the same size from the pool is preferred to fresh memory.
  bool Allocate(size_t n);
  // n pixels, all `value`.
  void assign(size_t n, uint32_t value);

  bool empty() const { return size_ == 0; }
  size_t size() const { return size_; }
  // The pixels, black first if they owe a clear.
  uint32_t* data();
  const uint32_t* data() const;
  const uint32_t* begin() const { return data(); }
  const uint32_t* end() const { return data() + size_; }
  // A copy of the pixels (what a pattern brush keeps).
  operator std::vector<uint32_t>() const { return std::vector<uint32_t>(begin(), end()); }

  // The caller is about to write every pixel before anything reads one: an owed clear is dropped.
  uint32_t* Overwrite();

 private:
  void PayClear() const;
  void Release();

  uint32_t* bits_ = nullptr;
  size_t size_ = 0;
  mutable bool owesClear_ = false;
};

}  // namespace platform::gdi
