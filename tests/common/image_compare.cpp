#include "tests/common/image_compare.h"

#include <cstdio>

std::string ColorText(uint32_t color) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", color & 0xFFFFFFu);
  return text;
}

::testing::AssertionResult ImagesMatch(const PixelImage& expected, const PixelImage& actual,
                                       const std::string& actualPath) {
  std::string problem;
  if (expected.width != actual.width || expected.height != actual.height) {
    problem = "size differs: expected " + std::to_string(expected.width) + " x " + std::to_string(expected.height) +
              ", actual " + std::to_string(actual.width) + " x " + std::to_string(actual.height);
  } else {
    long differing = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = 0; y < expected.height; ++y) {
      for (int x = 0; x < expected.width; ++x) {
        if (expected.At(x, y) == actual.At(x, y)) continue;
        if (differing++ == 0) {
          firstX = x;
          firstY = y;
        }
      }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    problem = std::to_string(differing) + " pixels differ; the first at (" + std::to_string(firstX) + ", " +
              std::to_string(firstY) + "): expected " + ColorText(expected.At(firstX, firstY)) + ", actual " +
              ColorText(actual.At(firstX, firstY));
  }
  if (!actualPath.empty()) {
    std::string error;
    if (WritePngFile(actualPath, actual, &error)) {
      problem += "; the actual image is in " + actualPath;
    } else {
      problem += "; " + error;
    }
  }
  return ::testing::AssertionFailure() << problem;
}

PixelImage LoadPngOrFail(const std::string& path) {
  PixelImage image;
  std::string error;
  EXPECT_TRUE(ReadPngFile(path, &image, &error)) << error;
  return image;
}
