// USER32's side of the display: the sink through which the display reports input, focus, resizing,
// exposure and closing. Each report may come from any thread; it reaches the window's own thread
// (key presses and text posted, the rest handed to it as work that nobody waits for).
#include "platform/display/display_backend.h"
#include "platform/kernel32/cp932.h"
#include "platform/user32/composition_hook.h"
#include "platform/user32/user_internal.h"

#include <atomic>

namespace platform::user32 {
namespace {

std::atomic<Composer> composer{nullptr};

// Keyboard input goes to the window with the focus when there is one.
Window* InputTargetLocked(HWND hwnd) {
  if (HWND focus = FocusWindowLocked()) return FindWindowLocked(focus);
  return FindWindowLocked(hwnd);
}

// The lParam of a key message: repeat count 1, and for a release the previous-state and
// transition bits.
LPARAM KeyLParam(bool down) { return down ? 1 : static_cast<LPARAM>(0xC0000001u); }

class UserEvents final : public display::DisplayEvents {
 public:
  void Key(HWND hwnd, int virtualKey, bool down) override;
  void Text(HWND hwnd, const std::string& utf8) override;
  void Composition(HWND hwnd, const std::string& utf8, int cursor, int selectionStart,
                   int selectionLength) override;
  void Focus(HWND hwnd, bool gained) override;
  void Close(HWND hwnd) override;
  void Resized(HWND hwnd, int width, int height) override;
  void Exposed(HWND hwnd) override;
};

}  // namespace

// A key goes to the focus window as WM_KEYDOWN / WM_KEYUP (to `hwnd` when nothing has the focus).
void UserEvents::Key(HWND hwnd, int virtualKey, bool down) {
  UserGuard lock(UserLock());
  if (Window* w = InputTargetLocked(hwnd))
    PostLocked(*w, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey & 0xFF), KeyLParam(down));
}

// Text becomes one WM_CHAR per CP932 byte, lead byte first.
void UserEvents::Text(HWND hwnd, const std::string& utf8) {
  std::string bytes = platform::Utf8ToCp932(utf8);
  UserGuard lock(UserLock());
  Window* w = InputTargetLocked(hwnd);
  if (!w) return;
  for (char c : bytes) PostLocked(*w, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
}

// The composition goes to the composer for the window that text would go to; committed text arrives
// through Text.
void UserEvents::Composition(HWND hwnd, const std::string& utf8, int cursor, int selectionStart,
                             int selectionLength) {
  Composer draw = composer.load();
  if (!draw) return;
  HWND target;
  {
    UserGuard lock(UserLock());
    Window* w = InputTargetLocked(hwnd);
    if (!w) return;
    target = w->handle;
  }
  draw(target, utf8, cursor, selectionStart, selectionLength);
}

void UserEvents::Focus(HWND hwnd, bool gained) {
  std::shared_ptr<ThreadQueue> owner;
  {
    UserGuard lock(UserLock());
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
            UserGuard lock(UserLock());
            had = FocusWindowLocked() == hwnd;
          }
          if (had) SetFocusOnOwner(nullptr);
        }
        return LRESULT{0};
      },
      false);
}

// The close button: WM_CLOSE.
void UserEvents::Close(HWND hwnd) {
  std::shared_ptr<ThreadQueue> owner;
  {
    UserGuard lock(UserLock());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return;
    owner = w->queue;
  }
  RunOnOwner(owner, [=] { return CallWindowProcedure(hwnd, WM_CLOSE, 0, 0); }, false);
}

void UserEvents::Resized(HWND hwnd, int width, int height) { ResizeClient(hwnd, width, height, true); }

// Pixels lost on screen: the whole window is repainted.
void UserEvents::Exposed(HWND hwnd) {
  UserGuard lock(UserLock());
  if (Window* w = FindWindowLocked(hwnd)) InvalidateLocked(*w, nullptr, true);
}

void InstallComposer(Composer draw) { composer.store(draw); }

display::DisplayEvents& DisplayEventSink() {
  static auto* events = new UserEvents();
  return *events;
}

display::DisplayBackend* Display() { return display::OpenDisplay(&DisplayEventSink()); }

}  // namespace platform::user32
