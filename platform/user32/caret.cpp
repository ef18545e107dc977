// The caret: one per thread, owned by a window, shown when its hide count is 0. It is never drawn into
// the window's pixels; the display shows it over them, blinking.
#include "platform/display/display_backend.h"
#include "platform/kernel32/kernel32.h"
#include "platform/saturating.h"
#include "platform/user32/user_internal.h"

namespace platform::user32 {
namespace {

// The caret's rectangle; a position near the end of the int range is the caller's, so the far edge
// is clamped to it.
RECT CaretRect(const Caret& c) {
  return RECT{c.pos.x, c.pos.y, platform::AddClamped(c.pos.x, c.width), platform::AddClamped(c.pos.y, c.height)};
}

void ReportCaretLocked(const Caret& c, HWND owner) {
  RECT r = CaretRect(c);
  // Under UserLock: the display is only told, never waited for (a caret needs a window, so it is open).
  if (auto* d = platform::display::OpenedDisplay()) d->SetCaret(owner, r, c.owner && c.hideCount == 0);
}

void ResetCaretLocked(Caret& c) {
  HWND owner = c.owner;
  c = Caret{};
  if (owner) ReportCaretLocked(c, owner);
}

}  // namespace

void DropCaretOfLocked(Window& w) {
  if (w.queue->caret.owner == w.handle) ResetCaretLocked(w.queue->caret);
}

}  // namespace platform::user32

using namespace platform::user32;

BOOL CreateCaret(HWND hWnd, HBITMAP, int nWidth, int nHeight) {
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  UserGuard lock(UserLock());
  Window* w = FindWindowLocked(hWnd);
  if (!w || w->queue != q) {
    SetLastError(w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  ResetCaretLocked(q->caret);
  // A size of 0 means the width (height) of a window border: one pixel.
  q->caret.owner = hWnd;
  q->caret.width = nWidth > 0 ? nWidth : 1;
  q->caret.height = nHeight > 0 ? nHeight : 1;
  q->caret.hideCount = 1;  // a new caret starts hidden
  ReportCaretLocked(q->caret, hWnd);
  return TRUE;
}

BOOL SetCaretPos(int X, int Y) {
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  UserGuard lock(UserLock());
  if (!q->caret.owner) return FALSE;
  q->caret.pos = POINT{X, Y};
  ReportCaretLocked(q->caret, q->caret.owner);
  return TRUE;
}

BOOL GetCaretPos(LPPOINT lpPoint) {
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  UserGuard lock(UserLock());
  if (!q->caret.owner || !lpPoint) return FALSE;
  *lpPoint = q->caret.pos;
  return TRUE;
}

namespace {

// Shows (+1) or hides (-1) the calling thread's caret once more, if it belongs to `hWnd` (or any window
// for null).
BOOL StepCaretVisibility(HWND hWnd, int step) {
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  UserGuard lock(UserLock());
  Caret& c = q->caret;
  if (!c.owner || (hWnd && hWnd != c.owner)) return FALSE;
  if (step < 0) ++c.hideCount;
  else if (c.hideCount > 0) --c.hideCount;
  ReportCaretLocked(c, c.owner);
  return TRUE;
}

}  // namespace

BOOL ShowCaret(HWND hWnd) { return StepCaretVisibility(hWnd, +1); }

BOOL HideCaret(HWND hWnd) { return StepCaretVisibility(hWnd, -1); }

BOOL DestroyCaret(void) {
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  UserGuard lock(UserLock());
  if (!q->caret.owner) return FALSE;
  ResetCaretLocked(q->caret);
  return TRUE;
}

namespace platform::user32 {
namespace {
RECT CaretRect(const Caret& c);
}

bool CaretOfWindow(HWND hwnd, RECT* rect, bool* shown) {
  UserGuard lock(UserLock());
  Window* w = FindWindowLocked(hwnd);
  if (!w || w->queue->caret.owner != hwnd) return false;
  const Caret& c = w->queue->caret;
  *rect = CaretRect(c);
  *shown = c.hideCount == 0;
  return true;
}

}  // namespace platform::user32
