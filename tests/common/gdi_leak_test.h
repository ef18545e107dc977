// The fixture of tests that draw or load pictures: each test starts and ends with the same number of
// live GDI objects.
#pragma once

#include <gtest/gtest.h>

#include "platform/win32.h"

class GdiLeakTest : public ::testing::Test {
 protected:
  void SetUp() override { startObjects_ = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }
  void TearDown() override {
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), startObjects_) << "GDI objects leaked by the test";
  }

 private:
  DWORD startObjects_ = 0;
};
