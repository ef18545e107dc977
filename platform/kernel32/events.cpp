// Events: manual-reset and auto-reset, optionally named (a second CreateEventA of the same name opens
// the same event and says ERROR_ALREADY_EXISTS).
#include <map>
#include <string>

#include "platform/kernel32/dispatcher.h"

namespace platform::kernel {
namespace {

struct EventObject : Waitable {
  static constexpr ObjectKind kKind = ObjectKind::Event;
  EventObject(bool manual, bool initial) : Waitable(kKind), manualReset(manual), signaled(initial) {}
  bool Signaled() const override { return signaled; }
  void Acquire() override {
    if (!manualReset) signaled = false;
  }
  const bool manualReset;
  bool signaled;  // guarded by DispatchLock
};

// Named events, kept while any handle refers to them; guarded by DispatchLock.
std::map<std::string, std::weak_ptr<EventObject>>& NamedEvents() {
  static auto* names = new std::map<std::string, std::weak_ptr<EventObject>>;
  return *names;
}

BOOL SetSignaled(HANDLE hEvent, bool signaled) {
  std::shared_ptr<EventObject> event = HandleGet<EventObject>(hEvent);
  if (!event) return FALSE;
  std::lock_guard<std::mutex> lock(DispatchLock());
  event->signaled = signaled;
  if (signaled) DispatchChanged().notify_all();
  return TRUE;
}

}  // namespace
}  // namespace platform::kernel

using namespace platform::kernel;

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                    LPCSTR lpName) {
  (void)lpEventAttributes;
  std::shared_ptr<EventObject> event;
  bool existed = false;
  {
    std::lock_guard<std::mutex> lock(DispatchLock());
    if (lpName) {
      std::weak_ptr<EventObject>& slot = NamedEvents()[lpName];
      event = slot.lock();
      existed = event != nullptr;
      if (!event) slot = event = std::make_shared<EventObject>(bManualReset, bInitialState);
    } else {
      event = std::make_shared<EventObject>(bManualReset, bInitialState);
    }
  }
  HANDLE handle = HandleInsert(event);
  if (handle) SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL SetEvent(HANDLE hEvent) { return SetSignaled(hEvent, true); }

BOOL ResetEvent(HANDLE hEvent) { return SetSignaled(hEvent, false); }
