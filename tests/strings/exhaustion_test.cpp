// When the runtime heap cannot give a block, the store says so and ends the process with code 3
// instead of writing through a null block.
#include <gtest/gtest.h>

#include <climits>

#include "tests/strings/string_store.h"

namespace {

class Exhaustion : public testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EnsureStringStore();
  }
};

TEST_F(Exhaustion, StringTooLargeForTheHeapEndsTheProcess) {
  EXPECT_EXIT(StrNew(INT_MAX), testing::ExitedWithCode(3), "runtime: cannot allocate a string of 2147483652 bytes");
}

TEST_F(Exhaustion, NegativeLengthEndsTheProcess) {
  EXPECT_EXIT(StrNew(-1), testing::ExitedWithCode(3), "cannot allocate a string of -1 bytes");
}

TEST_F(Exhaustion, ConcatBeyondTheLengthFieldEndsTheProcess) {
  EXPECT_EXIT(
      {
        // Two strings whose lengths sum past 2^31 - 1; only their length fields are made large.
        TrackedString a = StrNew(1);
        TrackedString b = StrNew(1);
        int32_t big = INT_MAX - 1;
        RtlMoveMemory(a - 4, &big, 4);
        RtlMoveMemory(b - 4, &big, 4);
        StrConcat(a, b);
      },
      testing::ExitedWithCode(3), "cannot allocate a string");
}

TEST_F(Exhaustion, MemAllocBeyondTheHeapEndsTheProcess) {
  EXPECT_EXIT(MemAlloc(static_cast<SIZE_T>(-1)), testing::ExitedWithCode(3), "cannot allocate a block");
}

}  // namespace
