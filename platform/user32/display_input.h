// Inside the platform layer only: what a display reports to USER32. Each call may come from any
// thread; the messages reach the window's own thread (key presses and text posted, the rest handed
// to it as sent messages that nobody waits for).
#pragma once

#include <string>

#include "platform/win32_types.h"

namespace platform::user32 {

// A key went down or up: WM_KEYDOWN / WM_KEYUP with the virtual-key code, posted to the focus window
// (or to `hwnd` when nothing has the focus).
void DisplayKey(HWND hwnd, int virtualKey, bool down);

// Typed or composed text (UTF-8): one WM_CHAR per CP932 byte, lead byte first.
void DisplayText(HWND hwnd, const std::string& utf8);

void DisplayFocus(HWND hwnd, bool gained);
void DisplayClose(HWND hwnd);                        // the close button: WM_CLOSE
void DisplayResized(HWND hwnd, int width, int height);  // a new client size chosen by the user
void DisplayExposed(HWND hwnd);                      // pixels lost on screen: repaint everything

}  // namespace platform::user32
