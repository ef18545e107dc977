// The handle table of windows, the registry of classes and the per-thread queues.
#include <chrono>
#include <strings.h>

#include "platform/handle_table.h"
#include "platform/kernel32/kernel32.h"
#include "platform/user32/user_internal.h"

namespace platform::user32 {
namespace {

// 65535 windows, 14 bits of generation.
using WindowHandles = HandleTable<std::shared_ptr<Window>, 16>;

WindowHandles& Handles() {
  static auto* handles = new WindowHandles();
  return *handles;
}

uintptr_t ValueOf(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }

std::vector<std::shared_ptr<const WindowClass>>& Classes() {
  static auto* classes = new std::vector<std::shared_ptr<const WindowClass>>();
  return *classes;
}

// Ends the queue with its thread: senders waiting on it are released with 0.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (!queue) return;
    UserGuard lock(UserLock());
    queue->alive = false;
    for (auto& work : queue->sent) work->done = true;
    queue->sent.clear();
    queue->wake.notify_all();
  }
};

}  // namespace

RankedMutex& UserLock() {
  static auto* lock = new RankedMutex(LockRank::kUser);
  return *lock;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
  thread_local QueueHolder holder;
  if (!holder.queue) holder.queue = std::make_shared<ThreadQueue>();
  return holder.queue;
}

Window* FindWindowLocked(HWND hwnd) {
  std::shared_ptr<Window>* window = Handles().Find(ValueOf(hwnd));
  return window != nullptr ? window->get() : nullptr;
}

Window* CheckedWindowLocked(HWND hwnd) {
  Window* window = FindWindowLocked(hwnd);
  if (window == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

std::shared_ptr<Window> FindWindowShared(HWND hwnd) {
  std::shared_ptr<Window>* window = Handles().Find(ValueOf(hwnd));
  return window != nullptr ? *window : nullptr;
}

std::vector<std::shared_ptr<Window>> AllWindowsLocked() {
  std::vector<std::shared_ptr<Window>> all;
  Handles().ForEach([&](const std::shared_ptr<Window>& window) { all.push_back(window); });
  return all;
}

HWND AddWindowLocked(std::shared_ptr<Window> window) {
  Window* entered = window.get();
  const uint32_t value = Handles().Insert(std::move(window));
  if (value == 0) return nullptr;
  entered->handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
  return entered->handle;
}

void RemoveWindowLocked(HWND hwnd) { Handles().Remove(ValueOf(hwnd)); }

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
