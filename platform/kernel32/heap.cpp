// Heaps: the process heap and private heaps. A heap knows every block it handed out, so a pointer
// that is not its own is refused instead of corrupting memory, and HeapDestroy frees whatever is
// still allocated in it.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/kernel32/allocation_faults.h"
#include "platform/kernel32/handle_table.h"

namespace platform::kernel {
namespace {

// No block can be larger than a 32-bit process could ever hold; sizes beyond it come from
// arithmetic that overflowed, and refusing them keeps a runaway size from reaching the allocator.
constexpr SIZE_T kMaxBlockBytes = 0x7FFFFFFF;
constexpr DWORD kKnownFlags = HEAP_NO_SERIALIZE | HEAP_GENERATE_EXCEPTIONS | HEAP_ZERO_MEMORY |
                              HEAP_REALLOC_IN_PLACE_ONLY;

struct HeapObject : KernelObject {
  static constexpr ObjectKind kKind = ObjectKind::Heap;
  HeapObject(SIZE_T max, bool process) : KernelObject(kKind), maximumBytes(max), isProcessHeap(process) {}
  ~HeapObject() override { ReleaseAll(); }

  void ReleaseAll() {
    for (auto& [block, size] : blocks) std::free(block);
    blocks.clear();
    usedBytes = 0;
  }

  // Whether `bytes` more fit under the maximum of a fixed-size heap.
  bool Fits(SIZE_T bytes) const { return maximumBytes == 0 || bytes <= maximumBytes - usedBytes; }

  std::mutex mutex;
  std::unordered_map<void*, SIZE_T> blocks;
  SIZE_T usedBytes = 0;
  const SIZE_T maximumBytes;  // 0: growable
  const bool isProcessHeap;
  bool destroyed = false;
};

LPVOID Allocate(HeapObject& heap, DWORD flags, SIZE_T bytes) {
  if (bytes > kMaxBlockBytes || !heap.Fits(bytes)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  size_t real = bytes ? bytes : 1;
  void* block = nullptr;
  if (!AllocationFails(AllocationKind::kHeap, "HeapAlloc"))
    block = (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, real) : std::malloc(real);
  if (!block) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  heap.blocks.emplace(block, bytes);
  heap.usedBytes += bytes;
  return block;
}

LPVOID Reallocate(HeapObject& heap, DWORD flags, void* block, SIZE_T bytes) {
  auto it = heap.blocks.find(block);
  if (it == heap.blocks.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  SIZE_T old = it->second;
  if (bytes > kMaxBlockBytes || (bytes > old && !heap.Fits(bytes - old))) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* moved = block;
  if (flags & HEAP_REALLOC_IN_PLACE_ONLY) {
    // A block never grows in place here; it may shrink, keeping its storage.
    if (bytes > old) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
  } else {
    moved = nullptr;
    if (!AllocationFails(AllocationKind::kHeap, "HeapReAlloc")) moved = std::realloc(block, bytes ? bytes : 1);
    if (!moved) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if (moved != block) {
      heap.blocks.erase(it);
      it = heap.blocks.emplace(moved, old).first;
    }
  }
  if ((flags & HEAP_ZERO_MEMORY) && bytes > old) std::memset(static_cast<char*>(moved) + old, 0, bytes - old);
  heap.usedBytes = heap.usedBytes - old + bytes;
  it->second = bytes;
  return moved;
}

}  // namespace
}  // namespace platform::kernel

using namespace platform::kernel;

HANDLE GetProcessHeap(void) {
  static HANDLE processHeap = HandleInsert(std::make_shared<HeapObject>(0, true));
  return processHeap;
}

HANDLE HeapCreate(DWORD flOptions, SIZE_T dwInitialSize, SIZE_T dwMaximumSize) {
  if (flOptions & ~(HEAP_NO_SERIALIZE | HEAP_GENERATE_EXCEPTIONS | 0x00040000u /* HEAP_CREATE_ENABLE_EXECUTE */)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (dwMaximumSize != 0 && dwInitialSize > dwMaximumSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return HandleInsert(std::make_shared<HeapObject>(dwMaximumSize, false));
}

BOOL HeapDestroy(HANDLE hHeap) {
  std::shared_ptr<HeapObject> heap = HandleGet<HeapObject>(hHeap);
  if (!heap) return FALSE;
  if (heap->isProcessHeap) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!HandleRemove(hHeap, KindBit(ObjectKind::Heap))) return FALSE;
  std::lock_guard<std::mutex> lock(heap->mutex);
  heap->destroyed = true;
  heap->ReleaseAll();
  return TRUE;
}

namespace {

// Runs `work` on the live heap behind `hHeap` under its lock, when the call's other arguments are
// `valid`; null with the error code otherwise (a destroyed heap counts as a bad handle).
template <typename Work>
LPVOID WithLiveHeap(HANDLE hHeap, bool valid, Work work) {
  std::shared_ptr<HeapObject> heap = HandleGet<HeapObject>(hHeap);
  if (!heap) return nullptr;
  if (!valid) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(heap->mutex);
  if (heap->destroyed) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return work(*heap);
}

}  // namespace

LPVOID HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes) {
  return WithLiveHeap(hHeap, !(dwFlags & ~kKnownFlags),
                      [&](HeapObject& heap) { return Allocate(heap, dwFlags, dwBytes); });
}

LPVOID HeapReAlloc(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes) {
  return WithLiveHeap(hHeap, lpMem != nullptr && !(dwFlags & ~kKnownFlags),
                      [&](HeapObject& heap) { return Reallocate(heap, dwFlags, lpMem, dwBytes); });
}

BOOL HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem) {
  (void)dwFlags;
  std::shared_ptr<HeapObject> heap = HandleGet<HeapObject>(hHeap);
  if (!heap) return FALSE;
  if (!lpMem) return TRUE;
  std::lock_guard<std::mutex> lock(heap->mutex);
  auto it = heap->blocks.find(lpMem);
  if (heap->destroyed || it == heap->blocks.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  heap->usedBytes -= it->second;
  heap->blocks.erase(it);
  std::free(lpMem);
  return TRUE;
}

SIZE_T HeapSize(HANDLE hHeap, DWORD dwFlags, LPCVOID lpMem) {
  (void)dwFlags;
  std::shared_ptr<HeapObject> heap = HandleGet<HeapObject>(hHeap);
  if (!heap) return static_cast<SIZE_T>(-1);
  std::lock_guard<std::mutex> lock(heap->mutex);
  auto it = heap->blocks.find(const_cast<LPVOID>(lpMem));
  if (heap->destroyed || it == heap->blocks.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return static_cast<SIZE_T>(-1);
  }
  return it->second;
}
