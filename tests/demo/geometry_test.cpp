// Where the demonstration's boxes land and what fills them, checked without the golden images.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "tests/common/image_compare.h"
#include "tests/demo/demo_runner.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// A box outline seen on the window: columns left..right, rows top..bottom (inclusive, as the window
// shows them, so a doubled one-pixel edge is two rows), each edge `edge` rows thick.
struct ShownBox {
  int left, right, top, bottom, edge;
};

// Checks the outline and, inside it, every pixel against `interior`.
void ExpectBox(const PixelImage& image, const ShownBox& box, const std::function<uint32_t(int, int)>& interior) {
  ASSERT_GT(image.width, box.right + 1);
  ASSERT_GT(image.height, box.bottom + 1);
  for (int y = box.top; y <= box.bottom; ++y) {
    ASSERT_EQ(image.At(box.left, y), kWhite) << "left edge, row " << y;
    ASSERT_EQ(image.At(box.right, y), kWhite) << "right edge, row " << y;
  }
  for (int x = box.left; x <= box.right; ++x) {
    for (int e = 0; e < box.edge; ++e) {
      ASSERT_EQ(image.At(x, box.top + e), kWhite) << "top edge, column " << x;
      ASSERT_EQ(image.At(x, box.bottom - e), kWhite) << "bottom edge, column " << x;
    }
  }
  // The box spans exactly these rows: the pixels just outside it are not outline.
  EXPECT_NE(image.At(box.left, box.top - 1), kWhite) << "row " << box.top - 1 << " above the box";
  EXPECT_NE(image.At(box.left, box.bottom + 1), kWhite) << "row " << box.bottom + 1 << " below the box";
  for (int y = box.top + box.edge; y <= box.bottom - box.edge; ++y)
    for (int x = box.left + 1; x < box.right; ++x)
      ASSERT_EQ(image.At(x, y), interior(x, y)) << "inside, at (" << x << ", " << y << ")";
}

TEST(DemoGeometry, AfterStepFourTheFirstBoxIsFilledWithTheTileAtItsDrawnSize) {
  DemoDirectory directory(true);
  const PixelImage tile = TileOf(SnapshotAfterStep(directory, 0));
  const PixelImage shown = SnapshotAfterStep(directory, 4);
  ExpectBox(shown, {9, 60, 9, 60, 1}, [&](int x, int y) { return tile.At(x % 8, y % 8); });
}

TEST(DemoGeometry, AfterStepSixTheSamePictureIsStretchedVerticallyByTwo) {
  DemoDirectory directory(true);
  const PixelImage atFour = SnapshotAfterStep(directory, 4);
  const PixelImage atSix = SnapshotAfterStep(directory, 6);
  ASSERT_EQ(atSix.width, atFour.width);
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 640; x += 7) ASSERT_EQ(atSix.At(x, y), atFour.At(x, y / 2)) << "(" << x << ", " << y << ")";
}

TEST(DemoGeometry, AfterStepElevenTheSecondBoxIsDoubledOnceAndTheFirstTwice) {
  DemoDirectory directory(true);
  const PixelImage tile = TileOf(SnapshotAfterStep(directory, 0));
  const PixelImage shown = SnapshotAfterStep(directory, 11);
  // Drawn on rows 99..150 of a back buffer that already held the doubled picture.
  ExpectBox(shown, {99, 150, 198, 301, 2}, [&](int x, int y) { return tile.At(x % 8, (y / 2) % 8); });
  // Drawn on rows 9..60, shown doubled at step 6 and doubled again now.
  ExpectBox(shown, {9, 60, 36, 243, 4}, [&](int x, int y) { return tile.At(x % 8, (y / 4) % 8); });
}

TEST(DemoGeometry, TheTileIsThePicturesOwnTopLeftCorner) {
  DemoDirectory directory(true);
  const PixelImage afterSetUp = SnapshotAfterStep(directory, 0);
  // The picture is drawn at its natural size at the top-left corner; the tile is not plain.
  const PixelImage tile = TileOf(afterSetUp);
  int differentFromFirst = 0;
  for (uint32_t p : tile.pixels) differentFromFirst += p != tile.pixels[0];
  EXPECT_GT(differentFromFirst, 0);
  EXPECT_NE(afterSetUp.At(159, 119), 0u);
  EXPECT_EQ(afterSetUp.At(160, 119), 0u);
  EXPECT_EQ(afterSetUp.At(159, 120), 0u);
}

TEST(DemoGeometry, WithoutThePictureTheScriptRunsAndFillsWithTheBlackCorner) {
  DemoDirectory directory(false);
  const PixelImage shown = SnapshotAfterStep(directory, 11);
  auto black = [](int, int) { return 0u; };
  ExpectBox(shown, {99, 150, 198, 301, 2}, black);
  ExpectBox(shown, {9, 60, 36, 243, 4}, black);
}

TEST(SnapshotTool, RefusesABadCommandLine) {
  const std::string tool = "'" + BinaryPath("tilepaint-snapshot") + "'";
  EXPECT_NE(std::system((tool + " 2>/dev/null").c_str()), 0) << "no output file";
  EXPECT_NE(std::system((tool + " --after-step 12 x.png 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((tool + " --screen 800 x.png 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((tool + " /nonexistent-dir/x.png 2>/dev/null").c_str()), 0) << "unwritable output";
}

}  // namespace
