// The one picture comparison of the tests: size first, then every pixel; a mismatch names the number of
// differing pixels and the first one with its coordinates and both values, and writes the actual image
// (and the expected one beside it) so a person can open both.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win32.h"
#include "tools/png_file.h"

// Compares `actual` with `expected`, each channel within `tolerance` (the unused high byte exactly). On
// a mismatch, writes `actual` to `actualPath` (when not empty) and `expected` beside it, named with
// "expected" for "actual", and says so in the failure message.
::testing::AssertionResult ImagesMatch(const PixelImage& expected, const PixelImage& actual,
                                       const std::string& actualPath = "", int tolerance = 0);

// A width x height picture of `color(x, y)`.
PixelImage MakeImage(int width, int height, const std::function<uint32_t(int x, int y)>& color);

// The width x height pixels at the origin of `dc`, read with GetPixel.
PixelImage DcPixels(HDC dc, int width, int height);

// Whether the width x height pixels at the origin of `dc` are `expected(x, y)`, through ImagesMatch.
::testing::AssertionResult DcShows(HDC dc, int width, int height, const std::function<uint32_t(int x, int y)>& expected);

// Loads a PNG for a test, failing the test with the reason when it cannot.
PixelImage LoadPngOrFail(const std::string& path);

// "0xBBGGRR" for messages.
std::string ColorText(uint32_t color);
