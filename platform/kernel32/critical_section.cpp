// Critical sections: a recursive lock built inside the section's own opaque storage, so a section
// needs no allocation and lives wherever the caller puts it.
#include <mutex>
#include <new>

#include "platform/kernel32/kernel32.h"

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::Opaque), "lock does not fit");
static_assert(alignof(std::recursive_mutex) <= alignof(CRITICAL_SECTION), "lock is misaligned");

std::recursive_mutex* LockOf(LPCRITICAL_SECTION section) {
  return std::launder(reinterpret_cast<std::recursive_mutex*>(section->Opaque));
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  new (lpCriticalSection->Opaque) std::recursive_mutex();
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) { LockOf(lpCriticalSection)->lock(); }

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  return LockOf(lpCriticalSection)->try_lock() ? TRUE : FALSE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) { LockOf(lpCriticalSection)->unlock(); }

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  LockOf(lpCriticalSection)->~recursive_mutex();
}
