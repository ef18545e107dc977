// Every BMP variant decodes to the pixels it was written from.
#include "picture_test_support.h"
#include "platform/imaging/bmp_decoder.h"

namespace {

const std::vector<uint32_t> kPalette = {
    RGB(10, 20, 30),   RGB(250, 0, 0),    RGB(0, 250, 0),    RGB(0, 0, 250),   RGB(255, 255, 0),  RGB(0, 255, 255),
    RGB(255, 0, 255),  RGB(128, 128, 128), RGB(1, 2, 3),     RGB(200, 100, 50), RGB(50, 100, 200), RGB(99, 0, 99),
    RGB(255, 255, 255), RGB(17, 34, 51),  RGB(60, 70, 80),   RGB(240, 230, 220)};

// Sizes whose rows end in the middle of a byte and need padding at every bit count.
constexpr int kWidth = 13;
constexpr int kHeight = 7;

uint32_t IndexAt(int x, int y, int colors) { return static_cast<uint32_t>(x * 3 + y * 5) % colors; }
uint32_t TrueColorAt(int x, int y) { return RGB(x * 19, y * 37, (x * y * 7) & 0xFF); }

// Bit replication, written out for the widths the tests use.
uint32_t Widen5(uint32_t v) { return v << 3 | v >> 2; }
uint32_t Widen6(uint32_t v) { return v << 2 | v >> 4; }

PixelImage Decode(const Bytes& file) {
  platform::DecodedImage image;
  const platform::BmpStatus status = platform::BmpDecode(file.data(), file.size(), image);
  EXPECT_EQ(status, platform::BmpStatus::kOk) << platform::BmpStatusName(status);
  return PixelImage{image.width, image.height, image.pixels};
}

std::string Name(const char* what, uint32_t header, int bits, bool topDown) {
  return std::string(what) + "-h" + std::to_string(header) + "-" + std::to_string(bits) + (topDown ? "-topdown" : "");
}

TEST(BmpVariants, IndexedPicturesTakeEveryPixelFromThePaletteInEveryHeaderAndRowOrder) {
  for (uint32_t header : {12u, 40u, 56u, 108u, 124u}) {
    for (int bits : {1, 4, 8}) {
      for (bool topDown : {false, true}) {
        if (topDown && header == 12) continue;  // core heights are unsigned
        const int colors = std::min(1 << bits, static_cast<int>(kPalette.size()));
        BmpLayout layout;
        layout.headerSize = header;
        layout.width = kWidth;
        layout.height = topDown ? -kHeight : kHeight;
        layout.bitCount = static_cast<uint16_t>(bits);
        layout.palette.assign(kPalette.begin(), kPalette.begin() + colors);
        layout.palette.resize(header == 12 ? (1u << bits) : colors, RGB(0, 0, 0));
        layout.colorsUsed = header == 12 ? 0 : static_cast<uint32_t>(colors);
        layout.pixels = PackRows(kWidth, kHeight, bits, topDown, [&](int x, int y) { return IndexAt(x, y, colors); });
        const PixelImage expected = MakeImage(kWidth, kHeight, [&](int x, int y) { return kPalette[IndexAt(x, y, colors)]; });
        EXPECT_TRUE(ImagesMatch(expected, Decode(BuildBmp(layout)), (Name("indexed", header, bits, topDown)) + ".actual.png"));
      }
    }
  }
}

TEST(BmpVariants, TwentyFourBitPicturesAreExactInEveryHeaderAndRowOrder) {
  for (uint32_t header : {12u, 40u, 52u, 56u, 108u, 124u}) {
    for (bool topDown : {false, true}) {
      if (topDown && header == 12) continue;
      BmpLayout layout;
      layout.headerSize = header;
      layout.width = kWidth;
      layout.height = topDown ? -kHeight : kHeight;
      layout.bitCount = 24;
      layout.pixels = PackRows(kWidth, kHeight, 24, topDown, TrueColorAt);
      EXPECT_TRUE(ImagesMatch(MakeImage(kWidth, kHeight, TrueColorAt), Decode(BuildBmp(layout)), (Name("rgb24", header, 24, topDown)) + ".actual.png"));
    }
  }
}

TEST(BmpVariants, SixteenBitRgbIsFiveFiveFiveWidenedByBitReplicationWithTheTopBitIgnored) {
  auto r = [](int x, int y) { return static_cast<uint32_t>(x * 2 + y) & 31; };
  auto g = [](int x, int y) { return static_cast<uint32_t>(x + y * 4) & 31; };
  auto b = [](int x, int y) { return static_cast<uint32_t>(31 - x + y) & 31; };
  BmpLayout layout;
  layout.width = kWidth;
  layout.height = kHeight;
  layout.bitCount = 16;
  layout.pixels = PackRows(kWidth, kHeight, 16, false, [&](int x, int y) { return 0x8000 | r(x, y) << 10 | g(x, y) << 5 | b(x, y); });
  const PixelImage expected = MakeImage(kWidth, kHeight, [&](int x, int y) {
    return RGB(Widen5(r(x, y)), Widen5(g(x, y)), Widen5(b(x, y)));
  });
  EXPECT_TRUE(ImagesMatch(expected, Decode(BuildBmp(layout)), "rgb555.actual.png"));
}

TEST(BmpVariants, SixteenBitFieldsFiveSixFiveWidenByReplicationWithMasksAfterOrInsideTheHeader) {
  auto r = [](int x, int y) { return static_cast<uint32_t>(x * 2 + y) & 31; };
  auto g = [](int x, int y) { return static_cast<uint32_t>(x * 5 + y * 3) & 63; };
  auto b = [](int x, int y) { return static_cast<uint32_t>(y * 4 + x) & 31; };
  for (uint32_t header : {40u, 52u, 124u}) {
    BmpLayout layout;
    layout.headerSize = header;
    layout.width = kWidth;
    layout.height = -kHeight;
    layout.bitCount = 16;
    layout.compression = BI_BITFIELDS;
    layout.masks[0] = 0xF800;
    layout.masks[1] = 0x07E0;
    layout.masks[2] = 0x001F;
    layout.pixels = PackRows(kWidth, kHeight, 16, true, [&](int x, int y) { return r(x, y) << 11 | g(x, y) << 5 | b(x, y); });
    const PixelImage expected = MakeImage(kWidth, kHeight, [&](int x, int y) {
      return RGB(Widen5(r(x, y)), Widen6(g(x, y)), Widen5(b(x, y)));
    });
    EXPECT_TRUE(ImagesMatch(expected, Decode(BuildBmp(layout)), ("rgb565-h" + std::to_string(header)) + ".actual.png"));
  }
}

TEST(BmpVariants, ThirtyTwoBitRgbIgnoresTheHighByte) {
  BmpLayout layout;
  layout.width = kWidth;
  layout.height = kHeight;
  layout.bitCount = 32;
  layout.pixels = PackRows(kWidth, kHeight, 32, false, [](int x, int y) {
    const uint32_t c = TrueColorAt(x, y);  // stored as 0xAARRGGBB, the alpha byte arbitrary
    return 0xA5000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  });
  EXPECT_TRUE(ImagesMatch(MakeImage(kWidth, kHeight, TrueColorAt), Decode(BuildBmp(layout)), "rgb32.actual.png"));
}

TEST(BmpVariants, ThirtyTwoBitFieldsOfAnyWidthAndOrderScaleToEightBits) {
  struct Case {
    const char* name;
    uint32_t masks[3];
    std::function<uint32_t(uint32_t r, uint32_t g, uint32_t b)> pack;  // channel values at their mask width
    std::function<uint32_t(uint32_t r, uint32_t g, uint32_t b)> expect;
    uint32_t rMax, gMax, bMax;
  };
  const Case cases[] = {
      {"bgr-swapped", {0x000000FF, 0x0000FF00, 0x00FF0000},
       [](uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16 | 0x7F000000u; },
       [](uint32_t r, uint32_t g, uint32_t b) { return RGB(r, g, b); }, 255, 255, 255},
      {"ten-bit", {0x3FF00000, 0x000FFC00, 0x000003FF},
       [](uint32_t r, uint32_t g, uint32_t b) { return r << 20 | g << 10 | b; },
       [](uint32_t r, uint32_t g, uint32_t b) { return RGB(r >> 2, g >> 2, b >> 2); }, 1023, 1023, 1023},
      {"three-three-two", {0xE0000000, 0x1C000000, 0x03000000},
       [](uint32_t r, uint32_t g, uint32_t b) { return r << 29 | g << 26 | b << 24; },
       [](uint32_t r, uint32_t g, uint32_t b) {
         return RGB(r << 5 | r << 2 | r >> 1, g << 5 | g << 2 | g >> 1, b << 6 | b << 4 | b << 2 | b);
       }, 7, 7, 3},
      {"no-blue", {0x00FF0000, 0x0000FF00, 0},
       [](uint32_t r, uint32_t g, uint32_t) { return r << 16 | g << 8 | 0xFF; },
       [](uint32_t r, uint32_t g, uint32_t) { return RGB(r, g, 0); }, 255, 255, 255},
  };
  for (const Case& c : cases) {
    auto r = [&](int x, int y) { return static_cast<uint32_t>(x * 41 + y * 7) % (c.rMax + 1); };
    auto g = [&](int x, int y) { return static_cast<uint32_t>(x * 3 + y * 59) % (c.gMax + 1); };
    auto b = [&](int x, int y) { return static_cast<uint32_t>(x * y + 5) % (c.bMax + 1); };
    BmpLayout layout;
    layout.headerSize = 108;
    layout.width = kWidth;
    layout.height = kHeight;
    layout.bitCount = 32;
    layout.compression = BI_BITFIELDS;
    for (int i = 0; i < 3; ++i) layout.masks[i] = c.masks[i];
    layout.pixels = PackRows(kWidth, kHeight, 32, false, [&](int x, int y) { return c.pack(r(x, y), g(x, y), b(x, y)); });
    const PixelImage expected = MakeImage(kWidth, kHeight, [&](int x, int y) { return c.expect(r(x, y), g(x, y), b(x, y)); });
    EXPECT_TRUE(ImagesMatch(expected, Decode(BuildBmp(layout)), (std::string("fields-") + c.name) + ".actual.png"));
  }
}

TEST(BmpVariants, PixelsAreReadFromTheFileHeadersOffsetAndTheLastRowMayLackItsPadding) {
  BmpLayout layout;
  layout.width = kWidth;
  layout.height = kHeight;
  layout.bitCount = 24;
  layout.gapBeforePixels = 37;  // bytes that are not pixels
  layout.pixels = PackRows(kWidth, kHeight, 24, false, TrueColorAt);
  Bytes file = BuildBmp(layout);
  EXPECT_TRUE(ImagesMatch(MakeImage(kWidth, kHeight, TrueColorAt), Decode(file), "offset.actual.png"));
  file.resize(file.size() - 1);  // 13 pixels of 3 bytes leave one byte of padding
  EXPECT_TRUE(ImagesMatch(MakeImage(kWidth, kHeight, TrueColorAt), Decode(file), "unpadded-last-row.actual.png"));
}

TEST(BmpVariants, AShortCoreColourTableEndsWhereThePixelsBegin) {
  BmpLayout layout;
  layout.headerSize = 12;
  layout.width = kWidth;
  layout.height = kHeight;
  layout.bitCount = 8;
  layout.palette.assign(kPalette.begin(), kPalette.begin() + 6);  // 6 of 256 entries
  layout.pixels = PackRows(kWidth, kHeight, 8, false, [](int x, int y) { return IndexAt(x, y, 6); });
  const PixelImage expected = MakeImage(kWidth, kHeight, [](int x, int y) { return kPalette[IndexAt(x, y, 6)]; });
  EXPECT_TRUE(ImagesMatch(expected, Decode(BuildBmp(layout)), "core-short-table.actual.png"));
}

}  // namespace
