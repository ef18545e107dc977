// The clipboard: handles given with SetClipboardData belong to it until it is emptied. CF_TEXT is
// CP932 with CR LF line ends; the display keeps it in step with the system clipboard.
#include <cstring>
#include <map>

#include "platform/display/display_backend.h"
#include "platform/kernel32/kernel32.h"
#include "platform/user32/user_internal.h"

namespace platform::user32 {
namespace {

struct ClipboardState {
  ThreadQueue* openBy = nullptr;  // the thread that has it open
  HWND openWindow = nullptr;
  HWND owner = nullptr;
  std::map<UINT, HGLOBAL> data;
  bool textChanged = false;  // CF_TEXT set since it was opened: hand it to the system on close
};

ClipboardState& Clip() {
  static auto* state = new ClipboardState();
  return *state;
}

bool OpenByCallerLocked(ThreadQueue* self) {
  if (Clip().openBy == self) return true;
  SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return false;
}

void FreeLocked(UINT format) {
  auto it = Clip().data.find(format);
  if (it == Clip().data.end()) return;
  GlobalFree(it->second);
  Clip().data.erase(it);
}

// The text of a CF_TEXT handle: its bytes up to the first zero, never past its size.
std::string TextOf(HGLOBAL mem) {
  const char* p = static_cast<const char*>(GlobalLock(mem));
  if (!p) return std::string();
  SIZE_T size = GlobalSize(mem);
  std::string text(p, strnlen(p, size));
  GlobalUnlock(mem);
  return text;
}

HGLOBAL TextHandle(const std::string& text) {
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!mem) return nullptr;
  char* p = static_cast<char*>(GlobalLock(mem));
  std::memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  return mem;
}

}  // namespace
}  // namespace platform::user32

using namespace platform::user32;

BOOL OpenClipboard(HWND hWndNewOwner) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  UserGuard lock(UserLock());
  if (Clip().openBy && Clip().openBy != self.get()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  Clip().openBy = self.get();
  Clip().openWindow = hWndNewOwner;
  return TRUE;
}

BOOL CloseClipboard(void) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  bool publish;
  std::string text;
  {
    UserGuard lock(UserLock());
    if (!OpenByCallerLocked(self.get())) return FALSE;
    publish = Clip().textChanged;
    if (publish) {
      auto it = Clip().data.find(CF_TEXT);
      if (it != Clip().data.end()) text = TextOf(it->second);
    }
    Clip().openBy = nullptr;
    Clip().openWindow = nullptr;
    Clip().textChanged = false;
  }
  if (publish && Display()) Display()->SetClipboardText(text);
  return TRUE;
}

BOOL EmptyClipboard(void) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  UserGuard lock(UserLock());
  if (!OpenByCallerLocked(self.get())) return FALSE;
  while (!Clip().data.empty()) FreeLocked(Clip().data.begin()->first);
  Clip().owner = Clip().openWindow;
  Clip().textChanged = true;
  return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  UserGuard lock(UserLock());
  if (!OpenByCallerLocked(self.get())) return nullptr;
  if (!hMem) {  // rendering on request is not supported
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto it = Clip().data.find(uFormat);
  if (it != Clip().data.end() && it->second != hMem) FreeLocked(uFormat);
  Clip().data[uFormat] = hMem;
  if (uFormat == CF_TEXT) Clip().textChanged = true;
  return hMem;
}

HANDLE GetClipboardData(UINT uFormat) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  {
    UserGuard lock(UserLock());
    if (!OpenByCallerLocked(self.get())) return nullptr;
  }
  // Text that another program put on the system clipboard replaces ours.
  std::string text;
  if (uFormat == CF_TEXT && Display() && Display()->GetClipboardText(&text)) {
    HGLOBAL mem = TextHandle(text);
    UserGuard lock(UserLock());
    if (mem) {
      FreeLocked(CF_TEXT);
      Clip().data[CF_TEXT] = mem;
      Clip().owner = nullptr;
    }
  }
  UserGuard lock(UserLock());
  auto it = Clip().data.find(uFormat);
  return it == Clip().data.end() ? nullptr : it->second;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  {
    UserGuard lock(UserLock());
    if (Clip().data.count(format)) return TRUE;
  }
  // Only looked at: the text is still new to GetClipboardData, which takes it.
  return format == CF_TEXT && Display() && Display()->HasClipboardText() ? TRUE : FALSE;
}
