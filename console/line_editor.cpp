// Keyboard line input: typed bytes, backspace, Enter and clipboard paste, echoed into the text grid.
#include "console/line_editor.h"

#include "console/console_state.h"
#include "console/text_grid.h"

namespace {

const WPARAM kBackspace = 8;
const WPARAM kEnter = 13;
const WPARAM kPaste = 22;  // Ctrl+V

// A lead byte refused because the line had no room for its trail: the trail, which arrives as the
// next WM_CHAR, is refused with it, so no half of a character ever enters the line.
bool refuseNextByte = false;

bool IsLead(char byte) { return IsDBCSLeadByte(static_cast<BYTE>(byte)) != 0; }

// Whether the line's last byte is a lead byte still waiting for its trail.
bool LineAwaitsTrailByte(int length) {
  int j = 0;
  while (j < length) j += IsLead(console.inputBuffer[j]) ? 2 : 1;
  return j > length;
}

void ReplaceEcho(TrackedString& echo, TrackedString replacement) {
  StrRelease(echo);
  echo = replacement;
}

// Takes back the line's last byte. At column 0 the cursor stays where it is: the byte may have been
// part of a line break or of a wrapped row, and nothing before column 0 may be written.
void Backspace(int length) {
  if (length == 0) return;
  length -= 1;
  console.inputBuffer[length] = 0;
  console.inputLength.store(length, std::memory_order_relaxed);
  if (console.cursorCol == 0) return;
  console.cursorCol -= 1;
  console.rowChars[console.cursorRow][console.cursorCol] = 0;
}

void Enter(int length, TrackedString& echo) {
  console.inputBuffer[length] = 0;
  // The requester may read inputBuffer as soon as it sees -1.
  console.inputLength.store(-1, std::memory_order_release);
  if (console.lineDone) SetEvent(console.lineDone);
  TrackedString lineBreak = StrNew(2);
  lstrcpyA(lineBreak, "\r\n");
  ReplaceEcho(echo, lineBreak);
}

// How many of the `available` bytes of `text` fit into the line without passing its limit and
// without splitting a double-byte character.
int PasteFit(const char* text, int available, int length) {
  const int room = kInputLineLimit - length;
  bool trailPending = LineAwaitsTrailByte(length);
  int fit = 0;
  int j = 0;
  while (j < available) {
    const int size = (!trailPending && IsLead(text[j]) && j + 1 < available) ? 2 : 1;
    if (fit + size > room) break;
    trailPending = false;
    j += size;
    fit = j;
  }
  return fit;
}

// Returns false when the clipboard holds no text: then nothing is echoed.
bool Paste(HWND window, int length, TrackedString& echo) {
  OpenClipboard(window);
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) {
    CloseClipboard();
    return false;
  }
  const char* text = static_cast<const char*>(GlobalLock(data));
  if (!text) {
    CloseClipboard();
    return false;
  }
  const int fit = PasteFit(text, lstrlenA(text), length);
  TrackedString pasted = StrFresh(fit + 1);
  RtlMoveMemory(pasted, text, fit);
  ReplaceEcho(echo, pasted);
  RtlMoveMemory(console.inputBuffer + length, text, fit);
  console.inputBuffer[length + fit] = 0;
  console.inputLength.store(length + fit, std::memory_order_relaxed);
  GlobalUnlock(data);
  CloseClipboard();
  return true;
}

// Returns false when the byte is refused because the line is full.
bool TypeByte(char byte, int length, TrackedString& echo) {
  const bool trailOfRefusedLead = refuseNextByte;
  refuseNextByte = false;
  if (trailOfRefusedLead || length >= kInputLineLimit) return false;
  if (!LineAwaitsTrailByte(length) && IsLead(byte) && length + 2 > kInputLineLimit) {
    refuseNextByte = true;
    return false;
  }
  console.inputBuffer[length] = byte;
  console.inputLength.store(length + 1, std::memory_order_relaxed);
  TrackedString typed = StrFresh(2);
  typed[0] = byte;
  ReplaceEcho(echo, typed);
  return true;
}

// Caret off, the change printed at the cursor, caret on again where the cursor now stands.
void Echo(HWND window, TrackedString echo) {
  SendMessageA(window, WM_KILLFOCUS, 0, 0);
  const int length = StrLength(echo);
  TrackedString copy = StrNew(length);
  RtlMoveMemory(copy, echo, length);
  PrintText(copy);
  SendMessageA(window, WM_SETFOCUS, 0, 0);
}

// A byte typed while no line is requested waits in the ring for a reader (a program's INKEY$).
void QueueKey(char byte) {
  const uint32_t tail = console.keyTail.load(std::memory_order_relaxed);
  if (tail - console.keyHead.load(std::memory_order_acquire) >= kKeyRingSize) return;
  console.keyRing[tail % kKeyRingSize] = byte;
  console.keyTail.store(tail + 1, std::memory_order_release);
}

}  // namespace

void EditorKeyDown(WPARAM virtualKey) {
  if (console.inputLength.load(std::memory_order_relaxed) == -1) {
    console.lastKey = static_cast<uint8_t>(virtualKey & 0xFF);
    // The cursor keys have no character: they queue the control codes the family's keyboard gives.
    switch (virtualKey) {
      case VK_RIGHT: QueueKey(0x1C); break;
      case VK_LEFT: QueueKey(0x1D); break;
      case VK_UP: QueueKey(0x1E); break;
      case VK_DOWN: QueueKey(0x1F); break;
      default: break;
    }
  }
}

void EditorChar(HWND window, WPARAM code, TrackedString& echo) {
  const int length = console.inputLength.load(std::memory_order_relaxed);
  if (length == -1) {
    QueueKey(static_cast<char>(code & 0xFF));
    return;
  }
  if (code == kBackspace || code == kEnter || code == kPaste) refuseNextByte = false;
  if (code == kBackspace) {
    Backspace(length);
  } else if (code == kEnter) {
    Enter(length, echo);
  } else if (code == kPaste) {
    if (!Paste(window, length, echo)) return;
  } else if (!TypeByte(static_cast<char>(code & 0xFF), length, echo)) {
    return;
  }
  Echo(window, echo);
}
