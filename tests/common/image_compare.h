// Comparing pictures in tests: size first, then every pixel; a mismatch names the number of differing
// pixels and the first one with its coordinates and both values, and writes the actual image beside
// the expected one so a person can open both.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tools/png_file.h"

// Compares `actual` with `expected`. On a mismatch, writes `actual` to `actualPath` (when not empty)
// and says so in the failure message.
::testing::AssertionResult ImagesMatch(const PixelImage& expected, const PixelImage& actual,
                                       const std::string& actualPath = "");

// Loads a PNG for a test, failing the test with the reason when it cannot.
PixelImage LoadPngOrFail(const std::string& path);

// "0xBBGGRR" for messages.
std::string ColorText(uint32_t color);
