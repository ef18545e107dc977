// Handles, stock objects, selection and deletion, as a caller of the object calls sees them.
#include <cstring>

#include "gdi_test.h"

namespace {

class Objects : public GdiTest {};

TEST_F(Objects, StockObjectsHaveTheirDocumentedTypeAndContents) {
  LOGBRUSH brush{};
  ASSERT_EQ(GetObjectA(GetStockObject(WHITE_BRUSH), sizeof brush, &brush), static_cast<int>(sizeof brush));
  EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(brush.lbColor, 0xFFFFFFu);
  ASSERT_NE(GetObjectA(GetStockObject(BLACK_BRUSH), sizeof brush, &brush), 0);
  EXPECT_EQ(brush.lbColor, 0x000000u);
  ASSERT_NE(GetObjectA(GetStockObject(NULL_BRUSH), sizeof brush, &brush), 0);
  EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_NULL));
  LOGPEN pen{};
  ASSERT_NE(GetObjectA(GetStockObject(WHITE_PEN), sizeof pen, &pen), 0);
  EXPECT_EQ(pen.lopnColor, 0xFFFFFFu);
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(GetObjectType(GetStockObject(SYSTEM_FONT)), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(-1), nullptr);
}

TEST_F(Objects, StockObjectsAreNotCountedAndSurviveDeletion) {
  DWORD before = GetGuiResources(nullptr, GR_GDIOBJECTS);
  HGDIOBJ brush = GetStockObject(GRAY_BRUSH);
  EXPECT_EQ(GetGuiResources(nullptr, GR_GDIOBJECTS), before);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
}

TEST_F(Objects, ANewMemoryDcHoldsWindowsDefaults) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(GetTextColor(dc), 0x000000u);
  EXPECT_EQ(GetBkColor(dc), 0xFFFFFFu);
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE);
  BITMAP info{};
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 1);
  EXPECT_EQ(info.bmHeight, 1);
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(Objects, SelectObjectReturnsWhatItReplaced) {
  Canvas canvas(4, 4);
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
  EXPECT_EQ(SelectObject(canvas.dc(), red), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(canvas.dc(), green), red);
  EXPECT_EQ(SelectObject(canvas.dc(), GetStockObject(BLACK_PEN)), green);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(SelectObject(canvas.dc(), brush), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH)), brush);
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_TRUE(DeleteObject(green));
  EXPECT_TRUE(DeleteObject(brush));
}

TEST_F(Objects, ABitmapLivesInOneDcAtATime) {
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  // Not CreateCompatibleBitmap(first, ...): a fresh memory DC holds a monochrome bitmap, and a bitmap
  // compatible with it is monochrome too.
  HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
  HGDIOBJ stock = SelectObject(first, bitmap);
  ASSERT_NE(stock, nullptr);
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);
  EXPECT_EQ(SelectObject(first, bitmap), bitmap) << "selecting it again into its own DC is harmless";
  EXPECT_EQ(SetPixel(first, 7, 7, RGB(9, 8, 7)), RGB(9, 8, 7));
  EXPECT_EQ(SelectObject(first, stock), bitmap);
  EXPECT_NE(SelectObject(second, bitmap), nullptr) << "free again once selected out";
  EXPECT_EQ(GetPixel(second, 7, 7), RGB(9, 8, 7));
  EXPECT_TRUE(DeleteDC(second)) << "deleting the DC lets go of the bitmap";
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(first));
}

TEST_F(Objects, StaleAndWrongKindHandlesFail) {
  HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
  ASSERT_TRUE(DeleteObject(brush));
  EXPECT_FALSE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(brush), 0u);
  LOGBRUSH info{};
  EXPECT_EQ(GetObjectA(brush, sizeof info, &info), 0);
  // A new object may take the slot; the old handle still finds nothing.
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_NE(static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(brush));
  EXPECT_EQ(GetObjectType(brush), 0u);

  Canvas canvas(2, 2);
  EXPECT_EQ(SelectObject(canvas.dc(), brush), nullptr);
  EXPECT_EQ(SelectObject(canvas.dc(), canvas.dc()), nullptr);
  EXPECT_EQ(SetPixel(reinterpret_cast<HDC>(pen), 0, 0, 0), CLR_INVALID);
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(pen)));
  EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(static_cast<uintptr_t>(0x12345)), 0, 0), CLR_INVALID);
  EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(pen)), nullptr);
  EXPECT_EQ(CreatePatternBrush(reinterpret_cast<HBITMAP>(pen)), nullptr);
  EXPECT_TRUE(DeleteObject(pen));
}

// Win32 defines DeleteObject for pens, brushes, fonts, bitmaps, regions and palettes only; what it does
// with a DC is left open. Ours refuses it (DeleteDC is the call for that), other stacks delete the DC.
TEST_F(Objects, DeleteObjectRefusesADcOurOwnChoice) {
  Canvas canvas(2, 2);
  EXPECT_FALSE(DeleteObject(canvas.dc())) << "a DC is not deleted by DeleteObject";
  EXPECT_EQ(GetObjectType(canvas.dc()), static_cast<DWORD>(OBJ_MEMDC));
}

// Runs on our stack only: Wine reports success and deletes the object once it is selected out.
TEST_F(Objects, ObjectsStillSelectedCannotBeDeleted) {
  Canvas canvas(2, 2);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(5, 5, 5));
  HGDIOBJ old = SelectObject(canvas.dc(), pen);
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
  SelectObject(canvas.dc(), old);
  EXPECT_TRUE(DeleteObject(pen));

  // A selected bitmap likewise, and it keeps working.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  old = SelectObject(dc, bitmap);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(SetPixel(dc, 3, 3, RGB(9, 8, 7)), RGB(9, 8, 7));
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(9, 8, 7));
  SelectObject(dc, old);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(dc));
}

// Runs on our stack only: Wine's GetGuiResources is a stub that answers 0.
TEST_F(Objects, GuiResourcesCountEveryLiveObject) {
  DWORD start = GetGuiResources(nullptr, GR_GDIOBJECTS);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 3);
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  HBRUSH brush = CreateSolidBrush(0);
  LOGFONTA lf{};
  lf.lfHeight = -16;
  HFONT font = CreateFontIndirectA(&lf);
  EXPECT_EQ(GetGuiResources(nullptr, GR_GDIOBJECTS), start + 5);
  DeleteObject(font);
  DeleteObject(brush);
  DeleteObject(pen);
  DeleteObject(bitmap);
  EXPECT_EQ(GetGuiResources(nullptr, GR_GDIOBJECTS), start + 1);
  DeleteDC(dc);
}

TEST_F(Objects, GetObjectDescribesWhatWasCreated) {
  HBITMAP bitmap = CreateBitmap(640, 200, 1, 32, nullptr);
  BITMAP info{};
  ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(info.bmWidth, 640);
  EXPECT_EQ(info.bmHeight, 200);
  EXPECT_EQ(info.bmWidthBytes, 2560);
  EXPECT_EQ(info.bmPlanes, 1);
  EXPECT_EQ(info.bmBitsPixel, 32);
  EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(GetObjectA(bitmap, 10, &info), 0);
  DeleteObject(bitmap);

  LOGFONTA lf{};
  lf.lfHeight = -16;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  std::strcpy(lf.lfFaceName, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E");
  HFONT font = CreateFontIndirectA(&lf);
  LOGFONTA back{};
  ASSERT_EQ(GetObjectA(font, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(std::memcmp(&lf, &back, sizeof lf), 0);
  DeleteObject(font);
}

// A COLORREF's high byte must be zero; what a pen keeps of one that is not is left open. Ours drops it.
TEST_F(Objects, APenDropsTheHighByteOfItsColourOurOwnChoice) {
  HPEN pen = CreatePen(PS_SOLID, 1, 0xAB123456);
  LOGPEN lp{};
  ASSERT_NE(GetObjectA(pen, sizeof lp, &lp), 0);
  EXPECT_EQ(lp.lopnColor, 0x00123456u) << "the high byte is not a colour";
  DeleteObject(pen);
}

// HORZRES is the screen's; a memory DC made without a device has none here, so ours answers the size
// of the bitmap it holds.
TEST_F(Objects, AMemoryDcWithoutADeviceMeasuresItsBitmapOurOwnChoice) {
  Canvas canvas(5, 3);
  EXPECT_EQ(GetDeviceCaps(canvas.dc(), HORZRES), 5) << "without a device the bitmap is the device";
  EXPECT_EQ(GetDeviceCaps(canvas.dc(), VERTRES), 3);
}

TEST_F(Objects, CompatibleBitmapsAre32BitsAndStartBlack) {
  // Compatible with a DC that holds a colour bitmap: one compatible with a fresh memory DC would be
  // monochrome.
  Canvas colour(1, 1);
  HBITMAP bitmap = CreateCompatibleBitmap(colour.dc(), 5, 3);
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 32);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  EXPECT_TRUE(ImagesMatch(MakeImage(5, 3, [](int, int) { return 0u; }), DcPixels(dc, 5, 3)));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, -4, 4), nullptr);
  EXPECT_EQ(CreateBitmap(1 << 20, 1 << 20, 1, 32, nullptr), nullptr) << "absurd sizes are refused";
}

TEST_F(Objects, CreateBitmapReadsDeviceBitsAsBlueGreenRedBytes) {
  const uint8_t bits32[] = {0x01, 0x02, 0x03, 0x00, 0xFF, 0x00, 0x80, 0x00};  // two pixels: B G R X
  HBITMAP bitmap = CreateBitmap(2, 1, 1, 32, bits32);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x03, 0x02, 0x01));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0x80, 0x00, 0xFF));
  SelectObject(dc, old);
  DeleteObject(bitmap);

  // One bit a pixel, rows padded to 16 bits: 1 is white.
  const uint8_t bits1[] = {0xA0, 0x00, 0x40, 0x00};
  HBITMAP mono = CreateBitmap(3, 2, 1, 1, bits1);
  BITMAP info{};
  GetObjectA(mono, sizeof info, &info);
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(info.bmWidthBytes, 2);
  old = SelectObject(dc, mono);
  EXPECT_EQ(Picture(dc, 3, 2, 0xFFFFFF), "#.#\n.#.\n");
  SelectObject(dc, old);
  DeleteObject(mono);
  DeleteDC(dc);
}

TEST_F(Objects, GetDIBitsReadsRowsBottomUpOrTopDown) {
  Canvas canvas(3, 2);
  SetPixel(canvas.dc(), 0, 0, RGB(0x11, 0x22, 0x33));
  SetPixel(canvas.dc(), 2, 1, RGB(0xAA, 0xBB, 0xCC));
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = 3;
  bmi.bmiHeader.biHeight = 2;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  uint32_t bits[6] = {};
  ASSERT_EQ(GetDIBits(canvas.dc(), canvas.bitmap(), 0, 2, bits, &bmi, DIB_RGB_COLORS), 2);
  // Bottom-up: the first scan line is the last row; each pixel is B, G, R, 0 in memory.
  EXPECT_EQ(bits[2], 0x00AABBCCu);
  EXPECT_EQ(bits[3], 0x00112233u);
  EXPECT_EQ(bits[0], 0u);
  bmi.bmiHeader.biHeight = -2;
  ASSERT_EQ(GetDIBits(canvas.dc(), canvas.bitmap(), 0, 2, bits, &bmi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(bits[0], 0x00112233u);
  EXPECT_EQ(bits[5], 0x00AABBCCu);

  BITMAPINFO query{};
  query.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_NE(GetDIBits(canvas.dc(), canvas.bitmap(), 0, 0, nullptr, &query, DIB_RGB_COLORS), 0);
  EXPECT_EQ(query.bmiHeader.biWidth, 3);
  EXPECT_EQ(query.bmiHeader.biHeight, 2);
  EXPECT_EQ(query.bmiHeader.biBitCount, 32);
}

TEST_F(Objects, APatternBrushKeepsItsOwnCopyOfThePattern) {
  Canvas pattern(2, 2);
  pattern.Fill(RGB(10, 20, 30));
  HBRUSH brush = CreatePatternBrush(pattern.bitmap());
  // Changing the bitmap afterwards does not reach the brush.
  pattern.Fill(RGB(99, 99, 99));
  Canvas target(4, 4);
  {
    Selected selected(target.dc(), brush);
    PatBlt(target.dc(), 0, 0, 4, 4, PATCOPY);
  }
  EXPECT_TRUE(ImagesMatch(MakeImage(4, 4, [](int, int) { return RGB(10, 20, 30); }), DcPixels(target.dc(), 4, 4)));
}

}  // namespace
