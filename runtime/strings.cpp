// The tracked string store.
#include "runtime/strings.h"

#include <cstdio>

StringRegistry stringRegistry;

namespace {

// Length field before the text, zero byte after it.
constexpr SIZE_T kLengthBytes = 4;
constexpr SIZE_T kOverheadBytes = kLengthBytes + 1;

// "未知の文字列が解放されようとしました。" and CR LF, in code page 932.
constexpr char kUnknownReleaseMessage[] =
    "\x96\xa2\x92\x6d\x82\xcc\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x89\xf0\x95\xfa\x82\xb3\x82\xea\x82\xe6"
    "\x82\xa4\x82\xc6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\r\n";

// The exit code of a process that cannot go on: the one the C runtime's abort gives.
constexpr UINT kFatalExitCode = 3;

// The runtime has no way to report an allocation it could not make, and no caller could go on
// without the memory: say so and end the process rather than write through a null block.
[[noreturn]] void FailAllocation(const char* what, long long bytes) {
  std::fprintf(stderr, "runtime: cannot allocate %s of %lld bytes (error %lu); ending the program\n", what,
               bytes, static_cast<unsigned long>(GetLastError()));
  std::fflush(stderr);
  ExitProcess(kFatalExitCode);
}

// A null string operand stands for the empty string, so no operation reads through it.
const char* TextOf(TrackedString s) { return s ? s : ""; }

}  // namespace

int32_t StrInit() {
  InitializeCriticalSection(&stringRegistry.lock);
  stringRegistry.heap = GetProcessHeap();
  stringRegistry.items = static_cast<TrackedString*>(HeapAlloc(stringRegistry.heap, 0, 1));
  if (!stringRegistry.items) FailAllocation("the string registry", 1);
  stringRegistry.count = 0;
  return 1;
}

int32_t StrLength(TrackedString s) {
  if (!s) return 0;
  int32_t length;
  RtlMoveMemory(&length, s - kLengthBytes, sizeof length);
  return length;
}

TrackedString StrNew(int32_t n) {
  // A negative length would make a block too small for its own length field.
  if (n < 0) FailAllocation("a string", n);
  SIZE_T blockBytes = static_cast<SIZE_T>(n) + kOverheadBytes;
  auto* block = static_cast<char*>(HeapAlloc(stringRegistry.heap, HEAP_ZERO_MEMORY, blockBytes));
  if (!block) FailAllocation("a string", static_cast<long long>(blockBytes));
  RtlMoveMemory(block, &n, sizeof n);
  TrackedString result = block + kLengthBytes;

  EnterCriticalSection(&stringRegistry.lock);
  SIZE_T itemsBytes = (static_cast<SIZE_T>(stringRegistry.count) + 1) * sizeof(TrackedString);
  auto* items = static_cast<TrackedString*>(HeapReAlloc(stringRegistry.heap, 0, stringRegistry.items, itemsBytes));
  if (!items) FailAllocation("the string registry", static_cast<long long>(itemsBytes));
  stringRegistry.items = items;
  stringRegistry.items[stringRegistry.count] = result;
  stringRegistry.count++;
  LeaveCriticalSection(&stringRegistry.lock);
  return result;
}

namespace {

// Where s stands in the registry, or -1. The search runs from both ends at once: a string is most
// often released either soon after it was made (a temporary, a value just replaced: near the end) or
// after living longest (near the start), so either way it is found in a few steps. An address is in
// the registry at most once, so the order of the search changes only how long it takes.
int32_t FindRegistered(TrackedString s) {
  int32_t low = 0, high = stringRegistry.count - 1;
  while (low <= high) {
    if (stringRegistry.items[high] == s) return high;
    if (stringRegistry.items[low] == s) return low;
    --high;
    ++low;
  }
  return -1;
}

}  // namespace

void StrRelease(TrackedString s) {
  EnterCriticalSection(&stringRegistry.lock);
  const int32_t i = s ? FindRegistered(s) : -1;
  if (i >= 0) {
    HeapFree(stringRegistry.heap, 0, s - kLengthBytes);
    stringRegistry.count--;
    for (int32_t j = i; j < stringRegistry.count; j++) stringRegistry.items[j] = stringRegistry.items[j + 1];
    LeaveCriticalSection(&stringRegistry.lock);
    return;
  }
  LeaveCriticalSection(&stringRegistry.lock);
  // Not ours (a double release or a foreign pointer): nothing is freed, but a debugger hears of it.
  if (s) OutputDebugStringA(kUnknownReleaseMessage);
}

TrackedString StrConcat(TrackedString left, TrackedString right) {
  int32_t leftLength = StrLength(left);
  int32_t rightLength = StrLength(right);
  long long total = static_cast<long long>(leftLength) + rightLength;
  // A sum past the 32-bit length field cannot be stored.
  if (total > INT32_MAX) FailAllocation("a string", total + static_cast<long long>(kOverheadBytes));
  TrackedString result = StrNew(static_cast<int32_t>(total));
  RtlMoveMemory(result, TextOf(left), static_cast<SIZE_T>(leftLength));
  RtlMoveMemory(result + leftLength, TextOf(right), static_cast<SIZE_T>(rightLength));
  StrRelease(left);
  StrRelease(right);
  return result;
}

uint32_t StrFirstByte(TrackedString s) {
  uint32_t first = static_cast<unsigned char>(TextOf(s)[0]);
  StrRelease(s);
  return first;
}

TrackedString StrFresh(int32_t n) {
  StrRelease(StrNew(0));
  return StrNew(n);
}

void* MemAlloc(SIZE_T bytes) {
  void* block = HeapAlloc(stringRegistry.heap, HEAP_ZERO_MEMORY, bytes);
  if (!block) FailAllocation("a block", static_cast<long long>(bytes));
  return block;
}

void MemFree(void* block) { HeapFree(stringRegistry.heap, 0, block); }
