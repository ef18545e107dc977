// FitSize completes a missing side from the bitmap's aspect ratio, truncating toward zero.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "graphics/surface.h"

namespace {

std::pair<int32_t, int32_t> Fit(int32_t width, int32_t height, int32_t naturalWidth, int32_t naturalHeight) {
  FitSize(width, height, naturalWidth, naturalHeight);
  return {width, height};
}

using Size = std::pair<int32_t, int32_t>;

TEST(FitSize, BothSidesMissingGiveTheNaturalSize) {
  EXPECT_EQ(Fit(-1, -1, 640, 400), Size(640, 400));
  EXPECT_EQ(Fit(0, 0, 640, 400), Size(640, 400));
  EXPECT_EQ(Fit(0, -7, 640, 200), Size(640, 200));
}

TEST(FitSize, OneMissingSideFollowsTheAspectRatio) {
  EXPECT_EQ(Fit(0, 200, 640, 400), Size(320, 200));
  EXPECT_EQ(Fit(320, 0, 640, 200), Size(320, 100));
  EXPECT_EQ(Fit(320, -1, 640, 400), Size(320, 200));
}

TEST(FitSize, BothSidesGivenStayWhateverTheRatio) {
  EXPECT_EQ(Fit(640, 400, 640, 200), Size(640, 400));
  EXPECT_EQ(Fit(1, 1, 640, 200), Size(1, 1));
}

TEST(FitSize, TruncatesTheDoubleProductTowardZero) {
  // 10 x (2 / 3) = 6.67: truncated, not rounded.
  EXPECT_EQ(Fit(10, 0, 3, 2), Size(10, 6));
  // 2 / 49 in double precision makes 49 x (2 / 49) fall just short of 2.
  EXPECT_EQ(Fit(49, 0, 49, 2), Size(49, 1));
}

TEST(FitSize, AProductBeyond32BitsDoesNotWrapIntoAPlausibleSize) {
  auto [width, height] = Fit(2000000000, 0, 1, 4);
  EXPECT_EQ(width, 2000000000);
  EXPECT_LE(height, 0);
}

}  // namespace
