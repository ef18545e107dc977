// The keyboard focus: one window of the process receives key presses and text.
#include "platform/kernel32/kernel32.h"
#include "platform/user32/user_internal.h"

namespace platform::user32 {
namespace {
HWND focusWindow = nullptr;  // guarded by UserLock
}

HWND FocusWindowLocked() { return FindWindowLocked(focusWindow) ? focusWindow : nullptr; }

void ForgetWindowFocus(HWND hwnd) {
  UserGuard lock(UserLock());
  if (focusWindow == hwnd) focusWindow = nullptr;
}

void SetFocusOnOwner(HWND hwnd) {
  HWND old;
  {
    UserGuard lock(UserLock());
    old = FocusWindowLocked();
    if (old == hwnd) return;
    if (hwnd && !FindWindowLocked(hwnd)) return;
    focusWindow = hwnd;
  }
  if (old) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd) SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

}  // namespace platform::user32

using namespace platform::user32;

HWND SetFocus(HWND hWnd) {
  std::shared_ptr<ThreadQueue> owner;
  HWND previous;
  {
    UserGuard lock(UserLock());
    previous = FocusWindowLocked();
    if (hWnd) {
      Window* w = CheckedWindowLocked(hWnd);
      if (!w) return nullptr;
      owner = w->queue;
    }
  }
  if (owner && owner != CurrentQueue())
    RunOnOwner(owner, [=] { SetFocusOnOwner(hWnd); return LRESULT{0}; }, true);
  else
    SetFocusOnOwner(hWnd);
  return previous;
}

HWND GetFocus(void) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  UserGuard lock(UserLock());
  HWND focus = FocusWindowLocked();
  if (!focus || FindWindowLocked(focus)->queue != self) return nullptr;
  return focus;
}
