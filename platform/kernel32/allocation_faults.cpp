// The allocation-failure hook. The armed flag is the only thing an unarmed process ever reads.
#include "platform/kernel32/allocation_faults.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace platform {
namespace {

struct FaultPlan {
  std::mutex lock;
  AllocationKind kind = AllocationKind::kHeap;
  uint64_t failAt = 0;
  bool andLater = false;
  std::thread::id armingThread;
  void (*onFail)(const char* what) = nullptr;
  AllocationFaultReport report;
};

std::atomic<bool> armed{false};

FaultPlan& Plan() {
  static auto* plan = new FaultPlan;  // allocations may still come in while statics are destroyed
  return *plan;
}

}  // namespace

bool AllocationFails(AllocationKind kind, const char* what) {
  if (!armed.load(std::memory_order_acquire)) return false;
  FaultPlan& plan = Plan();
  std::lock_guard<std::mutex> guard(plan.lock);
  uint64_t& count = kind == AllocationKind::kHeap ? plan.report.heapCount : plan.report.gdiObjectCount;
  ++count;
  if (kind != plan.kind || plan.failAt == 0 || count < plan.failAt) return false;
  if (count > plan.failAt && !plan.andLater) return false;
  ++plan.report.failures;
  if (count > plan.failAt) return true;
  plan.report.failed = true;
  plan.report.failedWhat = what;
  plan.report.failedOnArmingThread = std::this_thread::get_id() == plan.armingThread;
  if (plan.onFail != nullptr) plan.onFail(what);
  return true;
}

void ArmAllocationFault(AllocationKind kind, uint64_t n, bool andLater, void (*onFail)(const char* what)) {
  FaultPlan& plan = Plan();
  std::lock_guard<std::mutex> guard(plan.lock);
  plan.kind = kind;
  plan.failAt = n;
  plan.andLater = andLater;
  plan.armingThread = std::this_thread::get_id();
  plan.onFail = onFail;
  plan.report = AllocationFaultReport{};
  armed.store(true, std::memory_order_release);
}

AllocationFaultReport DisarmAllocationFault() {
  FaultPlan& plan = Plan();
  std::lock_guard<std::mutex> guard(plan.lock);
  armed.store(false, std::memory_order_release);
  return plan.report;
}

}  // namespace platform
