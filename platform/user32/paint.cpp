// Painting: update regions, WM_PAINT through BeginPaint/EndPaint, window and screen DCs, FillRect.
#include <algorithm>
#include <map>

#include "platform/display/display_backend.h"
#include "platform/kernel32/kernel32.h"
#include "platform/user32/user_internal.h"

namespace platform::user32 {
namespace {

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The DCs handed out by GetDC and BeginPaint; each keeps its window alive until it is released.
struct OpenDc {
  HWND hwnd;
  std::shared_ptr<Window> window;  // null for the screen
};
std::map<HDC, OpenDc>& OpenDcs() {
  static auto* dcs = new std::map<HDC, OpenDc>();
  return *dcs;
}

// The screen's pixels for GetDC(NULL): the size of the (virtual) screen, drawn on but never shown.
DisplaySurface* ScreenSurface() {
  static DisplaySurface* screen = [] {
    auto* s = new DisplaySurface();
    if (auto* d = Display()) {
      GdiGuard gdi(GdiLock());
      s->Resize(d->ScreenWidth(), d->ScreenHeight());
    }
    return s;
  }();
  return screen;
}

HDC OpenDisplayDc(HWND hwnd, const std::shared_ptr<Window>& window, DisplaySurface* surface) {
  HDC dc = GdiCreateDisplayDC(surface);
  if (!dc) return nullptr;
  UserGuard lock(UserLock());
  OpenDcs()[dc] = OpenDc{hwnd, window};
  return dc;
}

bool CloseDisplayDc(HWND hwnd, HDC dc) {
  {
    UserGuard lock(UserLock());
    auto it = OpenDcs().find(dc);
    if (it == OpenDcs().end() || it->second.hwnd != hwnd) return false;
    OpenDcs().erase(it);
  }
  GdiDeleteDisplayDC(dc);
  return true;
}

}  // namespace

bool NeedsPaintLocked(const Window& w) { return w.visible && !w.destroying && !IsEmpty(w.update); }

void InvalidateLocked(Window& w, const RECT* rect, bool erase) {
  RECT r = rect ? *rect : RECT{0, 0, w.clientWidth, w.clientHeight};
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  r.right = std::min<LONG>(r.right, w.clientWidth);
  r.bottom = std::min<LONG>(r.bottom, w.clientHeight);
  if (IsEmpty(r)) return;
  if (IsEmpty(w.update)) {
    w.update = r;
  } else {
    w.update.left = std::min(w.update.left, r.left);
    w.update.top = std::min(w.update.top, r.top);
    w.update.right = std::max(w.update.right, r.right);
    w.update.bottom = std::max(w.update.bottom, r.bottom);
  }
  if (erase) w.erasePending = true;
  w.queue->wake.notify_all();
}

}  // namespace platform::user32

using namespace platform::user32;

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  UserGuard lock(UserLock());
  if (!hWnd) {  // every window
    for (auto& w : AllWindowsLocked()) InvalidateLocked(*w, nullptr, bErase);
    return TRUE;
  }
  Window* w = CheckedWindowLocked(hWnd);
  if (!w) return FALSE;
  InvalidateLocked(*w, lpRect, bErase);
  return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect) {
  UserGuard lock(UserLock());
  Window* w = CheckedWindowLocked(hWnd);
  if (!w) return FALSE;
  // The update region is kept as its bounding box, so only a rectangle covering it validates it.
  if (!lpRect || (lpRect->left <= w->update.left && lpRect->top <= w->update.top &&
                  lpRect->right >= w->update.right && lpRect->bottom >= w->update.bottom)) {
    w->update = RECT{0, 0, 0, 0};
    w->erasePending = false;
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
  UserGuard lock(UserLock());
  Window* w = CheckedWindowLocked(hWnd);
  if (!w) return FALSE;
  bool empty = w->update.right <= w->update.left || w->update.bottom <= w->update.top;
  if (lpRect) *lpRect = empty ? RECT{0, 0, 0, 0} : w->update;
  return empty ? FALSE : TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
  bool due;
  {
    UserGuard lock(UserLock());
    Window* w = CheckedWindowLocked(hWnd);
    if (!w) return FALSE;
    due = NeedsPaintLocked(*w);
  }
  if (due) SendMessageA(hWnd, WM_PAINT, 0, 0);
  return TRUE;
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  std::shared_ptr<Window> window;
  PAINTSTRUCT ps{};
  bool erase;
  {
    UserGuard lock(UserLock());
    window = FindWindowShared(hWnd);
    if (!window || !lpPaint) {
      SetLastError(window ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    ps.rcPaint = window->update;
    erase = window->erasePending;
    window->update = RECT{0, 0, 0, 0};
    window->erasePending = false;
  }
  ps.hdc = OpenDisplayDc(hWnd, window, &window->surface);
  if (!ps.hdc) {
    // Nothing to paint with, and nothing that EndPaint could give back: whatever the caller's
    // structure held before might be a DC still in use.
    *lpPaint = PAINTSTRUCT{};
    return nullptr;
  }
  ps.fErase = FALSE;
  if (erase) ps.fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps.hdc), 0) ? FALSE : TRUE;
  *lpPaint = ps;
  return ps.hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (!lpPaint) return FALSE;
  return CloseDisplayDc(hWnd, lpPaint->hdc) ? TRUE : FALSE;
}

HDC GetDC(HWND hWnd) {
  if (!hWnd) {
    platform::DisplaySurface* screen = ScreenSurface();
    if (!screen->bits) return nullptr;
    return OpenDisplayDc(nullptr, nullptr, screen);
  }
  std::shared_ptr<Window> window;
  {
    UserGuard lock(UserLock());
    window = FindWindowShared(hWnd);
  }
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return OpenDisplayDc(hWnd, window, &window->surface);
}

int ReleaseDC(HWND hWnd, HDC hDC) { return CloseDisplayDc(hWnd, hDC) ? 1 : 0; }

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  if (!hDC || !lprc || !hbr) return 0;
  HGDIOBJ previous = SelectObject(hDC, hbr);
  if (!previous) return 0;
  BOOL ok = PatBlt(hDC, lprc->left, lprc->top, lprc->right - lprc->left, lprc->bottom - lprc->top, PATCOPY);
  SelectObject(hDC, previous);
  return ok ? 1 : 0;
}
