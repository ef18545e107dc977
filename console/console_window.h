// The console window and its interface thread: the thread body that builds the rows, the font, the
// class and the window and runs the message loop, and the window procedure.
#pragma once

#include "platform/win32.h"

// Private messages of the "PROMPT" class, posted by requesters on other threads so that the text grid,
// the cursor and the caret are only ever touched on the interface thread.
//   kConsolePrintMessage: lParam is a TrackedString, printed with PrintText (which consumes it).
//   kConsoleStartLineMessage: starts a line-input request (inputLength 0) and shows the caret.
//   kConsoleColorMessage: wParam becomes foreColor, lParam (as 32 bits) backColor.
//   kConsoleLocateMessage: the cursor moves to cell wParam of row lParam of the window.
//   kConsoleClearTextMessage: every cell of the grid is emptied and the cursor goes home.
constexpr UINT kConsolePrintMessage = WM_USER + 1;
constexpr UINT kConsoleStartLineMessage = WM_USER + 2;
constexpr UINT kConsoleColorMessage = WM_USER + 3;
constexpr UINT kConsoleLocateMessage = WM_USER + 4;
constexpr UINT kConsoleClearTextMessage = WM_USER + 5;

DWORD WINAPI GuiThreadMain(LPVOID parameter);
LRESULT CALLBACK ConsoleWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
