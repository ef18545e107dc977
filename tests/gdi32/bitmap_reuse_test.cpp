// New bitmaps start black even when they are made right after a bitmap of the same size was painted
// and deleted, whatever is done to them first; and a blit that writes every pixel still gives exactly
// its picture.
#include <functional>
#include <vector>

#include "gdi_test.h"

namespace {

class BitmapReuse : public GdiTest {};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(12, 34, 56);

using Maker = std::function<HBITMAP(int, int)>;

HBITMAP Compatible(int w, int h) {
  // Compatible with a DC that holds a colour bitmap: one made for a fresh memory DC is monochrome.
  Canvas colour(1, 1);
  return CreateCompatibleBitmap(colour.dc(), w, h);
}

// A memory DC holding a bitmap that it deletes on the way out.
class Holder {
 public:
  explicit Holder(HBITMAP bitmap) : bitmap_(bitmap), dc_(CreateCompatibleDC(nullptr)) { old_ = SelectObject(dc_, bitmap_); }
  ~Holder() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;
  HDC dc() const { return dc_; }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_;
};

// Makes a w x h bitmap with `make`, paints it white, deletes it; then makes the next one the same way.
HBITMAP AfterADirtyOne(const Maker& make, int w, int h) {
  {
    Holder dirty(make(w, h));
    PatBlt(dirty.dc(), 0, 0, w, h, WHITENESS);
  }
  return make(w, h);
}

::testing::AssertionResult AllBlack(HDC dc, int w, int h) { return DcShows(dc, w, h, [](int, int) { return 0u; }); }

// A source of w x h pixels in kInk.
struct Inked : Holder {
  Inked(int w, int h) : Holder(Compatible(w, h)) {
    HBRUSH brush = CreateSolidBrush(kInk);
    HGDIOBJ old = SelectObject(dc(), brush);
    PatBlt(dc(), 0, 0, w, h, PATCOPY);
    SelectObject(dc(), old);
    DeleteObject(brush);
  }
};

TEST_F(BitmapReuse, EveryKindOfNewBitmapIsBlack) {
  const std::vector<std::pair<const char*, Maker>> makers = {
      {"compatible", Compatible},
      {"32 bits", [](int w, int h) { return CreateBitmap(w, h, 1, 32, nullptr); }},
      {"1 bit", [](int w, int h) { return CreateBitmap(w, h, 1, 1, nullptr); }},
  };
  for (const auto& [name, make] : makers) {
    SCOPED_TRACE(name);
    Holder fresh(AfterADirtyOne(make, 37, 23));
    EXPECT_TRUE(AllBlack(fresh.dc(), 37, 23));
  }
}

TEST_F(BitmapReuse, ItsBitsReadBackAsZeros) {
  HBITMAP bitmap = AfterADirtyOne(Compatible, 9, 4);
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = 9;
  bmi.bmiHeader.biHeight = -4;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> bits(9 * 4, 0xDEADBEEF);
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, 4, bits.data(), &bmi, DIB_RGB_COLORS), 4);
  EXPECT_EQ(bits, std::vector<uint32_t>(9 * 4, 0u));
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST_F(BitmapReuse, APatternBrushMadeFromItIsBlack) {
  HBITMAP bitmap = AfterADirtyOne(Compatible, 3, 5);
  HBRUSH brush = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);
  Inked target(6, 10);
  {
    Selected selected(target.dc(), brush);
    PatBlt(target.dc(), 0, 0, 6, 10, PATCOPY);
  }
  EXPECT_TRUE(AllBlack(target.dc(), 6, 10));
}

TEST_F(BitmapReuse, BlitsThatLeaveSomePixelsAloneLeaveThemBlack) {
  Inked source(20, 10);
  {
    SCOPED_TRACE("a part");
    Holder fresh(AfterADirtyOne(Compatible, 16, 8));
    BitBlt(fresh.dc(), 2, 1, 10, 5, source.dc(), 0, 0, SRCCOPY);
    EXPECT_TRUE(DcShows(fresh.dc(), 16, 8, [](int x, int y) {
      return x >= 2 && x < 12 && y >= 1 && y < 6 ? kInk : 0u;
    }));
  }
  {
    SCOPED_TRACE("the whole, from a source that ends early");
    Holder fresh(AfterADirtyOne(Compatible, 16, 8));
    BitBlt(fresh.dc(), 0, 0, 16, 8, source.dc(), 8, 4, SRCCOPY);  // the source has 12 x 6 from there
    EXPECT_TRUE(DcShows(fresh.dc(), 16, 8, [](int x, int y) { return x < 12 && y < 6 ? kInk : 0u; }));
  }
  {
    SCOPED_TRACE("the whole, from a source that starts outside");
    Holder fresh(AfterADirtyOne(Compatible, 16, 8));
    BitBlt(fresh.dc(), 0, 0, 16, 8, source.dc(), -4, -2, SRCCOPY);
    EXPECT_TRUE(DcShows(fresh.dc(), 16, 8, [](int x, int y) { return x >= 4 && y >= 2 ? kInk : 0u; }));
  }
  {
    // What a raster operation that also reads the source makes of the null brush differs between
    // stacks; a pattern alone paints nothing on both.
    SCOPED_TRACE("the whole, with the null brush");
    Holder fresh(AfterADirtyOne(Compatible, 16, 8));
    SelectObject(fresh.dc(), GetStockObject(NULL_BRUSH));
    PatBlt(fresh.dc(), 0, 0, 16, 8, PATCOPY);
    EXPECT_TRUE(AllBlack(fresh.dc(), 16, 8));
  }
}

TEST_F(BitmapReuse, BlitsThatReadTheDestinationReadBlack) {
  Inked source(16, 8);
  Holder fresh(AfterADirtyOne(Compatible, 16, 8));
  BitBlt(fresh.dc(), 0, 0, 16, 8, source.dc(), 0, 0, SRCPAINT);  // source OR destination
  EXPECT_TRUE(DcShows(fresh.dc(), 16, 8, [](int, int) { return kInk; }));
  Holder inverted(AfterADirtyOne(Compatible, 16, 8));
  PatBlt(inverted.dc(), 0, 0, 16, 8, DSTINVERT);
  EXPECT_TRUE(DcShows(inverted.dc(), 16, 8, [](int, int) { return kWhite; }));
}

TEST_F(BitmapReuse, BlitsThatWriteEveryPixelGiveExactlyTheirPicture) {
  Inked source(16, 8);
  SetPixel(source.dc(), 3, 2, kWhite);
  Holder copied(AfterADirtyOne(Compatible, 16, 8));
  BitBlt(copied.dc(), 0, 0, 16, 8, source.dc(), 0, 0, SRCCOPY);
  EXPECT_TRUE(DcShows(copied.dc(), 16, 8, [](int x, int y) { return x == 3 && y == 2 ? kWhite : kInk; }));
  Holder mirrored(AfterADirtyOne(Compatible, 16, 8));
  StretchBlt(mirrored.dc(), 15, 0, -16, 8, source.dc(), 0, 0, 16, 8, NOTSRCCOPY);
  EXPECT_TRUE(DcShows(mirrored.dc(), 16, 8, [](int x, int y) {
    return x == 12 && y == 2 ? 0u : (~kInk & 0xFFFFFFu);
  }));
  Holder painted(AfterADirtyOne(Compatible, 16, 8));
  {
    Selected selected(painted.dc(), CreateSolidBrush(kInk));
    PatBlt(painted.dc(), 0, 0, 16, 8, PATCOPY);
  }
  EXPECT_TRUE(DcShows(painted.dc(), 16, 8, [](int, int) { return kInk; }));
}

}  // namespace
