// CloseHandle: threads, events and files. Heaps and global memory have their own release calls.
#include "platform/kernel32/handle_table.h"

using namespace platform::kernel;

BOOL CloseHandle(HANDLE hObject) {
  // The pseudo-handle of the current process needs no closing.
  if (hObject == GetCurrentProcess()) return TRUE;
  unsigned closable = KindBit(ObjectKind::Thread) | KindBit(ObjectKind::Event) | KindBit(ObjectKind::File);
  return HandleRemove(hObject, closable) ? TRUE : FALSE;
}
