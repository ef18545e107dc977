// RLE8 and RLE4 streams: runs, literal runs with their padding, end of line, delta, end of bitmap;
// untouched pixels are black and every write stays inside the picture.
#include "picture_test_support.h"
#include "platform/imaging/bmp_decoder.h"

namespace {

constexpr uint32_t B = 0;  // black: a pixel the stream never painted

std::vector<uint32_t> Palette16() {
  std::vector<uint32_t> palette;
  for (uint32_t i = 0; i < 16; ++i) palette.push_back(RGB(16 * i + 5, 200 - 10 * i, 7 * i + 1));
  return palette;
}

Bytes RleFile(int bits, int width, int height, const Bytes& stream) {
  return BuildBmp(RleLayout(width, height, static_cast<uint16_t>(bits), Palette16(), 16, stream));
}

// The expected picture from rows of palette indexes listed from the top, -1 for black.
PixelImage FromIndexes(int width, const std::vector<std::vector<int>>& rowsFromTop) {
  const std::vector<uint32_t> palette = Palette16();
  return MakeImage(width, static_cast<int>(rowsFromTop.size()), [&](int x, int y) {
    const int index = rowsFromTop[y][x];
    return index < 0 ? B : palette[index];
  });
}

platform::BmpStatus Decode(const Bytes& file, PixelImage& out) {
  platform::DecodedImage image;
  const platform::BmpStatus status = platform::BmpDecode(file.data(), file.size(), image);
  out = PixelImage{image.width, image.height, image.pixels};
  return status;
}

TEST(BmpRle, Rle8RunsLiteralsEndOfLineDeltaAndEndOfBitmapPaintFromTheBottomRow) {
  const Bytes stream = {
      0x03, 0x01, 0x00, 0x03, 0x02, 0x03, 0x04, 0x00,  // bottom row: run of three 1s, literal 2 3 4 + pad
      0x00, 0x00,                                      // end of line
      0x02, 0x05, 0x00, 0x00,                          // second row: two 5s, end of line
      0x00, 0x02, 0x03, 0x00, 0x01, 0x04,              // third row: delta right 3, one 4
      0x00, 0x02, 0x01, 0x01, 0x01, 0x00,              // delta right 1 and up 1, one 0
      0x00, 0x01};                                     // end of bitmap
  PixelImage decoded;
  ASSERT_EQ(Decode(RleFile(8, 6, 4, stream), decoded), platform::BmpStatus::kOk);
  EXPECT_TRUE(ImagesMatch(FromIndexes(6, {{-1, -1, -1, -1, -1, 0},
                                          {-1, -1, -1, 4, -1, -1},
                                          {5, 5, -1, -1, -1, -1},
                                          {1, 1, 1, 2, 3, 4}}), decoded, "rle8.actual.png"));
}

TEST(BmpRle, Rle4RunsAlternateTheirTwoIndexesAndLiteralsArePaddedToWholeWords) {
  const Bytes stream = {
      0x05, 0x12, 0x00, 0x00,                    // bottom row: 1 2 1 2 1
      0x00, 0x05, 0x34, 0x56, 0x70, 0x00,        // literal of five: three bytes, padded to four
      0x01, 0x9A, 0x00, 0x00,                    // a run of one takes the high nibble only
      0x00, 0x03, 0xBC, 0xD0, 0x00, 0x01};       // literal of three: two bytes, already even
  PixelImage decoded;
  ASSERT_EQ(Decode(RleFile(4, 6, 3, stream), decoded), platform::BmpStatus::kOk);
  EXPECT_TRUE(ImagesMatch(FromIndexes(6, {{11, 12, 13, -1, -1, -1},
                                          {3, 4, 5, 6, 7, 9},
                                          {1, 2, 1, 2, 1, -1}}), decoded, "rle4.actual.png"));
}

TEST(BmpRle, RunsPastTheRowEndAreClippedAndDoNotWrapIntoTheNextRow) {
  const Bytes stream = {
      0xFF, 0x01,                    // 255 pixels into a row of 4
      0x00, 0x00,
      0x00, 0x06, 1, 2, 3, 4, 5, 6,  // a literal of 6 into a row of 4
      0x00, 0x00,
      0x02, 0x03, 0x00, 0x01};
  PixelImage decoded;
  ASSERT_EQ(Decode(RleFile(8, 4, 3, stream), decoded), platform::BmpStatus::kOk);
  EXPECT_TRUE(ImagesMatch(FromIndexes(4, {{3, 3, -1, -1}, {1, 2, 3, 4}, {1, 1, 1, 1}}), decoded, "rle-clipped.actual.png"));
}

TEST(BmpRle, ADeltaAboveTheTopRowEndsTheStreamAndLaterCodesAreNotRead) {
  const Bytes stream = {0x02, 0x07, 0x00, 0x02, 0x00, 0xFF, 0x04, 0x08};  // nothing follows for 0x04 0x08
  PixelImage decoded;
  ASSERT_EQ(Decode(RleFile(8, 3, 2, stream), decoded), platform::BmpStatus::kOk);
  EXPECT_TRUE(ImagesMatch(FromIndexes(3, {{-1, -1, -1}, {7, 7, -1}}), decoded, "rle-delta-out.actual.png"));
}

TEST(BmpRle, AStreamWithoutEndOfBitmapIsCompleteOnceItsLastLineEnds) {
  const Bytes stream = {0x02, 0x01, 0x00, 0x00, 0x02, 0x02, 0x00, 0x00};
  PixelImage decoded;
  ASSERT_EQ(Decode(RleFile(8, 2, 2, stream), decoded), platform::BmpStatus::kOk);
  EXPECT_TRUE(ImagesMatch(FromIndexes(2, {{2, 2}, {1, 1}}), decoded, "rle-no-eob.actual.png"));
  // Cut inside the last row, the same stream is a truncated file.
  const Bytes cut(stream.begin(), stream.begin() + 6);
  EXPECT_EQ(Decode(RleFile(8, 2, 2, cut), decoded), platform::BmpStatus::kTruncated);
  EXPECT_TRUE(decoded.pixels.empty());
}

TEST(BmpRle, IndexesBeyondAShortPaletteAreBlack) {
  const BmpLayout layout = RleLayout(4, 1, 8, {RGB(9, 9, 9), RGB(200, 1, 1)}, 2, {0x02, 0x01, 0x02, 0xFF, 0x00, 0x01});
  PixelImage decoded;
  ASSERT_EQ(Decode(BuildBmp(layout), decoded), platform::BmpStatus::kOk);
  EXPECT_TRUE(ImagesMatch(MakeImage(4, 1, [](int x, int) { return x < 2 ? RGB(200, 1, 1) : 0u; }), decoded, "rle-short-palette.actual.png"));
}

}  // namespace
