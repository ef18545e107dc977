// The environment of the suites that drive the whole program: it starts once per test executable, on
// a headless 1024 x 768 screen, before the first test.
#pragma once

#include <gtest/gtest.h>

#include "program/program_main.h"
#include "support/display.h"

class HeadlessProgramEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(SupportUseHeadlessDisplay(1024, 768));
    ProgramStartup();
  }
};
