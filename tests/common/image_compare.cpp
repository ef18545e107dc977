#include "tests/common/image_compare.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool SamePixel(uint32_t expected, uint32_t actual, int tolerance) {
  if ((expected >> 24) != (actual >> 24)) return false;
  for (int shift = 0; shift < 24; shift += 8) {
    const int e = static_cast<int>(expected >> shift & 0xFF);
    const int a = static_cast<int>(actual >> shift & 0xFF);
    if (std::abs(e - a) > tolerance) return false;
  }
  return true;
}

// Where the expected picture goes beside the actual one.
std::string ExpectedPathBeside(const std::string& actualPath) {
  const size_t at = actualPath.rfind("actual");
  if (at == std::string::npos) return actualPath + ".expected.png";
  return actualPath.substr(0, at) + "expected" + actualPath.substr(at + 6);
}

}  // namespace

std::string ColorText(uint32_t color) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", color);
  return text;
}

::testing::AssertionResult ImagesMatch(const PixelImage& expected, const PixelImage& actual,
                                       const std::string& actualPath, int tolerance) {
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
        if (SamePixel(expected.At(x, y), actual.At(x, y), tolerance)) continue;
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
    const std::string expectedPath = ExpectedPathBeside(actualPath);
    std::string error;
    if (WritePngFile(actualPath, actual, &error) && WritePngFile(expectedPath, expected, &error)) {
      problem += "; the actual image is in " + actualPath + ", the expected one in " + expectedPath;
    } else {
      problem += "; " + error;
    }
  }
  return ::testing::AssertionFailure() << problem;
}

PixelImage MakeImage(int width, int height, const std::function<uint32_t(int, int)>& color) {
  PixelImage image{width, height, {}};
  image.pixels.reserve(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.pixels.push_back(color(x, y));
  }
  return image;
}

PixelImage DcPixels(HDC dc, int width, int height) {
  return MakeImage(width, height, [dc](int x, int y) { return static_cast<uint32_t>(GetPixel(dc, x, y)); });
}

PixelImage LoadPngOrFail(const std::string& path) {
  PixelImage image;
  std::string error;
  EXPECT_TRUE(ReadPngFile(path, &image, &error)) << error;
  return image;
}

::testing::AssertionResult DcShows(HDC dc, int width, int height, const std::function<uint32_t(int x, int y)>& expected) {
  return ImagesMatch(MakeImage(width, height, expected), DcPixels(dc, width, height));
}
