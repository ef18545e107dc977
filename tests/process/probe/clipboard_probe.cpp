// A program that asks the clipboard as programs usually do: is text there? then open it and take the
// text. Prints "available=<0|1>" and "data=<the text>" (or "data=(none)"), then ends with code 0.
#include <cstdio>
#include <string>

#include "platform/win32.h"

int main() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "ClipboardProbe";
  if (!RegisterClassExA(&wc)) return 2;
  HWND window = CreateWindowExA(0, "ClipboardProbe", "clipboard probe", 0, 0, 0, 64, 64, nullptr, nullptr, nullptr,
                                nullptr);
  if (!window) return 2;
  std::printf("available=%d\n", IsClipboardFormatAvailable(CF_TEXT) ? 1 : 0);
  std::string text = "(none)";
  if (OpenClipboard(window)) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      if (const char* p = static_cast<const char*>(GlobalLock(data))) {
        text = p;
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  }
  std::printf("data=%s\n", text.c_str());
  std::fflush(stdout);
  DestroyWindow(window);
  ExitProcess(0);
}
