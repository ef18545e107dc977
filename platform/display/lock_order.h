// Inside the platform layer only: the platform's locks and the order they are taken in. Outermost
// first:
//
//   the display choice  ->  the GDI lock (= the display's surface lock)  ->  the USER lock
//     ->  IMM32's contexts  ->  a backend's own lock  ->  the bitmap pool
//
// The display choice is held while the display opens (and waits for its thread to start), so it is
// taken before any other. A backend's own lock is never held while it calls out; the bitmap pool's
// lock guards a list of buffers and nothing else. Nobody waits for the display thread while holding
// a platform lock: the display thread takes the GDI lock to present and calls USER32 through its event
// sink, so such a wait could deadlock.
//
// Every thread keeps a record of the ranked locks it holds, and a broken rule ends the process at once
// with a message that names the locks, instead of a deadlock some day later. The record costs a few
// instructions a lock; it is kept in every build unless TILEPAINT_UNCHECKED_LOCKS is defined.
#pragma once

#include <mutex>

namespace platform {

enum class LockRank { kDisplayChoice = 1, kGdi, kUser, kImm, kBackend, kBitmapPool };

// A plain (non-recursive) mutex with a place in the lock order; meets the Lockable requirements, so
// std::lock_guard, std::unique_lock and std::condition_variable_any work with it.
class RankedMutex {
 public:
  explicit RankedMutex(LockRank rank) : rank_(rank) {}
  RankedMutex(const RankedMutex&) = delete;
  RankedMutex& operator=(const RankedMutex&) = delete;

  void lock();
  bool try_lock();
  void unlock();

  LockRank rank() const { return rank_; }

 private:
  std::mutex mutex_;
  const LockRank rank_;
};

// Whether this build keeps the record.
bool LockOrderChecked();

// Called before the calling thread blocks until the display thread has done something (`what` names
// it in the message): ends the process when the thread holds a platform lock.
void CheckMayWaitOnDisplay(const char* what);

}  // namespace platform
