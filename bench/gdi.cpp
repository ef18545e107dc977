// The software GDI's hot paths, each beside a memcpy of the bytes it writes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/yardstick.h"
#include "platform/win32.h"

namespace {

// A memory DC holding its own 32-bpp bitmap.
struct Surface {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
  Surface(int width, int height) {
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateCompatibleBitmap(dc, width, height);
    old = SelectObject(dc, bitmap);
  }
  ~Surface() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

BENCHMARK(Memcpy)->Arg(kPageBytes)->Arg(1024 * 768 * 4)->Arg(16 * 16 * 4);

void BitBlt640x400(benchmark::State& state) {
  Surface source(640, 400), dest(640, 400);
  for (auto _ : state) BitBlt(dest.dc, 0, 0, 640, 400, source.dc, 0, 0, SRCCOPY);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 640 * 400 * 4);
}
BENCHMARK(BitBlt640x400);

void StretchBlt640x200To640x400(benchmark::State& state) {
  Surface source(640, 200), dest(640, 400);
  SetStretchBltMode(dest.dc, COLORONCOLOR);
  for (auto _ : state) StretchBlt(dest.dc, 0, 0, 640, 400, source.dc, 0, 0, 640, 200, SRCCOPY);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 640 * 400 * 4);
}
BENCHMARK(StretchBlt640x200To640x400);

void PatBlt1024x768(benchmark::State& state) {
  Surface dest(1024, 768);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HGDIOBJ old = SelectObject(dest.dc, brush);
  for (auto _ : state) PatBlt(dest.dc, 0, 0, 1024, 768, PATCOPY);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1024 * 768 * 4);
  SelectObject(dest.dc, old);
  DeleteObject(brush);
}
BENCHMARK(PatBlt1024x768);

// The same fill with an 8 x 8 monochrome pattern, whose bits take the DC's colours as they are painted.
void PatBlt1024x768MonoPattern8x8(benchmark::State& state) {
  Surface dest(1024, 768);
  const unsigned char bits[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
  HBITMAP mono = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(mono);
  HGDIOBJ old = SelectObject(dest.dc, brush);
  SetTextColor(dest.dc, RGB(200, 0, 0));
  for (auto _ : state) PatBlt(dest.dc, 0, 0, 1024, 768, PATCOPY);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1024 * 768 * 4);
  SelectObject(dest.dc, old);
  DeleteObject(brush);
  DeleteObject(mono);
}
BENCHMARK(PatBlt1024x768MonoPattern8x8);

// A line across a 640 x 400 page, corner to corner, with a pen of the given width (1: the thin line).
void LineToDiagonal640x400(benchmark::State& state) {
  Surface dest(640, 400);
  HPEN pen = CreatePen(PS_SOLID, static_cast<int>(state.range(0)), RGB(200, 0, 0));
  HGDIOBJ old = SelectObject(dest.dc, pen);
  for (auto _ : state) {
    MoveToEx(dest.dc, 0, 0, nullptr);
    LineTo(dest.dc, 639, 399);
  }
  SelectObject(dest.dc, old);
  DeleteObject(pen);
}
BENCHMARK(LineToDiagonal640x400)->Arg(1)->Arg(7)->Arg(64);

// What every buffered drawing call ends with: a new 640 x 400 bitmap, the back buffer's corner copied
// into it, and the bitmap deleted again (as the next capture does), beside Memcpy/1024000.
void CaptureCycle640x400(benchmark::State& state) {
  Surface back(1024, 768);
  for (auto _ : state) {
    HDC memory = CreateCompatibleDC(back.dc);
    HBITMAP page = CreateCompatibleBitmap(back.dc, 640, 400);
    HGDIOBJ old = SelectObject(memory, page);
    StretchBlt(memory, 0, 0, 640, 400, back.dc, 0, 0, 640, 400, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(page);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kPageBytes);
}
BENCHMARK(CaptureCycle640x400);

// An 8 x 8 pattern brush of 64 different colours, none of them white.
HBRUSH TileBrush() {
  Surface tile(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(tile.dc, x, y, RGB(x * 30, y * 30, 100));
  return CreatePatternBrush(tile.bitmap);
}

void ExtFloodFillOpen1024x768Pattern8x8(benchmark::State& state) {
  Surface dest(1024, 768);
  HBRUSH brush = TileBrush();
  HGDIOBJ old = SelectObject(dest.dc, brush);
  // The border colour is in neither the pattern nor the bitmap: every fill covers the whole bitmap.
  for (auto _ : state) ExtFloodFill(dest.dc, 512, 384, RGB(255, 255, 255), FLOODFILLBORDER);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1024 * 768);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1024 * 768 * 4);
  SelectObject(dest.dc, old);
  DeleteObject(brush);
}
BENCHMARK(ExtFloodFillOpen1024x768Pattern8x8)->Unit(benchmark::kMillisecond);

// A 50 x 50 box inside a white outline, filled with the pattern, on a canvas of width x height: the
// same work whatever the canvas, so every size should cost what 640 x 400 costs.
void ExtFloodFillBox50x50(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  Surface dest(width, height);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
  HGDIOBJ oldPen = SelectObject(dest.dc, pen);
  HGDIOBJ oldBrush = SelectObject(dest.dc, GetStockObject(NULL_BRUSH));
  Rectangle(dest.dc, 100, 100, 152, 152);  // the outline covers 100 to 151: the inside is 101 to 150
  HBRUSH brush = TileBrush();
  SelectObject(dest.dc, brush);
  for (auto _ : state) ExtFloodFill(dest.dc, 120, 120, RGB(255, 255, 255), FLOODFILLBORDER);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 50 * 50);
  SelectObject(dest.dc, oldBrush);
  SelectObject(dest.dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}
BENCHMARK(ExtFloodFillBox50x50)->Args({640, 400})->Args({3840, 2160});

void TextOutDoubleByteCharacter(benchmark::State& state) {
  Surface dest(64, 32);
  LOGFONTA lf{};
  lf.lfHeight = -16;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH;
  std::strcpy(lf.lfFaceName, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E");
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dest.dc, font);
  TextOutA(dest.dc, 0, 0, "\x8A\xBF", 2);  // the glyph is cached from here on
  for (auto _ : state) TextOutA(dest.dc, 0, 0, "\x8A\xBF", 2);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 16 * 16 * 4);
  SelectObject(dest.dc, old);
  DeleteObject(font);
}
BENCHMARK(TextOutDoubleByteCharacter);

}  // namespace
