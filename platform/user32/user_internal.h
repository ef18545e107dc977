// Inside the platform layer only: USER32's windows, classes and per-thread message queues.
//
// One lock (UserLock) guards every window, class and queue. Window procedures are never called while
// it is held. Lock order: GdiLock before UserLock; the display backend's own locks come last (see
// platform/display/lock_order.h).
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/display/message_box_request.h"
#include "platform/gdi32/display_dc.h"
#include "platform/user32/user32.h"

namespace platform::display {
class DisplayBackend;
class DisplayEvents;
}  // namespace platform::display

namespace platform::user32 {

RankedMutex& UserLock();
using UserGuard = std::lock_guard<RankedMutex>;
using UserUniqueLock = std::unique_lock<RankedMutex>;

// The display, opened on first use with USER32's event sink; null when none can be opened.
display::DisplayBackend* Display();
// The sink through which the display (and the test hooks) report input, focus, resizing, exposure and
// closing.
display::DisplayEvents& DisplayEventSink();

// Work another thread hands to a queue's owner: a sent message, or a notification from the display.
// The owner runs it inside GetMessageA/PeekMessageA (or while it waits in a SendMessageA of its own).
struct SentWork {
  std::function<LRESULT()> run;
  LRESULT result = 0;
  bool done = false;
  bool waited = false;  // a sender is blocked on `done`
  std::weak_ptr<struct ThreadQueue> replyTo;  // woken when done
};

struct ThreadQueue;

// The caret of one thread (Windows has one caret per message queue).
struct Caret {
  HWND owner = nullptr;
  int width = 0;
  int height = 0;
  POINT pos = {0, 0};
  int hideCount = 0;  // shown when 0
};

struct ThreadQueue {
  std::condition_variable_any wake;  // used with UserLock
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentWork>> sent;
  bool quitPosted = false;
  int quitCode = 0;
  bool idle = false;   // blocked in GetMessageA with nothing to do
  bool alive = true;   // false once the owning thread has ended
  BYTE keyState[256] = {};  // key state as of the last input message retrieved
  Caret caret;
};

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HBRUSH background = nullptr;
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<ThreadQueue> queue;
  std::shared_ptr<const WindowClass> cls;
  WNDPROC proc = nullptr;
  std::string title;  // CP932
  DWORD style = 0;
  DWORD exStyle = 0;
  POINT pos = {0, 0};  // top-left of the window (frame included) on the screen
  RECT frame = {0, 0, 0, 0};  // insets of the non-client area
  int clientWidth = 0;
  int clientHeight = 0;
  bool visible = false;
  bool destroying = false;
  bool created = false;  // the backend holds a native window for it
  RECT update = {0, 0, 0, 0};  // bounding box of the update region; empty when nothing is invalid
  bool erasePending = false;
  DisplaySurface surface;  // the client pixels; its size is the client size
};

// The queue of the calling thread, made on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();

// Window lookup under UserLock; null for a stale or foreign handle.
Window* FindWindowLocked(HWND hwnd);
// The same for a call's window argument: null with ERROR_INVALID_WINDOW_HANDLE.
Window* CheckedWindowLocked(HWND hwnd);
std::shared_ptr<Window> FindWindowShared(HWND hwnd);
std::vector<std::shared_ptr<Window>> AllWindowsLocked();
HWND AddWindowLocked(std::shared_ptr<Window> window);
void RemoveWindowLocked(HWND hwnd);

std::shared_ptr<const WindowClass> FindClassLocked(LPCSTR nameOrAtom);

// True when the window has pixels to repaint and is shown (WM_PAINT is due once the queue is empty).
bool NeedsPaintLocked(const Window& w);

// Adds `rect` (client coordinates; null for all of it) to the update region and wakes the owner.
void InvalidateLocked(Window& w, const RECT* rect, bool erase);

// Runs `work` on the queue's owner thread: directly when that is the calling thread, otherwise queued
// and, when `wait` is set, waited for (handling work sent to the calling thread in the meantime).
LRESULT RunOnOwner(const std::shared_ptr<ThreadQueue>& queue, std::function<LRESULT()> work, bool wait);

// Calls a window's procedure on the calling thread (the owner); 0 for a stale handle.
LRESULT CallWindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Posts a message to the owner queue of `hwnd` (front = ahead of everything already posted).
bool PostLocked(Window& w, UINT msg, WPARAM wParam, LPARAM lParam, bool front = false);

// Changes the client size (the pixels keep what overlaps), invalidates as the class styles say and
// sends WM_SIZE. `fromDisplay`: the user resized the native window, so it is not resized again.
void ResizeClient(HWND hwnd, int width, int height, bool fromDisplay);

// Focus: the window that receives keyboard input (one for the process, owned by some thread).
HWND FocusWindowLocked();
void SetFocusOnOwner(HWND hwnd);  // runs on the owner thread of hwnd (or clears focus when null)
void ForgetWindowFocus(HWND hwnd);

// Destroys the caret if `hwnd` owns its queue's caret.
void DropCaretOfLocked(Window& w);

// The display's request for MessageBoxA's arguments.
display::MessageBoxRequest MessageBoxRequestFor(const char* text, const char* caption, UINT type);

// Notified whenever a queue's thread goes idle in GetMessageA (for SupportWaitIdle).
std::condition_variable_any& IdleChanged();
bool QueueIdleLocked(const ThreadQueue& q);

// Milliseconds since start, for MSG.time.
DWORD MessageTime();

// Values that user32 needs to agree on.
constexpr int kMinDefaultClientWidth = 640;
constexpr int kMinDefaultClientHeight = 400;
constexpr int kMaxClientSide = 16384;

}  // namespace platform::user32

namespace platform::user32 {
// The caret as the display shows it over `hwnd`: false when the window does not own its thread's caret.
bool CaretOfWindow(HWND hwnd, RECT* rect, bool* shown);
}  // namespace platform::user32
