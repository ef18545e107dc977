#include "platform/display/lock_order.h"

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

#ifdef TILEPAINT_UNCHECKED_LOCKS
constexpr bool kChecked = false;
#else
constexpr bool kChecked = true;
#endif

const char* NameOf(LockRank rank) {
  switch (rank) {
    case LockRank::kDisplayChoice: return "display choice";
    case LockRank::kGdi: return "GDI";
    case LockRank::kUser: return "USER";
    case LockRank::kImm: return "input context";
    case LockRank::kBackend: return "display";
    case LockRank::kBitmapPool: return "bitmap pool";
  }
  return "?";
}

// The ranked locks the calling thread holds, in the order taken: one of each rank at the most.
struct Held {
  const RankedMutex* locks[8] = {};
  int count = 0;
};
thread_local Held held;

[[noreturn]] void Broken(const char* message) {
  std::fprintf(stderr, "lock order broken: %s\n", message);
  std::fflush(stderr);
  std::abort();
}

void CheckMayTake(const RankedMutex& m) {
  for (int i = 0; i < held.count; ++i) {
    if (static_cast<int>(held.locks[i]->rank()) < static_cast<int>(m.rank())) continue;
    char message[128];
    std::snprintf(message, sizeof message, "taking the %s lock while holding the %s lock", NameOf(m.rank()),
                  NameOf(held.locks[i]->rank()));
    Broken(message);
  }
}

void Record(const RankedMutex& m) {
  if (held.count == static_cast<int>(sizeof held.locks / sizeof held.locks[0])) Broken("too many locks held");
  held.locks[held.count++] = &m;
}

void Forget(const RankedMutex& m) {
  for (int i = held.count - 1; i >= 0; --i) {
    if (held.locks[i] != &m) continue;
    for (int j = i; j + 1 < held.count; ++j) held.locks[j] = held.locks[j + 1];
    --held.count;
    return;
  }
}

}  // namespace

void RankedMutex::lock() {
  if (kChecked) CheckMayTake(*this);
  mutex_.lock();
  if (kChecked) Record(*this);
}

// A try cannot deadlock, so it is not held to the order; a lock it takes is recorded all the same.
bool RankedMutex::try_lock() {
  if (!mutex_.try_lock()) return false;
  if (kChecked) Record(*this);
  return true;
}

void RankedMutex::unlock() {
  if (kChecked) Forget(*this);
  mutex_.unlock();
}

bool LockOrderChecked() { return kChecked; }

void CheckMayWaitOnDisplay(const char* what) {
  if (!kChecked || held.count == 0) return;
  char message[160];
  std::snprintf(message, sizeof message, "waiting for the display (%s) while holding the %s lock", what,
                NameOf(held.locks[held.count - 1]->rank()));
  Broken(message);
}

}  // namespace platform
