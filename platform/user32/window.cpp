// Classes and windows: registration, creation with WM_NCCREATE/WM_CREATE inside the call, showing,
// destruction, geometry and resizing of the client pixels.
#include <algorithm>
#include <cstring>

#include "platform/display/display_backend.h"
#include "platform/imm32/input_context.h"
#include "platform/kernel32/kernel32.h"
#include "platform/user32/user_internal.h"

namespace platform::user32 {

ATOM RegisterClassLocked(const WNDCLASSEXA& wc, DWORD* error);

namespace {

// The size of WNDCLASSEXA in a 32-bit program, which callers written for one pass as cbSize.
constexpr UINT kWndClassExSize32 = 48;

// Non-client insets: a sizing border or a thin one, the caption, and the sunken client edge.
RECT FrameFor(DWORD style, DWORD exStyle) {
  int side = (style & WS_THICKFRAME) ? 4 : ((style & WS_CAPTION) ? 1 : 0);
  int caption = ((style & WS_CAPTION) == WS_CAPTION) ? 20 : 0;
  int edge = (exStyle & WS_EX_CLIENTEDGE) ? 2 : 0;
  return RECT{side + edge, side + caption + edge, side + edge, side + edge};
}

// Called by GDI under its lock: the display, if open, presents the new pixels.
void SurfaceChangedHook(DisplaySurface* surface) {
  if (auto* d = platform::display::OpenedDisplay()) d->SurfaceChanged(surface);
}

int Clamp(int v) { return std::clamp(v, 0, kMaxClientSide); }

// Gives the window pixels of the new size, keeping what overlaps; new pixels are black.
void ResizePixelsLocked(Window& w, int width, int height) {
  w.surface.Resize(width, height);
  w.clientWidth = width;
  w.clientHeight = height;
}

// Destroys a window on its owner thread. `quiet`: creation failed in WM_NCCREATE, so only
// WM_NCDESTROY is sent.
void DestroyOnOwner(HWND hwnd, bool quiet) {
  if (!quiet) {
    bool hadFocus;
    {
      UserGuard lock(UserLock());
      hadFocus = FocusWindowLocked() == hwnd;
    }
    if (hadFocus) {
      ForgetWindowFocus(hwnd);
      SendMessageA(hwnd, WM_KILLFOCUS, 0, 0);
    }
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
  }
  SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
  bool created;
  {
    UserGuard lock(UserLock());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return;
    DropCaretOfLocked(*w);
    auto& posted = w->queue->posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                 posted.end());
    created = w->created;
  }
  ForgetWindowFocus(hwnd);
  if (created) Display()->DestroyNativeWindow(hwnd);
  {
    GdiGuard gdi(GdiLock());
    UserGuard lock(UserLock());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return;
    // A DC still open on the window now draws onto nothing.
    w->surface.Resize(0, 0);
    RemoveWindowLocked(hwnd);
  }
  platform::imm32::DropContext(hwnd);  // its input context goes with it
}

}  // namespace

void ResizeClient(HWND hwnd, int width, int height, bool fromDisplay) {
  width = Clamp(width);
  height = Clamp(height);
  std::shared_ptr<ThreadQueue> owner;
  {
    GdiGuard gdi(GdiLock());
    UserGuard lock(UserLock());
    Window* w = FindWindowLocked(hwnd);
    if (!w || w->destroying) return;
    if (w->clientWidth == width && w->clientHeight == height) return;
    int oldW = w->clientWidth, oldH = w->clientHeight;
    ResizePixelsLocked(*w, width, height);
    UINT cs = w->cls->style;
    if (((cs & CS_HREDRAW) && width != oldW) || ((cs & CS_VREDRAW) && height != oldH)) {
      InvalidateLocked(*w, nullptr, true);
    } else {
      // Only what the window newly shows needs painting.
      if (width > oldW) {
        RECT r{oldW, 0, width, height};
        InvalidateLocked(*w, &r, true);
      }
      if (height > oldH) {
        RECT r{0, oldH, width, height};
        InvalidateLocked(*w, &r, true);
      }
    }
    owner = w->queue;
  }
  if (!fromDisplay) Display()->SetClientSize(hwnd, width, height);
  LPARAM size = MAKELPARAM(width, height);
  RunOnOwner(owner, [=] { return CallWindowProcedure(hwnd, WM_SIZE, SIZE_RESTORED, size); }, !fromDisplay);
}

}  // namespace platform::user32

using namespace platform::user32;

ATOM RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  if (!lpwcx || (lpwcx->cbSize != sizeof(WNDCLASSEXA) && lpwcx->cbSize != kWndClassExSize32) ||
      !lpwcx->lpfnWndProc || !lpwcx->lpszClassName || lpwcx->lpszClassName[0] == '\0' ||
      std::strlen(lpwcx->lpszClassName) > 255) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD error = 0;
  ATOM atom;
  {
    UserGuard lock(UserLock());
    atom = RegisterClassLocked(*lpwcx, &error);
  }
  if (!atom) SetLastError(error);
  return atom;
}

BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD dwExStyle) {
  if (!lpRect) return FALSE;
  RECT f = FrameFor(dwStyle, dwExStyle);
  lpRect->left -= f.left;
  lpRect->top -= f.top;
  lpRect->right += f.right;
  lpRect->bottom += f.bottom;
  return TRUE;
}

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                     LPVOID lpParam) {
  auto* display = Display();
  if (!display) {
    SetLastError(ERROR_NO_SYSTEM_RESOURCES);
    return nullptr;
  }
  auto window = std::make_shared<Window>();
  HWND hwnd;
  {
    UserGuard lock(UserLock());
    window->cls = lpClassName ? FindClassLocked(lpClassName) : nullptr;
    if (!window->cls) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    window->queue = CurrentQueue();
    window->proc = window->cls->proc;
    window->title = lpWindowName ? lpWindowName : "";
    window->style = dwStyle & ~WS_VISIBLE;
    window->exStyle = dwExStyle;
    window->frame = FrameFor(dwStyle, dwExStyle);
    int frameW = window->frame.left + window->frame.right, frameH = window->frame.top + window->frame.bottom;
    int width, height;
    if (nWidth == CW_USEDEFAULT) {
      // A default window takes about three quarters of the screen, and never less than 640 x 400.
      width = std::max(kMinDefaultClientWidth, display->ScreenWidth() * 25 / 32);
      height = std::max(kMinDefaultClientHeight, display->ScreenHeight() * 25 / 32);
    } else {
      width = Clamp(nWidth - frameW);
      height = Clamp(nHeight - frameH);
    }
    window->pos = X == CW_USEDEFAULT ? POINT{32, 32} : POINT{X, Y};
    window->surface.changed = &SurfaceChangedHook;
    window->surface.owner = window.get();
    ResizePixelsLocked(*window, width, height);
    hwnd = AddWindowLocked(window);
    if (!hwnd) {
      SetLastError(ERROR_NO_SYSTEM_RESOURCES);
      return nullptr;
    }
  }
  if (!display->CreateNativeWindow(hwnd, window->cls->name, window->title, window->clientWidth,
                                   window->clientHeight, &window->surface)) {
    UserGuard lock(UserLock());
    RemoveWindowLocked(hwnd);
    SetLastError(ERROR_NO_SYSTEM_RESOURCES);
    return nullptr;
  }
  {
    UserGuard lock(UserLock());
    window->created = true;
  }
  CREATESTRUCTA cs{};
  cs.lpCreateParams = lpParam;
  cs.hInstance = hInstance;
  cs.hMenu = hMenu;
  cs.hwndParent = hWndParent;
  cs.cx = window->clientWidth + window->frame.left + window->frame.right;
  cs.cy = window->clientHeight + window->frame.top + window->frame.bottom;
  cs.x = window->pos.x;
  cs.y = window->pos.y;
  cs.style = static_cast<LONG>(dwStyle);
  cs.lpszName = lpWindowName;
  cs.lpszClass = lpClassName;
  cs.dwExStyle = dwExStyle;
  if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    DestroyOnOwner(hwnd, true);
    return nullptr;
  }
  if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;
  SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->clientWidth, window->clientHeight));
  SendMessageA(hwnd, WM_MOVE, 0,
               MAKELPARAM(window->pos.x + window->frame.left, window->pos.y + window->frame.top));
  if (dwStyle & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

BOOL IsWindow(HWND hWnd) {
  UserGuard lock(UserLock());
  return FindWindowLocked(hWnd) ? TRUE : FALSE;
}

namespace {

// Under UserLock: runs `visit` on the window and gives its owner's queue; false (with
// ERROR_INVALID_WINDOW_HANDLE) when `hWnd` is no window.
template <typename Visit>
bool VisitWindow(HWND hWnd, std::shared_ptr<ThreadQueue>* owner, Visit visit) {
  UserGuard lock(UserLock());
  Window* w = CheckedWindowLocked(hWnd);
  if (!w) return false;
  *owner = w->queue;
  visit(*w);
  return true;
}

}  // namespace

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
  std::shared_ptr<ThreadQueue> owner;
  bool wasVisible = false;
  if (!VisitWindow(hWnd, &owner, [&](const Window& w) { wasVisible = w.visible; })) return FALSE;
  if (owner != CurrentQueue())
    return static_cast<BOOL>(RunOnOwner(owner, [=] { return static_cast<LRESULT>(ShowWindow(hWnd, nCmdShow)); }, true));
  bool show = nCmdShow != SW_HIDE;
  if (show == wasVisible) {
    if (show) SetFocusOnOwner(hWnd);
    return wasVisible;
  }
  SendMessageA(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  {
    UserGuard lock(UserLock());
    Window* w = FindWindowLocked(hWnd);
    if (!w) return wasVisible;
    w->visible = show;
    if (show) InvalidateLocked(*w, nullptr, true);
  }
  Display()->ShowNativeWindow(hWnd, show);
  // A top-level window that is shown becomes the active one and takes the keyboard focus.
  if (show)
    SetFocusOnOwner(hWnd);
  else if (GetFocus() == hWnd)
    SetFocus(nullptr);
  return wasVisible;
}

BOOL DestroyWindow(HWND hWnd) {
  {
    UserGuard lock(UserLock());
    Window* w = CheckedWindowLocked(hWnd);
    if (!w) return FALSE;
    if (w->queue != CurrentQueue()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (w->destroying) return TRUE;
    w->destroying = true;
  }
  DestroyOnOwner(hWnd, false);
  return TRUE;
}

namespace {

// Answers a rectangle query about a window: `rectOf(window)` into the caller's RECT.
template <typename RectOf>
BOOL QueryRect(HWND hWnd, LPRECT lpRect, RectOf rectOf) {
  UserGuard lock(UserLock());
  Window* w = CheckedWindowLocked(hWnd);
  if (!w) return FALSE;
  if (!lpRect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpRect = rectOf(*w);
  return TRUE;
}

}  // namespace

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
  return QueryRect(hWnd, lpRect, [](const Window& w) { return RECT{0, 0, w.clientWidth, w.clientHeight}; });
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
  return QueryRect(hWnd, lpRect, [](const Window& w) {
    return RECT{w.pos.x, w.pos.y, w.pos.x + w.frame.left + w.clientWidth + w.frame.right,
                w.pos.y + w.frame.top + w.clientHeight + w.frame.bottom};
  });
}

BOOL SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
  std::shared_ptr<ThreadQueue> owner;
  RECT frame{};
  POINT pos{};
  const bool found = VisitWindow(hWnd, &owner, [&](Window& w) {
    frame = w.frame;
    if (!(uFlags & SWP_NOMOVE)) w.pos = POINT{X, Y};
    pos = w.pos;
  });
  if (!found) return FALSE;
  if (!(uFlags & SWP_NOSIZE))
    ResizeClient(hWnd, cx - frame.left - frame.right, cy - frame.top - frame.bottom, false);
  if (!(uFlags & SWP_NOMOVE)) {
    LPARAM at = MAKELPARAM(pos.x + frame.left, pos.y + frame.top);
    RunOnOwner(owner, [=] { return CallWindowProcedure(hWnd, WM_MOVE, 0, at); }, true);
  }
  return TRUE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER | (bRepaint ? 0 : SWP_NOREDRAW));
}

int GetSystemMetrics(int nIndex) {
  auto* display = Display();
  if (!display) return 0;
  switch (nIndex) {
    case SM_CXSCREEN: return display->ScreenWidth();
    case SM_CYSCREEN: return display->ScreenHeight();
    default: return 0;
  }
}

// The predefined icons and cursors: stand-ins that are valid, distinct handles.
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  uintptr_t id = reinterpret_cast<uintptr_t>(lpIconName);
  if (hInstance == nullptr && id >= 32512 && id <= 32518) return reinterpret_cast<HICON>(0x10000 + id);
  SetLastError(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND: this program has no resources
  return nullptr;
}

HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  uintptr_t id = reinterpret_cast<uintptr_t>(lpCursorName);
  if (hInstance == nullptr && id >= 32512 && id <= 32651) return reinterpret_cast<HCURSOR>(0x20000 + id);
  SetLastError(1813);
  return nullptr;
}
