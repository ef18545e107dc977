// Message boxes: modal, shown by the display, blocking the caller until dismissed.
#include "platform/display/display_backend.h"
#include "platform/kernel32/kernel32.h"
#include "platform/user32/user32.h"

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  auto* display = platform::display::Display();
  if (!display) {
    SetLastError(ERROR_NO_SYSTEM_RESOURCES);
    return 0;
  }
  if (hWnd && !IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  // A null caption is shown as "Error", as Windows does.
  return display->ShowMessageBox(hWnd, lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType);
}
