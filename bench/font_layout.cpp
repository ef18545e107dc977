// Laying out text with glyphs already in the face's cache: what every TextOutA and
// GetTextExtentPoint32A of the console pays before it draws.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/gdi32/font_engine.h"

namespace {

LOGFONTA ConsoleFont() {
  LOGFONTA lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = -16;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH;
  std::strcpy(lf.lfFaceName, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E");
  return lf;
}

void LayOutCached(benchmark::State& state, const char* text) {
  auto face = platform::FontOpen(ConsoleFont());
  std::vector<platform::PlacedGlyph> glyphs;
  const int length = static_cast<int>(std::strlen(text));
  platform::FontLayout(*face, text, length, glyphs);  // renders into the cache
  for (auto _ : state) {
    glyphs.clear();
    benchmark::DoNotOptimize(platform::FontLayout(*face, text, length, glyphs));
    benchmark::DoNotOptimize(glyphs.data());
  }
}

void BM_FontLayoutCachedDoubleByte(benchmark::State& state) { LayOutCached(state, "\x8A\xBF"); }
BENCHMARK(BM_FontLayoutCachedDoubleByte);

void BM_FontLayoutCachedSingleByte(benchmark::State& state) { LayOutCached(state, "A"); }
BENCHMARK(BM_FontLayoutCachedSingleByte);

// A full console row of 80 cells, half kanji and half ASCII.
void BM_FontLayoutCachedRow(benchmark::State& state) {
  std::string row;
  for (int i = 0; i < 20; ++i) row += "\x8A\xBF" "ab";
  LayOutCached(state, row.c_str());
  state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(BM_FontLayoutCachedRow);

void BM_FontOpenCached(benchmark::State& state) {
  LOGFONTA lf = ConsoleFont();
  platform::FontOpen(lf);
  for (auto _ : state) benchmark::DoNotOptimize(platform::FontOpen(lf));
}
BENCHMARK(BM_FontOpenCached);

}  // namespace
