#include "platform/user32/display_input.h"

#include "platform/kernel32/cp932.h"
#include "platform/user32/user_internal.h"

namespace platform::user32 {
namespace {

// Keyboard input goes to the window with the focus when there is one.
Window* InputTargetLocked(HWND hwnd) {
  if (HWND focus = FocusWindowLocked()) return FindWindowLocked(focus);
  return FindWindowLocked(hwnd);
}

// The lParam of a key message: repeat count 1, and for a release the previous-state and
// transition bits.
LPARAM KeyLParam(bool down) { return down ? 1 : static_cast<LPARAM>(0xC0000001u); }

}  // namespace

void DisplayKey(HWND hwnd, int virtualKey, bool down) {
  std::lock_guard<std::mutex> lock(UserLock());
  if (Window* w = InputTargetLocked(hwnd))
    PostLocked(*w, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey & 0xFF), KeyLParam(down));
}

void DisplayText(HWND hwnd, const std::string& utf8) {
  std::string bytes = platform::Utf8ToCp932(utf8);
  std::lock_guard<std::mutex> lock(UserLock());
  Window* w = InputTargetLocked(hwnd);
  if (!w) return;
  for (char c : bytes) PostLocked(*w, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
}

void DisplayFocus(HWND hwnd, bool gained) {
  std::shared_ptr<ThreadQueue> owner;
  {
    std::lock_guard<std::mutex> lock(UserLock());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return;
    owner = w->queue;
  }
  RunOnOwner(
      owner,
      [=] {
        if (gained) {
          SetFocusOnOwner(hwnd);
        } else {
          bool had;
          {
            std::lock_guard<std::mutex> lock(UserLock());
            had = FocusWindowLocked() == hwnd;
          }
          if (had) SetFocusOnOwner(nullptr);
        }
        return LRESULT{0};
      },
      false);
}

void DisplayClose(HWND hwnd) {
  std::shared_ptr<ThreadQueue> owner;
  {
    std::lock_guard<std::mutex> lock(UserLock());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return;
    owner = w->queue;
  }
  RunOnOwner(owner, [=] { return CallWindowProcedure(hwnd, WM_CLOSE, 0, 0); }, false);
}

void DisplayResized(HWND hwnd, int width, int height) { ResizeClient(hwnd, width, height, true); }

void DisplayExposed(HWND hwnd) {
  std::lock_guard<std::mutex> lock(UserLock());
  if (Window* w = FindWindowLocked(hwnd)) InvalidateLocked(*w, nullptr, true);
}

}  // namespace platform::user32
