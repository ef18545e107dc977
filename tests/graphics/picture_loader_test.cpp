// The picture loader: format sniffing, the loading steps and the states they leave.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "graphics/himetric.h"
#include "graphics/picture_loader.h"
#include "tests/common/bmp_writer.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

class PictureLoaderTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    PictureInit(&loader);
  }
  void TearDown() override {
    PictureDestroy(&loader);
    GraphicsTest::TearDown();
  }

  // The kind SniffFormat gives for a file holding `bytes`.
  int32_t Sniff(const std::vector<uint8_t>& bytes) {
    const std::string path = TempPath("sniff" + std::to_string(sniffed++));
    EXPECT_TRUE(WriteBytes(path, bytes));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    const int32_t kind = SniffFormat(&loader, file);
    // The file is left at its start for the step that follows.
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 0u);
    CloseHandle(file);
    return kind;
  }

  std::string WriteBmp(const std::string& name, int width, int height) {
    const std::string path = TempPath(name);
    EXPECT_TRUE(WriteBmp24(path, width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, 0x336699)));
    return path;
  }

  // A PNG signature followed by an IHDR chunk with the given size (nothing after it is looked at).
  static std::vector<uint8_t> PngHead(uint32_t width, uint32_t height) {
    std::vector<uint8_t> bytes = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t v : {width, height})
      for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(v >> shift));
    for (int i = 0; i < 9; ++i) bytes.push_back(0);
    return bytes;
  }

  void ExpectEmpty() {
    EXPECT_EQ(loader.kind, kPictureNone);
    EXPECT_EQ(loader.width, 0);
    EXPECT_EQ(loader.height, 0);
    EXPECT_EQ(loader.fileBitmap, nullptr);
    EXPECT_EQ(loader.picture, nullptr);
  }

  PictureLoader loader = {};
  int sniffed = 0;
};

TEST_F(PictureLoaderTest, SniffFormatDecidesByTheFirstBytes) {
  EXPECT_EQ(Sniff({0x42, 0x4D}), kPictureBmp);
  EXPECT_EQ(Sniff({0x42, 0x4D, 'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'}), kPictureBmp);
  EXPECT_EQ(Sniff({'G', 'I', 'F', '8', '9', 'a'}), kPictureGif);
  EXPECT_EQ(Sniff({'G', 'I', 'F', 'x', 'x', 'x'}), kPictureGif);  // version bytes not looked at
  EXPECT_EQ(Sniff({0xFF, 0xD8}), kPictureJpeg);
  EXPECT_EQ(Sniff({0xFF, 0xD8, 0x00}), kPictureJpeg);  // third byte not looked at
  EXPECT_EQ(Sniff({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}), kPicturePng);
}

TEST_F(PictureLoaderTest, SniffFormatRecognisesNothingElse) {
  EXPECT_EQ(Sniff({}), kPictureNone);
  EXPECT_EQ(Sniff({0xFF}), kPictureNone);  // the missing second byte compares as 0
  EXPECT_EQ(Sniff({0x42}), kPictureNone);
  EXPECT_EQ(Sniff({'G', 'I'}), kPictureNone);
  EXPECT_EQ(Sniff({0x4D, 0x42}), kPictureNone);
  for (int i = 4; i < 8; ++i) {
    std::vector<uint8_t> png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    png[i] ^= 0x01;
    EXPECT_EQ(Sniff(png), kPictureNone) << "byte " << i << " changed";
  }
  EXPECT_EQ(Sniff({0x89, 0x50, 0x4E, 0x47}), kPictureNone);
}

TEST_F(PictureLoaderTest, APngIsMeasuredButNeverDecoded) {
  const std::string path = TempPath("picture.png");
  ASSERT_TRUE(WriteBytes(path, PngHead(640, 480)));
  EXPECT_EQ(PictureLoadFile(&loader, path.c_str()), 0);
  EXPECT_EQ(loader.kind, kPicturePng);
  EXPECT_EQ(loader.width, 640);
  EXPECT_EQ(loader.height, 480);
  EXPECT_EQ(PictureGetBitmap(&loader), nullptr);
}

TEST_F(PictureLoaderTest, APngSizeIsReadBigEndian) {
  const std::string path = TempPath("wide.png");
  ASSERT_TRUE(WriteBytes(path, PngHead(0x01020304, 0x00000100)));
  PictureLoadFile(&loader, path.c_str());
  EXPECT_EQ(loader.width, 0x01020304);
  EXPECT_EQ(loader.height, 256);
}

TEST_F(PictureLoaderTest, ABmpLoadsAsABitmapOfItsOwnSize) {
  const std::string path = WriteBmp("three.bmp", 3, 2);
  ASSERT_EQ(PictureLoadFile(&loader, path.c_str()), 1);
  EXPECT_EQ(loader.kind, kPictureBmp);
  EXPECT_EQ(loader.width, 3);
  EXPECT_EQ(loader.height, 2);
  ASSERT_NE(PictureGetBitmap(&loader), nullptr);
  EXPECT_EQ(PictureGetBitmap(&loader), loader.fileBitmap);
  EXPECT_EQ(BitmapPixels(PictureGetBitmap(&loader)).At(2, 1), 0x336699u);
}

TEST_F(PictureLoaderTest, ABmpSignatureOnAnythingElseIsAFailedBmp) {
  const std::string path = TempPath("fake.bmp");
  ASSERT_TRUE(WriteBytes(path, {0x42, 0x4D, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(PictureLoadFile(&loader, path.c_str()), 0);
  EXPECT_EQ(loader.kind, kPictureBmp);
  EXPECT_EQ(loader.width, 0);
  EXPECT_EQ(PictureGetBitmap(&loader), nullptr);
}

TEST_F(PictureLoaderTest, AMissingFileAfterAGoodLoadKeepsThePicture) {
  const std::string path = WriteBmp("good.bmp", 5, 4);
  ASSERT_EQ(PictureLoadFile(&loader, path.c_str()), 1);
  HBITMAP bitmap = PictureGetBitmap(&loader);
  EXPECT_EQ(PictureLoadFile(&loader, TempPath("missing.bmp").c_str()), 0);
  EXPECT_EQ(loader.kind, kPictureBmp);
  EXPECT_EQ(loader.width, 5);
  EXPECT_EQ(PictureGetBitmap(&loader), bitmap);
  EXPECT_EQ(BitmapPixels(bitmap).width, 5);
}

TEST_F(PictureLoaderTest, AFileOpenElsewhereCannotBeLoadedAndChangesNothing) {
  const std::string path = WriteBmp("held.bmp", 5, 4);
  ASSERT_EQ(PictureLoadFile(&loader, path.c_str()), 1);
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(PictureLoadFile(&loader, path.c_str()), 0);
  CloseHandle(held);
  EXPECT_EQ(loader.kind, kPictureBmp);
  EXPECT_NE(PictureGetBitmap(&loader), nullptr);
}

TEST_F(PictureLoaderTest, AnUnrecognisedFileEmptiesTheLoader) {
  const DWORD objects = GdiObjects();
  const std::string path = WriteBmp("good.bmp", 5, 4);
  ASSERT_EQ(PictureLoadFile(&loader, path.c_str()), 1);
  const std::string text = TempPath("text.txt");
  ASSERT_TRUE(WriteBytes(text, {'h', 'e', 'l', 'l', 'o'}));
  EXPECT_EQ(PictureLoadFile(&loader, text.c_str()), 0);
  ExpectEmpty();
  EXPECT_EQ(PictureGetBitmap(&loader), nullptr);
  EXPECT_EQ(GdiObjects(), objects);  // the BMP's bitmap was deleted
  const std::string empty = TempPath("empty");
  ASSERT_TRUE(WriteBytes(empty, {}));
  EXPECT_EQ(PictureLoadFile(&loader, empty.c_str()), 0);
  ExpectEmpty();
}

TEST_F(PictureLoaderTest, AJpegOrGifThatCannotBeDecodedGivesNoPicture) {
  for (const char* name : {"broken.jpg", "broken.gif"}) {
    const std::string path = TempPath(name);
    const bool jpeg = name[7] == 'j';
    ASSERT_TRUE(WriteBytes(path, jpeg ? std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0x00, 0x12}
                                      : std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0xFF}));
    EXPECT_EQ(PictureLoadFile(&loader, path.c_str()), 0) << name;
    EXPECT_EQ(loader.kind, jpeg ? kPictureJpeg : kPictureGif) << name;
    EXPECT_EQ(loader.picture, nullptr) << name;
    EXPECT_EQ(PictureGetBitmap(&loader), nullptr) << name;
  }
}

// Runs on our stack only: the pictures are made by the host's ImageMagick through the shell.
TEST_F(PictureLoaderTest, AGifAndAJpegLoadWithTheirSizeInPixels) {
  const char* convert = "/usr/bin/convert";
  if (!std::filesystem::exists(convert)) GTEST_SKIP() << "ImageMagick's convert is not installed";
  for (const char* name : {"made.gif", "made.jpg"}) {
    const std::string path = TempPath(name);
    const std::string command = std::string(convert) + " -size 37x23 gradient:red-blue " + path;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    ASSERT_EQ(PictureLoadFile(&loader, path.c_str()), 1) << name;
    EXPECT_EQ(loader.width, 37) << name;
    EXPECT_EQ(loader.height, 23) << name;
    HBITMAP bitmap = PictureGetBitmap(&loader);
    ASSERT_NE(bitmap, nullptr) << name;
    EXPECT_EQ(BitmapPixels(bitmap).width, 37) << name;
  }
}

TEST(HiMetricToPixel, ConvertsAtTheScreensPixelsPerInch) {
  HDC screen = GetDC(nullptr);
  const int ppiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int ppiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const SIZE himetric = {2540, 5080};
  SIZE pixels = {};
  HiMetricToPixel(&himetric, &pixels);
  EXPECT_EQ(pixels.cx, ppiX);
  EXPECT_EQ(pixels.cy, 2 * ppiY);
  // 37 pixels at 96 DPI are 979 HIMETRIC (MulDiv rounds), and come back as 37.
  const SIZE back = {MulDiv(37, 2540, 96), MulDiv(23, 2540, 96)};
  if (ppiX == 96 && ppiY == 96) {
    HiMetricToPixel(&back, &pixels);
    EXPECT_EQ(pixels.cx, 37);
    EXPECT_EQ(pixels.cy, 23);
  }
}

}  // namespace
