// What the display shows for a window: the surface with the caret and composition over a copy, and
// every pixel enlarged to a block.
#include <gtest/gtest.h>

#include <climits>

#include "platform/display/pixel_replication.h"
#include "platform/display/window_frame.h"

using namespace platform;
using namespace platform::display;

namespace {

constexpr uint32_t kMargin = 0xDEADBEEFu;  // what replication must leave alone: the pitch's spare pixels

TEST(PixelReplication, EveryPixelBecomesABlockAndTheUncoveredPartIsBlack) {
  const uint32_t src[] = {1, 2, 3, 4, 5, 6};  // 3 x 2
  constexpr int kW = 11, kH = 7, kPitch = 12;
  std::vector<uint32_t> dst(kPitch * kH, kMargin);
  ReplicatePixels(src, 3, 2, 3, dst.data(), kW, kH, kPitch);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const uint32_t expected = x < 9 && y < 6 ? src[(y / 3) * 3 + x / 3] : 0u;
      EXPECT_EQ(dst[y * kPitch + x], expected) << x << "," << y;
    }
    EXPECT_EQ(dst[y * kPitch + kW], kMargin) << "row " << y << " written past its width";
  }
}

TEST(PixelReplication, WhatDoesNotFitIsCutOff) {
  const uint32_t src[] = {1, 2, 3, 4};  // 2 x 2
  std::vector<uint32_t> dst(3 * 3, kMargin);
  ReplicatePixels(src, 2, 2, 2, dst.data(), 3, 3, 3);
  EXPECT_EQ(dst, (std::vector<uint32_t>{1, 1, 2, 1, 1, 2, 3, 3, 4}));
  // Scale 1 is a copy; an empty source leaves black.
  ReplicatePixels(src, 2, 2, 1, dst.data(), 2, 2, 3);
  EXPECT_EQ(dst[0], 1u);
  EXPECT_EQ(dst[4], 4u);
  ReplicatePixels(nullptr, 0, 0, 2, dst.data(), 3, 3, 3);
  EXPECT_EQ(dst, std::vector<uint32_t>(9, 0u));
}

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    std::lock_guard<RankedMutex> lock(SurfaceLock());
    surface.Resize(4, 3);
    for (int i = 0; i < 12; ++i) surface.bits[i] = 0x00102030u + i;
  }
  uint32_t At(const WindowFrame& f, int x, int y) { return f.pixels[y * f.width + x]; }
  DisplaySurface surface;
};

TEST_F(Frame, TheCaretInvertsACopyAndIsClipped) {
  Overlay overlay;
  overlay.caret = RECT{2, 1, 9, 9};
  overlay.caretShown = true;
  WindowFrame f = ComposeWindowFrame(surface, overlay);
  ASSERT_EQ(f.width, 4);
  ASSERT_EQ(f.height, 3);
  EXPECT_EQ(At(f, 1, 1), 0x00102030u + 5);
  EXPECT_EQ(At(f, 2, 1), (0x00102030u + 6) ^ 0xFFFFFFu);
  EXPECT_EQ(At(f, 3, 2), (0x00102030u + 11) ^ 0xFFFFFFu);
  EXPECT_EQ(surface.bits[6], 0x00102030u + 6);  // the surface itself is untouched
  overlay.caretShown = false;
  EXPECT_EQ(At(ComposeWindowFrame(surface, overlay), 2, 1), 0x00102030u + 6);
}

TEST_F(Frame, TheCompositionCoversThePixelsUnderItAndIsClippedAtEveryEdge) {
  Overlay overlay;
  overlay.caret = RECT{0, 0, 4, 3};
  overlay.caretShown = true;  // under the composition
  overlay.composition = OverlayImage{POINT{-1, 1}, 3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}};
  WindowFrame f = ComposeWindowFrame(surface, overlay);
  EXPECT_EQ(At(f, 0, 1), 2u);
  EXPECT_EQ(At(f, 1, 1), 3u);
  EXPECT_EQ(At(f, 1, 2), 6u);
  EXPECT_EQ(At(f, 2, 1), (0x00102030u + 6) ^ 0xFFFFFFu);
  EXPECT_EQ(At(f, 0, 0), 0x00102030u ^ 0xFFFFFFu);
  overlay.composition.at = POINT{3, -2};
  f = ComposeWindowFrame(surface, overlay);
  EXPECT_EQ(At(f, 3, 0), 7u);
  EXPECT_EQ(At(f, 2, 0), (0x00102030u + 2) ^ 0xFFFFFFu);
}

// An image placed at the far end of the int range (or at its start) covers nothing and overflows
// nothing on the way.
TEST_F(Frame, ACompositionAtTheEdgeOfTheRangeCoversNothing) {
  Overlay overlay;
  overlay.composition = OverlayImage{POINT{INT_MAX - 1, INT_MAX - 1}, 3, 3, std::vector<uint32_t>(9, 7u)};
  EXPECT_EQ(ComposeWindowFrame(surface, overlay).pixels, CopySurfaceLocked(surface).pixels);
  overlay.composition.at = POINT{INT_MIN, INT_MIN};
  EXPECT_EQ(ComposeWindowFrame(surface, overlay).pixels, CopySurfaceLocked(surface).pixels);
}

}  // namespace
