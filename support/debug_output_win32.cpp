// The debug-output hook on Windows. OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the length
// (terminator included) and the address of the text; a vectored handler sees it first, copies it,
// and lets the search go on, so the text still reaches a debugger as before.
#include "support/debug_output.h"

#include <mutex>

#include "platform/win32.h"

namespace {

std::mutex captureLock;
std::string captured;
bool capturing = false;
PVOID handler = nullptr;

LONG CALLBACK CaptureDebugString(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
    const ULONG_PTR length = record->ExceptionInformation[0];
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    std::lock_guard<std::mutex> lock(captureLock);
    if (capturing && text != nullptr && length > 0) captured.append(text, length - 1);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void SupportStartDebugCapture() {
  std::lock_guard<std::mutex> lock(captureLock);
  captured.clear();
  capturing = true;
  if (handler == nullptr) handler = AddVectoredExceptionHandler(1, CaptureDebugString);
}

std::string SupportTakeDebugOutput() {
  std::lock_guard<std::mutex> lock(captureLock);
  std::string text;
  text.swap(captured);
  return text;
}

void SupportStopDebugCapture() {
  std::lock_guard<std::mutex> lock(captureLock);
  capturing = false;
  captured.clear();
}
