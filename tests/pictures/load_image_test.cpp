// LoadImageA(IMAGE_BITMAP, LR_LOADFROMFILE): the file's pixels in a 32-bpp bitmap; everything it
// cannot or may not load gives NULL with an error code and no bitmap.
#include "picture_test_support.h"

namespace {

using LoadImageFile = PictureTest;

uint32_t Color(int x, int y) { return RGB(x * 50, y * 60, 255 - x * y * 9); }

Bytes Picture24(int width, int height) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bitCount = 24;
  layout.pixels = PackRows(width, height, 24, false, Color);
  return BuildBmp(layout);
}

HBITMAP Load(const std::string& path, int cx = 0, int cy = 0) {
  return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), path.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE));
}

TEST_F(LoadImageFile, ABmpFileBecomesA32BitBitmapWithTheFilesPixels) {
  ScratchDir dir;
  HBITMAP bitmap = Load(dir.Write("p.bmp", Picture24(5, 4)));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 5);
  EXPECT_EQ(info.bmHeight, 4);
  EXPECT_EQ(info.bmBitsPixel, 32);
  EXPECT_TRUE(ImagesMatch("loadimage", ReadBitmap(bitmap), MakeImage(5, 4, Color)));
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(LoadImageFile, ADesiredSizeStretchesThePicture) {
  ScratchDir dir;
  HBITMAP bitmap = Load(dir.Write("p.bmp", Picture24(3, 2)), 6, 2);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(ImagesMatch("stretched", ReadBitmap(bitmap), MakeImage(6, 2, [](int x, int y) { return Color(x / 2, y); })));
  DeleteObject(bitmap);
}

TEST_F(LoadImageFile, MissingMalformedAndOversizedFilesGiveNullWithTheirErrorCodes) {
  ScratchDir dir;
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(Load(dir.Path("missing.bmp")), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  Bytes cut = Picture24(5, 4);
  cut.resize(cut.size() - 20);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(Load(dir.Write("cut.bmp", cut)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);

  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(Load(dir.Write("text.bmp", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'})), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);

  BmpLayout huge;
  huge.width = 20000;
  huge.height = 20000;
  huge.bitCount = 24;
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(Load(dir.Write("huge.bmp", BuildBmp(huge))), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

TEST_F(LoadImageFile, AFileHeldWithoutSharingCannotBeLoadedUntilItIsClosed) {
  ScratchDir dir;
  const std::string path = dir.Write("held.bmp", Picture24(2, 2));
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(Load(path), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  CloseHandle(held);
  HBITMAP bitmap = Load(path);
  EXPECT_NE(bitmap, nullptr);
  DeleteObject(bitmap);
}

TEST_F(LoadImageFile, ResourcesOtherTypesAndBadArgumentsGiveNull) {
  ScratchDir dir;
  const std::string path = dir.Write("p.bmp", Picture24(2, 2));
  HINSTANCE module = GetModuleHandleA(nullptr);
  EXPECT_EQ(LoadImageA(module, path.c_str(), 1 /* IMAGE_ICON */, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImageA(module, path.c_str(), 7, 0, 0, LR_LOADFROMFILE), nullptr);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(LoadImageA(module, path.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  // An ordinal is a resource name, never a pointer to read.
  EXPECT_EQ(LoadImageA(module, MAKEINTRESOURCEA(101), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImageA(module, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(LoadImageA(module, path.c_str(), IMAGE_BITMAP, -1, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
