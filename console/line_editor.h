// The line editor: the window side of a line-input request, run by the window procedure.
#pragma once

#include "platform/win32.h"
#include "runtime/strings.h"

// WM_KEYDOWN: while no request is active, remembers the key in lastKey, and queues a cursor key's
// control code (right 28, left 29, up 30, down 31) for ConsoleTakeKey.
void EditorKeyDown(WPARAM virtualKey);

// WM_CHAR: while no request is active, queues the byte for ConsoleTakeKey; while one is, edits the line (backspace, Enter, Ctrl+V paste, any other byte)
// and echoes the change at the cursor. `echo` is the message's echo string; a branch that has
// something to show replaces it (releasing the one it replaces).
void EditorChar(HWND window, WPARAM code, TrackedString& echo);
