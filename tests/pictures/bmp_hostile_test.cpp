// Malformed and hostile BMP files are refused without pixels, or decoded within their bounds.
#include <climits>

#include "picture_test_support.h"
#include "platform/imaging/bmp_decoder.h"

namespace {

using platform::BmpStatus;

BmpStatus Status(const Bytes& file) {
  platform::DecodedImage image;
  const BmpStatus status = platform::BmpDecode(file.data(), file.size(), image);
  if (status != BmpStatus::kOk) {
    EXPECT_TRUE(image.pixels.empty()) << "a refused file left pixels";
  }
  return status;
}

BmpLayout Small24() {
  BmpLayout layout;
  layout.width = 5;
  layout.height = 3;
  layout.bitCount = 24;
  layout.pixels = PackRows(5, 3, 24, false, [](int x, int y) { return RGB(x * 40, y * 80, 7); });
  return layout;
}

// Overwrites a little-endian 32-bit field of a built file.
void Poke32(Bytes& file, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) file[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(BmpHostile, DimensionsOutsideTheCapsOrBelowOneAreRefusedBeforeAnyAllocation) {
  const struct {
    int32_t width, height;
    BmpStatus expected;
  } cases[] = {
      {16385, 1, BmpStatus::kTooLarge},     {1, 16385, BmpStatus::kTooLarge},
      {1, -16385, BmpStatus::kTooLarge},    {16384, 16384, BmpStatus::kTooLarge},  // 1 GiB of pixels
      {INT32_MAX, INT32_MAX, BmpStatus::kTooLarge}, {0, 3, BmpStatus::kBadHeader},
      {5, 0, BmpStatus::kBadHeader},        {-5, 3, BmpStatus::kBadHeader},
      {5, INT32_MIN, BmpStatus::kBadHeader},
  };
  for (const auto& c : cases) {
    BmpLayout layout = Small24();
    layout.width = c.width;
    layout.height = c.height;
    EXPECT_EQ(Status(BuildBmp(layout)), c.expected) << c.width << " x " << c.height;
  }
}

TEST(BmpHostile, APictureAtTheCapIsAcceptedWhenItsPixelsArePresent) {
  BmpLayout layout;
  layout.width = 16384;
  layout.height = 1;
  layout.bitCount = 1;
  layout.palette = {RGB(0, 0, 0), RGB(255, 255, 255)};
  layout.pixels.assign(16384 / 8, 0xAA);
  platform::DecodedImage image;
  const Bytes file = BuildBmp(layout);
  ASSERT_EQ(platform::BmpDecode(file.data(), file.size(), image), BmpStatus::kOk);
  EXPECT_EQ(image.pixels[0], RGB(255, 255, 255));
  EXPECT_EQ(image.pixels[16383], RGB(0, 0, 0));
}

TEST(BmpHostile, PixelOffsetsOutsideTheFileOrInsideTheHeadersAreRefused) {
  const Bytes good = BuildBmp(Small24());
  for (uint32_t offset : {static_cast<uint32_t>(good.size()) + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    Bytes file = good;
    Poke32(file, 10, offset);
    EXPECT_EQ(Status(file), BmpStatus::kTruncated) << offset;
  }
  Bytes file = good;
  Poke32(file, 10, 20);  // inside the info header
  EXPECT_EQ(Status(file), BmpStatus::kBadHeader);
}

TEST(BmpHostile, EveryTruncationIsRefusedUnlessOnlyTheLastRowsPaddingIsMissing) {
  // One file of each decoding path; each prefix either fails or gives the whole picture.
  std::vector<Bytes> files;
  files.push_back(BuildBmp(Small24()));
  BmpLayout indexed;
  indexed.headerSize = 124;
  indexed.width = 9;
  indexed.height = -4;
  indexed.bitCount = 4;
  indexed.palette = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)};
  indexed.colorsUsed = 3;
  indexed.pixels = PackRows(9, 4, 4, true, [](int x, int y) { return static_cast<uint32_t>(x + y) % 3; });
  files.push_back(BuildBmp(indexed));
  files.push_back(BuildBmp(RleLayout(4, 2, 8, {RGB(1, 1, 1), RGB(2, 2, 2)}, 2,
                                     {0x04, 0x01, 0x00, 0x00, 0x00, 0x04, 0, 1, 0, 1, 0x00, 0x01})));
  for (const Bytes& full : files) {
    platform::DecodedImage whole;
    ASSERT_EQ(platform::BmpDecode(full.data(), full.size(), whole), BmpStatus::kOk);
    for (size_t length = 0; length < full.size(); ++length) {
      platform::DecodedImage part;
      const BmpStatus status = platform::BmpDecode(full.data(), length, part);
      if (status == BmpStatus::kOk) {
        EXPECT_EQ(part.pixels, whole.pixels) << "prefix of " << length << " of " << full.size();
        EXPECT_GE(length, full.size() - 3) << "only row padding or end codes may be missing";
      } else {
        EXPECT_TRUE(part.pixels.empty());
      }
    }
    EXPECT_EQ(Status(Bytes(full.begin(), full.begin() + 30)), BmpStatus::kTruncated);
  }
}

TEST(BmpHostile, PaletteIndexesBeyondTheTableAreBlackNotReadPastIt) {
  BmpLayout layout;
  layout.width = 4;
  layout.height = 1;
  layout.bitCount = 8;
  layout.colorsUsed = 2;
  layout.palette = {RGB(10, 10, 10), RGB(20, 20, 20)};
  layout.pixels = {1, 2, 255, 0};
  platform::DecodedImage image;
  const Bytes file = BuildBmp(layout);
  ASSERT_EQ(platform::BmpDecode(file.data(), file.size(), image), BmpStatus::kOk);
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{RGB(20, 20, 20), 0, 0, RGB(10, 10, 10)}));
}

TEST(BmpHostile, AColourCountBeyondTheBitDepthIsCappedAndATableOutsideTheFileIsRefused) {
  BmpLayout layout;
  layout.width = 2;
  layout.height = 1;
  layout.bitCount = 1;
  layout.colorsUsed = 0xFFFFFFFF;  // at most two entries are read
  layout.palette = {RGB(1, 1, 1), RGB(2, 2, 2)};
  layout.pixels = {0x40, 0, 0, 0};
  EXPECT_EQ(Status(BuildBmp(layout)), BmpStatus::kOk);
  layout.bitCount = 8;  // now 256 entries are due and only two are there before the pixels end
  layout.pixels = {1, 0, 0, 0};
  Bytes file = BuildBmp(layout);
  Poke32(file, 10, 0);  // no offset: the table would run to the end of the file and beyond
  EXPECT_EQ(Status(file), BmpStatus::kTruncated);
}

TEST(BmpHostile, FormatsWindowsDoesNotReadAreRefused) {
  const struct {
    const char* what;
    uint32_t headerSize;
    uint16_t bitCount;
    uint32_t compression;
    int32_t height;
    BmpStatus expected;
  } cases[] = {
      {"two-bit pixels", 40, 2, BI_RGB, 3, BmpStatus::kUnsupported},
      {"no bit count", 40, 0, BI_RGB, 3, BmpStatus::kUnsupported},
      {"OS/2 2.x header", 64, 24, BI_RGB, 3, BmpStatus::kUnsupported},
      {"header size 41", 41, 24, BI_RGB, 3, BmpStatus::kUnsupported},
      {"embedded JPEG", 40, 24, 4, 3, BmpStatus::kUnsupported},
      {"RLE8 at four bits", 40, 4, BI_RLE8, 3, BmpStatus::kBadHeader},
      {"RLE4 at eight bits", 40, 8, BI_RLE4, 3, BmpStatus::kBadHeader},
      {"top-down RLE", 40, 8, BI_RLE8, -3, BmpStatus::kBadHeader},
      {"bit fields at 24 bits", 40, 24, BI_BITFIELDS, 3, BmpStatus::kBadHeader},
  };
  for (const auto& c : cases) {
    BmpLayout layout = Small24();
    layout.headerSize = c.headerSize;
    layout.bitCount = c.bitCount;
    layout.compression = c.compression;
    layout.height = c.height;
    layout.palette.assign(c.bitCount <= 8 && c.bitCount > 0 ? 1u << c.bitCount : 0u, RGB(1, 1, 1));
    layout.masks[0] = 0xFF0000;
    EXPECT_EQ(Status(BuildBmp(layout)), c.expected) << c.what;
  }
  Bytes notBmp = BuildBmp(Small24());
  notBmp[1] = 'A';
  EXPECT_EQ(Status(notBmp), BmpStatus::kNotBmp);
  EXPECT_EQ(Status(Bytes{}), BmpStatus::kNotBmp);
  EXPECT_EQ(Status(Bytes{'B'}), BmpStatus::kNotBmp);
  EXPECT_EQ(Status(Bytes{'B', 'M'}), BmpStatus::kTruncated);
}

TEST(BmpHostile, ColourMasksWithHolesAreRefused) {
  BmpLayout layout = Small24();
  layout.bitCount = 32;
  layout.compression = BI_BITFIELDS;
  layout.masks[0] = 0x00FF00FF;
  layout.masks[1] = 0x0000FF00;
  layout.masks[2] = 0;
  layout.pixels.assign(5 * 3 * 4, 0x11);
  EXPECT_EQ(Status(BuildBmp(layout)), BmpStatus::kBadHeader);
}

TEST(BmpHostile, RleStreamsThatPaintFarOutsideThePictureStayWithinIt) {
  BmpLayout layout = RleLayout(3, 2, 4, {RGB(1, 1, 1), RGB(2, 2, 2)}, 0, {});
  // Thousands of maximal runs and deltas, then literals, all far to the right of the picture.
  for (int i = 0; i < 4000; ++i) {
    layout.pixels.insert(layout.pixels.end(), {0xFF, 0x11, 0x00, 0x02, 0xFF, 0x00});
  }
  layout.pixels.insert(layout.pixels.end(), {0x00, 0xFF});
  layout.pixels.insert(layout.pixels.end(), 128, 0x11);
  layout.pixels.insert(layout.pixels.end(), {0x00, 0x00, 0x01, 0x10, 0x00, 0x01});
  platform::DecodedImage image;
  const Bytes file = BuildBmp(layout);
  ASSERT_EQ(platform::BmpDecode(file.data(), file.size(), image), BmpStatus::kOk);
  EXPECT_EQ(image.pixels, (std::vector<uint32_t>{RGB(2, 2, 2), 0, 0, RGB(2, 2, 2), RGB(2, 2, 2), RGB(2, 2, 2)}));
}

TEST(BmpHostile, AnRleLiteralThatRunsPastTheEndOfTheFileIsTruncation) {
  BmpLayout layout;
  layout.width = 8;
  layout.height = 1;
  layout.bitCount = 8;
  layout.compression = BI_RLE8;
  layout.palette = {RGB(1, 1, 1)};
  layout.colorsUsed = 1;
  layout.pixels = {0x00, 0xF0, 0, 0, 0};  // promises 240 literal bytes
  EXPECT_EQ(Status(BuildBmp(layout)), BmpStatus::kTruncated);
}

}  // namespace
