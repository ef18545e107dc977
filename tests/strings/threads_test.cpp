// The registry under two threads creating and releasing strings at once, as the main and interface
// threads do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "support/debug_output.h"
#include "tests/strings/string_store.h"

namespace {

struct Worker {
  char tag;
  int rounds;
  bool intact = true;
};

DWORD WINAPI Churn(LPVOID arg) {
  auto* worker = static_cast<Worker*>(arg);
  std::vector<TrackedString> held;
  for (int i = 0; i < worker->rounds; i++) {
    TrackedString s = MakeString(std::string(1 + i % 7, worker->tag));
    held.push_back(s);
    // Keep a few alive, release others out of creation order, and build new ones from old ones.
    if (held.size() > 5) {
      TrackedString joined = StrConcat(held[1], held[3]);
      if (Contents(joined) != std::string(static_cast<size_t>(StrLength(joined)), worker->tag)) worker->intact = false;
      held.erase(held.begin() + 3);
      held.erase(held.begin() + 1);
      StrRelease(held.front());
      held.erase(held.begin());
      held.push_back(joined);
    }
  }
  for (TrackedString s : held) {
    if (Contents(s) != std::string(static_cast<size_t>(StrLength(s)), worker->tag)) worker->intact = false;
    StrRelease(s);
  }
  return 0;
}

TEST(RegistryThreads, TwoThreadsCreateAndReleaseAtOnce) {
  EnsureStringStore();
  SupportStartDebugCapture();
  int32_t before = RegistryCount();
  Worker a{'a', 3000}, b{'b', 3000};
  HANDLE ta = CreateThread(nullptr, 0, Churn, &a, 0, nullptr);
  HANDLE tb = CreateThread(nullptr, 0, Churn, &b, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(ta, INFINITE), WAIT_OBJECT_0);
  ASSERT_EQ(WaitForSingleObject(tb, INFINITE), WAIT_OBJECT_0);
  CloseHandle(ta);
  CloseHandle(tb);
  EXPECT_TRUE(a.intact);
  EXPECT_TRUE(b.intact);
  // Every string was found at its release, and the registry is back where it was.
  EXPECT_EQ(SupportTakeDebugOutput(), "");
  EXPECT_EQ(RegistryCount(), before);
  SupportStopDebugCapture();
}

}  // namespace
