// Global memory. Every global block has a handle from the kernel table (a fixed block too, since a
// pointer does not fit in 32 bits here); GlobalLock gives the address. A moveable block counts its
// locks, and only an unlocked one may move when it is resized.
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/kernel32/allocation_faults.h"
#include "platform/kernel32/handle_table.h"

namespace platform::kernel {
namespace {

// As for heap blocks: nothing larger than a 32-bit process could hold.
constexpr SIZE_T kMaxGlobalBytes = 0x7FFFFFFF;
constexpr unsigned kMaxLockCount = 255;  // the lock count of a global block is one byte

struct GlobalObject : KernelObject {
  static constexpr ObjectKind kKind = ObjectKind::Global;
  GlobalObject(void* data, SIZE_T size, bool moveable) : KernelObject(kKind), data(data), size(size), moveable(moveable) {}
  ~GlobalObject() override { std::free(data); }
  std::mutex mutex;
  void* data;
  SIZE_T size;
  const bool moveable;
  unsigned lockCount = 0;
};

}  // namespace
}  // namespace platform::kernel

using namespace platform::kernel;

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  if (dwBytes > kMaxGlobalBytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  size_t real = dwBytes ? dwBytes : 1;
  void* data = nullptr;
  if (!platform::AllocationFails(platform::AllocationKind::kHeap, "GlobalAlloc"))
    data = (uFlags & GMEM_ZEROINIT) ? std::calloc(1, real) : std::malloc(real);
  if (!data) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return HandleInsert(std::make_shared<GlobalObject>(data, dwBytes, (uFlags & GMEM_MOVEABLE) != 0));
}

LPVOID GlobalLock(HGLOBAL hMem) {
  std::shared_ptr<GlobalObject> global = HandleGet<GlobalObject>(hMem);
  if (!global) return nullptr;
  std::lock_guard<std::mutex> lock(global->mutex);
  if (global->moveable) {
    // A moveable block of size 0 has no memory to give.
    if (global->size == 0) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if (global->lockCount < kMaxLockCount) global->lockCount++;
  }
  return global->data;
}

BOOL GlobalUnlock(HGLOBAL hMem) {
  std::shared_ptr<GlobalObject> global = HandleGet<GlobalObject>(hMem);
  if (!global) return FALSE;
  std::lock_guard<std::mutex> lock(global->mutex);
  if (!global->moveable) return TRUE;  // a fixed block is never locked
  if (global->lockCount == 0) {
    SetLastError(ERROR_NOT_LOCKED);
    return FALSE;
  }
  if (--global->lockCount > 0) return TRUE;
  SetLastError(NO_ERROR);
  return FALSE;
}

HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
  std::shared_ptr<GlobalObject> global = HandleGet<GlobalObject>(hMem);
  if (!global) return nullptr;
  if (dwBytes > kMaxGlobalBytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(global->mutex);
  SIZE_T old = global->size;
  bool mayMove = (global->moveable && global->lockCount == 0) || (uFlags & GMEM_MOVEABLE);
  if (dwBytes > old && !mayMove) {
    // A locked block, or a fixed one without leave to move, cannot grow in place here.
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (dwBytes > old) {
    void* moved = nullptr;
    if (!platform::AllocationFails(platform::AllocationKind::kHeap, "GlobalReAlloc"))
      moved = std::realloc(global->data, dwBytes);
    if (!moved) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    global->data = moved;
    if (uFlags & GMEM_ZEROINIT) std::memset(static_cast<char*>(moved) + old, 0, dwBytes - old);
  }
  global->size = dwBytes;  // shrinking keeps the storage, so the address stays
  return hMem;
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
  if (!hMem) return nullptr;
  if (!HandleRemove(hMem, KindBit(ObjectKind::Global))) return hMem;
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL hMem) {
  std::shared_ptr<GlobalObject> global = HandleGet<GlobalObject>(hMem);
  if (!global) return 0;
  std::lock_guard<std::mutex> lock(global->mutex);
  return global->size;
}
