// The handle table of windows, the registry of classes and the per-thread queues.
#include <chrono>
#include <strings.h>

#include "platform/user32/user_internal.h"

namespace platform::user32 {
namespace {

// A window handle packs a slot index (low 16 bits, from 1) and the slot's generation (next 14 bits),
// so it fits in 30 bits and a handle of a destroyed window never matches the slot's next tenant.
constexpr uint32_t kMaxWindows = 0xFFFF;

struct Slot {
  std::shared_ptr<Window> window;
  uint32_t generation = 1;
};

std::vector<Slot>& Slots() {
  static std::vector<Slot>* slots = new std::vector<Slot>();
  return *slots;
}

uint32_t SlotOf(HWND hwnd) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd) & 0xFFFF); }
uint32_t GenerationOf(HWND hwnd) {
  return static_cast<uint32_t>((reinterpret_cast<uintptr_t>(hwnd) >> 16) & 0x3FFF);
}

std::vector<std::shared_ptr<const WindowClass>>& Classes() {
  static auto* classes = new std::vector<std::shared_ptr<const WindowClass>>();
  return *classes;
}

// Ends the queue with its thread: senders waiting on it are released with 0.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (!queue) return;
    std::lock_guard<std::mutex> lock(UserLock());
    queue->alive = false;
    for (auto& work : queue->sent) work->done = true;
    queue->sent.clear();
    queue->wake.notify_all();
  }
};

}  // namespace

std::mutex& UserLock() {
  static std::mutex* lock = new std::mutex();
  return *lock;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
  thread_local QueueHolder holder;
  if (!holder.queue) holder.queue = std::make_shared<ThreadQueue>();
  return holder.queue;
}

Window* FindWindowLocked(HWND hwnd) {
  uint32_t slot = SlotOf(hwnd);
  auto& slots = Slots();
  if (slot == 0 || slot > slots.size()) return nullptr;
  if ((reinterpret_cast<uintptr_t>(hwnd) >> 30) != 0) return nullptr;
  Slot& s = slots[slot - 1];
  if (!s.window || s.generation != GenerationOf(hwnd)) return nullptr;
  return s.window.get();
}

std::shared_ptr<Window> FindWindowShared(HWND hwnd) {
  if (!FindWindowLocked(hwnd)) return nullptr;
  return Slots()[SlotOf(hwnd) - 1].window;
}

std::vector<std::shared_ptr<Window>> AllWindowsLocked() {
  std::vector<std::shared_ptr<Window>> all;
  for (auto& s : Slots())
    if (s.window) all.push_back(s.window);
  return all;
}

HWND AddWindowLocked(std::shared_ptr<Window> window) {
  auto& slots = Slots();
  size_t index = 0;
  while (index < slots.size() && slots[index].window) ++index;
  if (index == slots.size()) {
    if (slots.size() >= kMaxWindows) return nullptr;
    slots.emplace_back();
  }
  Slot& s = slots[index];
  HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>((s.generation << 16) | (index + 1)));
  window->handle = hwnd;
  s.window = std::move(window);
  return hwnd;
}

void RemoveWindowLocked(HWND hwnd) {
  if (!FindWindowLocked(hwnd)) return;
  Slot& s = Slots()[SlotOf(hwnd) - 1];
  s.window.reset();
  s.generation = s.generation % 0x3FFF + 1;
}

std::shared_ptr<const WindowClass> FindClassLocked(LPCSTR nameOrAtom) {
  uintptr_t value = reinterpret_cast<uintptr_t>(nameOrAtom);
  for (auto& c : Classes()) {
    if (value < 0x10000) {
      if (c->atom == value) return c;
    } else if (strcasecmp(c->name.c_str(), nameOrAtom) == 0) {
      return c;
    }
  }
  return nullptr;
}

DWORD MessageTime() {
  static const auto start = std::chrono::steady_clock::now();
  return static_cast<DWORD>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

// Registering lives here with the registry it fills.
ATOM RegisterClassLocked(const WNDCLASSEXA& wc, DWORD* error) {
  if (FindClassLocked(wc.lpszClassName)) {
    *error = 1410;  // ERROR_CLASS_ALREADY_EXISTS
    return 0;
  }
  auto c = std::make_shared<WindowClass>();
  c->name = wc.lpszClassName;
  c->atom = static_cast<ATOM>(0xC000 + Classes().size());
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->instance = wc.hInstance;
  c->background = wc.hbrBackground;
  Classes().push_back(c);
  return c->atom;
}

}  // namespace platform::user32
