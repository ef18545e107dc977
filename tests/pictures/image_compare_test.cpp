// The tests' picture comparison itself: a mismatch must be found, described and left on disk.
#include "picture_test_support.h"

namespace {

TEST(ImageCompare, ADifferentSizeFailsBeforeAnyPixelIsCompared) {
  const PixelImage expected = MakeImage(3, 2, [](int, int) { return 0u; });
  const ::testing::AssertionResult result = ImagesMatch(expected, MakeImage(2, 3, [](int, int) { return 0u; }));
  EXPECT_FALSE(result);
  EXPECT_NE(std::string(result.message()).find("size differs: expected 3 x 2, actual 2 x 3"), std::string::npos)
      << result.message();
}

TEST(ImageCompare, AMismatchNamesTheFirstPixelWithBothColoursAndWritesBothImages) {
  ScratchDir dir;
  const PixelImage expected = MakeImage(4, 3, [](int x, int y) { return RGB(x, y, 7); });
  PixelImage actual = expected;
  actual.pixels[1 * 4 + 2] = RGB(200, 1, 7);  // (2, 1)
  actual.pixels[2 * 4 + 3] = RGB(9, 9, 9);    // (3, 2)
  const std::string actualPath = dir.Path("case.actual.png");
  const ::testing::AssertionResult result = ImagesMatch(expected, actual, actualPath);
  ASSERT_FALSE(result);
  const std::string message = result.message();
  EXPECT_NE(message.find("2 pixels differ; the first at (2, 1): expected 0x070102, actual 0x0701C8"),
            std::string::npos)
      << message;
  PixelImage written;
  std::string error;
  ASSERT_TRUE(ReadPngFile(actualPath, &written, &error)) << error;
  EXPECT_EQ(written.pixels, actual.pixels);
  ASSERT_TRUE(ReadPngFile(dir.Path("case.expected.png"), &written, &error)) << error;
  EXPECT_EQ(written.pixels, expected.pixels);
}

TEST(ImageCompare, ToleranceAppliesToEachChannelAndNeverToTheUnusedByte) {
  const PixelImage expected = MakeImage(2, 1, [](int, int) { return RGB(100, 100, 100); });
  EXPECT_TRUE(ImagesMatch(expected, MakeImage(2, 1, [](int, int) { return RGB(104, 96, 100); }), "", 4));
  EXPECT_FALSE(ImagesMatch(expected, MakeImage(2, 1, [](int, int) { return RGB(105, 100, 100); }), "", 4));
  EXPECT_FALSE(ImagesMatch(expected, MakeImage(2, 1, [](int, int) { return 0x01646464u; }), "", 4));
}

}  // namespace
