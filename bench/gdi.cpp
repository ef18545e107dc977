// The software GDI's hot paths, each beside a memcpy of the bytes it writes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

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

void Memcpy(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0));
  std::vector<char> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(Memcpy)->Arg(640 * 400 * 4)->Arg(1024 * 768 * 4)->Arg(16 * 16 * 4);

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

void ExtFloodFillOpen1024x768Pattern8x8(benchmark::State& state) {
  Surface tile(8, 8), dest(1024, 768);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(tile.dc, x, y, RGB(x * 30, y * 30, 100));
  HBRUSH brush = CreatePatternBrush(tile.bitmap);
  HGDIOBJ old = SelectObject(dest.dc, brush);
  // The border colour is in neither the pattern nor the bitmap: every fill covers the whole bitmap.
  for (auto _ : state) ExtFloodFill(dest.dc, 512, 384, RGB(255, 255, 255), FLOODFILLBORDER);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1024 * 768);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1024 * 768 * 4);
  SelectObject(dest.dc, old);
  DeleteObject(brush);
}
BENCHMARK(ExtFloodFillOpen1024x768Pattern8x8)->Unit(benchmark::kMillisecond);

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
