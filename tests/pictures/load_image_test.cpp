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
  EXPECT_TRUE(ImagesMatch(MakeImage(5, 4, Color), ReadBitmap(bitmap), "loadimage.actual.png"));
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(LoadImageFile, ADesiredSizeStretchesThePicture) {
  ScratchDir dir;
  HBITMAP bitmap = Load(dir.Write("p.bmp", Picture24(3, 2)), 6, 2);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(ImagesMatch(MakeImage(6, 2, [](int x, int y) { return Color(x / 2, y); }), ReadBitmap(bitmap), "stretched.actual.png"));
  DeleteObject(bitmap);
}

// The picture at its own size stretched with StretchBlt to width x height.
PixelImage StretchBltOf(HBITMAP source, int sourceWidth, int sourceHeight, int width, int height) {
  HDC sourceDC = CreateCompatibleDC(nullptr);
  HDC targetDC = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateCompatibleBitmap(sourceDC, width, height);
  HGDIOBJ oldSource = SelectObject(sourceDC, source);
  HGDIOBJ oldTarget = SelectObject(targetDC, target);
  SetStretchBltMode(targetDC, COLORONCOLOR);
  StretchBlt(targetDC, 0, 0, width, height, sourceDC, 0, 0, sourceWidth, sourceHeight, SRCCOPY);
  PixelImage image = DcPixels(targetDC, width, height);
  SelectObject(sourceDC, oldSource);
  SelectObject(targetDC, oldTarget);
  DeleteDC(sourceDC);
  DeleteDC(targetDC);
  DeleteObject(target);
  return image;
}

TEST_F(LoadImageFile, ShrinkingTakesThePixelUnderEachTargetPixelsCentreAsStretchBltDoes) {
  ScratchDir dir;
  const std::string path = dir.Write("p.bmp", Picture24(4, 6));
  // 4 -> 2 takes columns 0 and 2 (a centre on a boundary goes to the lower pixel), 6 -> 4 rows 0, 2, 3, 5
  // (where the floor of x * 6 / 4 would take 0, 1, 3, 4).
  HBITMAP shrunk = Load(path, 2, 4);
  ASSERT_NE(shrunk, nullptr);
  const int rows[] = {0, 2, 3, 5};
  EXPECT_TRUE(ImagesMatch(MakeImage(2, 4, [&](int x, int y) { return Color(x * 2, rows[y]); }), ReadBitmap(shrunk),
                          "shrunk.actual.png"));
  DeleteObject(shrunk);

  HBITMAP whole = Load(path);
  ASSERT_NE(whole, nullptr);
  for (const SIZE size : {SIZE{2, 4}, SIZE{3, 5}, SIZE{1, 1}, SIZE{7, 9}, SIZE{3, 10}}) {
    HBITMAP loaded = Load(path, size.cx, size.cy);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(ImagesMatch(StretchBltOf(whole, 4, 6, size.cx, size.cy), ReadBitmap(loaded),
                            "loaded-" + std::to_string(size.cx) + "x" + std::to_string(size.cy) + ".actual.png"));
    DeleteObject(loaded);
  }
  DeleteObject(whole);
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
