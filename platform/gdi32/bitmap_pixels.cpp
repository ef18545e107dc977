// Bitmap pixel storage and the pool of storage that deleted bitmaps leave behind.
#include "platform/gdi32/bitmap_pixels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/display/lock_order.h"

namespace platform::gdi {
namespace {

// The program keeps a handful of page-sized bitmaps in turn (a 640 x 400 page is 1 MB): eight
// buffers cover every size it cycles through. The byte bound keeps a window-sized back buffer that was
// replaced once from being held for the rest of the run; such storage goes back to the system.
constexpr size_t kPoolBuffers = 8;
constexpr size_t kPoolBytes = size_t{32} << 20;

struct Pooled {
  uint32_t* bits;
  size_t n;
};

// Oldest first. Never destroyed, so bitmaps destroyed at exit can still hand their storage over.
struct Pool {
  RankedMutex lock{LockRank::kBitmapPool};  // the innermost lock: nothing is taken under it
  std::vector<Pooled> buffers;
  size_t bytes = 0;
};

Pool& ThePool() {
  static Pool* pool = new Pool;
  return *pool;
}

uint32_t* PoolTake(size_t n) {
  Pool& pool = ThePool();
  std::lock_guard<RankedMutex> guard(pool.lock);
  // The newest first: its memory is the most likely to be in the cache.
  for (auto it = pool.buffers.rbegin(); it != pool.buffers.rend(); ++it) {
    if (it->n != n) continue;
    uint32_t* bits = it->bits;
    pool.bytes -= n * sizeof(uint32_t);
    pool.buffers.erase(std::next(it).base());
    return bits;
  }
  return nullptr;
}

void PoolGive(uint32_t* bits, size_t n) {
  const size_t bytes = n * sizeof(uint32_t);
  if (bytes > kPoolBytes) {
    std::free(bits);
    return;
  }
  Pool& pool = ThePool();
  std::lock_guard<RankedMutex> guard(pool.lock);
  pool.buffers.push_back({bits, n});
  pool.bytes += bytes;
  while (pool.buffers.size() > kPoolBuffers || pool.bytes > kPoolBytes) {
    std::free(pool.buffers.front().bits);
    pool.bytes -= pool.buffers.front().n * sizeof(uint32_t);
    pool.buffers.erase(pool.buffers.begin());
  }
}

}  // namespace

PixelStore::~PixelStore() { Release(); }

void PixelStore::Release() {
  if (bits_ != nullptr) PoolGive(bits_, size_);
  bits_ = nullptr;
  size_ = 0;
  owesClear_ = false;
}

bool PixelStore::Allocate(size_t n) {
  Release();
  if (n == 0) return true;
  if (uint32_t* reused = PoolTake(n)) {
    bits_ = reused;
    owesClear_ = true;
  } else {
    // Fresh pages come zeroed from the system: calloc does not clear them a second time.
    bits_ = static_cast<uint32_t*>(std::calloc(n, sizeof(uint32_t)));
    if (bits_ == nullptr) return false;
  }
  size_ = n;
  return true;
}

void PixelStore::assign(size_t n, uint32_t value) {
  if (!Allocate(n)) return;
  std::fill(Overwrite(), bits_ + size_, value);
}

void PixelStore::PayClear() const {
  if (!owesClear_) return;
  std::memset(bits_, 0, size_ * sizeof(uint32_t));
  owesClear_ = false;
}

uint32_t* PixelStore::data() {
  PayClear();
  return bits_;
}

const uint32_t* PixelStore::data() const {
  PayClear();
  return bits_;
}

uint32_t* PixelStore::Overwrite() {
  owesClear_ = false;
  return bits_;
}

}  // namespace platform::gdi
