// The default handling of window messages.
#include "platform/user32/user_internal.h"

using namespace platform::user32;

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM) {
  switch (Msg) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_PAINT: {
      // Painting nothing still validates the window, so WM_PAINT is not generated again.
      PAINTSTRUCT ps;
      if (BeginPaint(hWnd, &ps)) EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH brush;
      RECT client;
      {
        UserGuard lock(UserLock());
        Window* w = FindWindowLocked(hWnd);
        if (!w) return 0;
        brush = w->cls->background;
        client = RECT{0, 0, w->clientWidth, w->clientHeight};
      }
      if (!brush) return 0;
      return FillRect(reinterpret_cast<HDC>(wParam), &client, brush) ? 1 : 0;
    }
    default:
      return 0;
  }
}
