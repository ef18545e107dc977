// Hooks for tests and tools that Win32 itself does not have: choosing the headless display with its
// virtual screen, injecting input as the display would deliver it, answering message boxes, and
// looking at the caret. One implementation per stack.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

// Chooses the headless display with a virtual screen of width x height (GetSystemMetrics reports it).
// Call before the first window, GetDC or GetSystemMetrics; returns false when it is too late.
bool SupportUseHeadlessDisplay(int width = 1024, int height = 768);

// A key press as the display delivers it to the focus window of the window's thread: WM_KEYDOWN
// with the virtual-key code (and, through TranslateMessage, WM_CHAR for control keys); with `ctrl`
// the Control key is held.
void SupportPressKey(HWND window, int virtualKey, bool ctrl = false);

// Text typed or composed by an input method, as UTF-8: delivered as CP932 bytes in WM_CHAR.
void SupportTypeText(HWND window, const char* utf8);

// Message boxes on the headless display are answered at once with IDOK and recorded here.
struct SupportMessageBox {
  HWND owner;
  std::string text;     // CP932, as given
  std::string caption;  // CP932, as given
  UINT type;
};
std::vector<SupportMessageBox> SupportTakeMessageBoxes();

// The caret of a window's thread: whether it exists and is shown, and its rectangle in client pixels.
struct SupportCaret {
  bool exists = false;
  bool shown = false;
  RECT rect = {0, 0, 0, 0};
};
SupportCaret SupportGetCaret(HWND window);

// Waits until every message posted to the window's thread so far has been handled (the thread is
// idle in GetMessageA again), or the time-out passes. True when it did.
bool SupportWaitIdle(HWND window, DWORD timeoutMs = 5000);

// The user resizes the window: its client area becomes width x height (WM_SIZE arrives on the
// window's thread, and the class styles decide what is invalidated).
void SupportResizeClient(HWND window, int width, int height);

// The display gives the window the keyboard focus, or takes it away (WM_SETFOCUS / WM_KILLFOCUS).
void SupportSetFocus(HWND window, bool gained);

// The user clicks the window's close button (WM_CLOSE on the window's thread).
void SupportCloseWindow(HWND window);

// Where the input method shows its composition for the window, as ImmSetCompositionWindow and
// ImmSetCompositionFontA set it.
struct SupportInputMethod {
  bool placed = false;         // a composition window was set
  POINT point = {0, 0};        // its current position (client pixels)
  RECT textInputRect = {0, 0, 0, 0};  // the rectangle handed to the display's text input
  bool hasFont = false;
  LOGFONTA font = {};
};
SupportInputMethod SupportGetInputMethod(HWND window);
