// Message boxes: modal, shown by the display, blocking the caller until dismissed. The MB_* style
// becomes the display's request here: its icon, its buttons, and the buttons Return and Escape press.
#include "platform/display/display_backend.h"
#include "platform/kernel32/kernel32.h"
#include "platform/user32/user_internal.h"

namespace platform::user32 {

display::MessageBoxRequest MessageBoxRequestFor(const char* text, const char* caption, UINT type) {
  using display::MessageBoxIcon;
  display::MessageBoxRequest r;
  r.text = text ? text : "";
  r.caption = caption ? caption : "Error";  // a null caption is shown as "Error", as Windows does
  switch (type & 0xF0) {
    case MB_ICONERROR: r.icon = MessageBoxIcon::kError; break;
    case MB_ICONWARNING: r.icon = MessageBoxIcon::kWarning; break;
    case MB_ICONINFORMATION: r.icon = MessageBoxIcon::kInformation; break;
    default: r.icon = MessageBoxIcon::kNone; break;
  }
  switch (type & 0x0F) {
    case MB_OKCANCEL:
      r.buttons = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
      r.returnId = IDOK;
      r.escapeId = IDCANCEL;
      break;
    case MB_YESNO:  // no Escape: a Yes/No box must be answered
      r.buttons = {{IDYES, "Yes"}, {IDNO, "No"}};
      r.returnId = IDYES;
      break;
    default:
      r.buttons = {{IDOK, "OK"}};
      r.returnId = r.escapeId = IDOK;
  }
  return r;
}

}  // namespace platform::user32

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  auto* display = platform::user32::Display();
  if (!display) {
    SetLastError(ERROR_NO_SYSTEM_RESOURCES);
    return 0;
  }
  if (hWnd && !IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return display->ShowMessageBox(hWnd, platform::user32::MessageBoxRequestFor(lpText, lpCaption, uType));
}
