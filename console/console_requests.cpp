// Line requests and printing from other threads: both travel to the interface thread as messages, so
// the grid, the cursor and the caret keep a single owner.
#include "console/console_requests.h"

#include "console/console_state.h"
#include "console/console_window.h"

TrackedString ConsoleReadLine() {
  // The event reaches the interface thread with the message that starts the request, before the
  // editor can ever need it.
  if (!console.lineDone) console.lineDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  ResetEvent(console.lineDone);
  PostMessageA(console.consoleWindow, kConsoleStartLineMessage, 0, 0);

  // inputLength is -1 both before the start message runs and after Enter; only the event tells the
  // end of the line. The editor stored -1 (release) after the line's zero byte.
  do {
    WaitForSingleObject(console.lineDone, INFINITE);
  } while (console.inputLength.load(std::memory_order_acquire) != -1);

  const int length = lstrlenA(console.inputBuffer);
  TrackedString line = StrNew(length);
  RtlMoveMemory(line, console.inputBuffer, length);
  return line;
}

void ConsolePrint(TrackedString text) {
  PostMessageA(console.consoleWindow, kConsolePrintMessage, 0, reinterpret_cast<LPARAM>(text));
}

void ConsoleSetColor(COLORREF fore, int32_t back) {
  PostMessageA(console.consoleWindow, kConsoleColorMessage, static_cast<WPARAM>(fore),
               static_cast<LPARAM>(back));
}
