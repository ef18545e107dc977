// Line requests and printing from other threads: both travel to the interface thread as messages, so
// the grid, the cursor and the caret keep a single owner.
#include "console/console_requests.h"

#include "console/console_state.h"
#include "console/console_window.h"

namespace {

constexpr DWORD kRoomWaitMs = 100;

// Posts to the console window once it has painted (which also publishes consoleWindow to this
// thread); a null window would post to this thread's own queue, where nothing reads it.
bool PostToConsole(UINT message, WPARAM wParam, LPARAM lParam) {
  if (console.readyFlag.load(std::memory_order_acquire) == 0) return false;
  return PostMessageA(console.consoleWindow, message, wParam, lParam) != FALSE;
}

// A request that the interface thread counts off when it has handled it. A requester that prints
// without end waits for room rather than fill the queue without bound, with the close request
// stuck behind everything it printed.
bool PostCountedRequest(UINT message, WPARAM wParam, LPARAM lParam) {
  if (console.readyFlag.load(std::memory_order_acquire) == 0) return false;
  while (console.pendingRequests.load(std::memory_order_acquire) >= kMaxPendingRequests) {
    WaitForSingleObject(console.requestRoom, kRoomWaitMs);
    if (!IsWindow(console.consoleWindow)) return false;
  }
  console.pendingRequests.fetch_add(1, std::memory_order_acq_rel);
  if (PostToConsole(message, wParam, lParam)) return true;
  console.pendingRequests.fetch_sub(1, std::memory_order_acq_rel);
  return false;
}

}  // namespace

TrackedString ConsoleReadLine() {
  // The event reaches the interface thread with the message that starts the request, before the
  // editor can ever need it.
  if (!console.lineDone) console.lineDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  ResetEvent(console.lineDone);
  // Without a console window no line can ever come: the line is empty.
  if (!PostToConsole(kConsoleStartLineMessage, 0, 0)) return StrNew(0);

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

int32_t ConsolePrint(TrackedString text) {
  if (PostCountedRequest(kConsolePrintMessage, 0, reinterpret_cast<LPARAM>(text))) return 1;
  // No window to print in (not made yet, or gone): the text is still consumed.
  StrRelease(text);
  return 0;
}

int32_t ConsoleSetColor(COLORREF fore, int32_t back) {
  return PostCountedRequest(kConsoleColorMessage, static_cast<WPARAM>(fore), static_cast<LPARAM>(back)) ? 1 : 0;
}

int32_t ConsoleLocate(int32_t row, int32_t column) {
  return PostCountedRequest(kConsoleLocateMessage, static_cast<WPARAM>(column), static_cast<LPARAM>(row)) ? 1 : 0;
}

int32_t ConsoleClearText() { return PostCountedRequest(kConsoleClearTextMessage, 0, 0) ? 1 : 0; }

int32_t ConsoleTakeKey() {
  const uint32_t head = console.keyHead.load(std::memory_order_relaxed);
  if (head == console.keyTail.load(std::memory_order_acquire)) return -1;
  const int32_t key = static_cast<unsigned char>(console.keyRing[head % kKeyRingSize]);
  console.keyHead.store(head + 1, std::memory_order_release);
  return key;
}
