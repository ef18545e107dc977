// The allocation-failure hook of our platform layer, for tests.
#include "support/allocation_faults.h"

#include "platform/kernel32/allocation_faults.h"

void SupportFailAllocation(SupportAllocation kind, uint64_t n, SupportFailing failing,
                           void (*onFail)(const char* what)) {
  platform::ArmAllocationFault(
      kind == SupportAllocation::kHeap ? platform::AllocationKind::kHeap : platform::AllocationKind::kGdiObject, n,
      failing == SupportFailing::kThatOneAndLater, onFail);
}

SupportAllocationReport SupportStopAllocationFaults() {
  const platform::AllocationFaultReport seen = platform::DisarmAllocationFault();
  SupportAllocationReport report;
  report.heap = seen.heapCount;
  report.gdiObjects = seen.gdiObjectCount;
  report.failed = seen.failed;
  report.failedWhat = seen.failedWhat != nullptr ? seen.failedWhat : "";
  report.failedOnCallingThread = seen.failedOnArmingThread;
  report.failures = seen.failures;
  return report;
}
