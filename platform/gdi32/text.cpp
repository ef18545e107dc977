// Text: measuring and drawing CP932 strings with the DC's font through the font engine.
#include <algorithm>
#include <vector>

#include "platform/gdi32/spans.h"

using namespace platform;
using namespace platform::gdi;

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

// The DC's font with its face opened (on first use) and its metrics read.
Font* ReadyFont(const Dc& dc) {
  Font* font = FindFont(dc.font);
  if (font == nullptr) return nullptr;
  if (!font->face) {
    font->face = FontOpen(font->logfont);
    font->metrics = FontGetMetrics(*font->face);
  }
  return font;
}

}  // namespace

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  Guard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr || psizl == nullptr || c < 0 || (lpString == nullptr && c > 0)) return FALSE;
  Font* font = ReadyFont(*dc);
  if (font == nullptr) return FALSE;
  thread_local std::vector<PlacedGlyph> glyphs;
  glyphs.clear();
  psizl->cx = c > 0 ? FontLayout(*font->face, lpString, c, glyphs) : 0;
  psizl->cy = font->metrics.height;
  return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  Guard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr || lptm == nullptr) return FALSE;
  Font* font = ReadyFont(*dc);
  if (font == nullptr) return FALSE;
  const FontMetrics& m = font->metrics;
  TEXTMETRICA tm{};
  tm.tmHeight = m.height;
  tm.tmAscent = m.ascent;
  tm.tmDescent = m.descent;
  tm.tmInternalLeading = m.internalLeading;
  tm.tmExternalLeading = m.externalLeading;
  tm.tmAveCharWidth = m.aveCharWidth;
  tm.tmMaxCharWidth = m.maxCharWidth;
  tm.tmWeight = m.weight;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFC;
  tm.tmDefaultChar = 0x81;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = font->logfont.lfItalic;
  tm.tmUnderlined = font->logfont.lfUnderline;
  tm.tmStruckOut = font->logfont.lfStrikeOut;
  tm.tmPitchAndFamily = m.pitchAndFamily;
  tm.tmCharSet = m.charSet;
  *lptm = tm;
  return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  Guard guard(GdiLock());
  Dc* dc = FindDc(hdc);
  if (dc == nullptr || c < 0 || (lpString == nullptr && c > 0)) return FALSE;
  Font* font = ReadyFont(*dc);
  if (font == nullptr) return FALSE;
  if (c == 0) return TRUE;
  thread_local std::vector<PlacedGlyph> glyphs;
  glyphs.clear();
  const int advance = FontLayout(*font->face, lpString, c, glyphs);
  Canvas canvas = CanvasOf(*dc);
  if (canvas.bits == nullptr) return TRUE;
  const int64_t top = y;
  const int64_t bottom = top + font->metrics.height;

  if (dc->bkMode == OPAQUE) {
    // The cell box behind the text: the whole advance, the font's full height.
    int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(int64_t{x} + advance, canvas.width);
    int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(bottom, canvas.height);
    for (int64_t row = y0; row < y1 && x0 < x1; ++row) {
      SolidSpan(canvas.Row(static_cast<int>(row)) + x0, static_cast<int>(x1 - x0), dc->bkColor);
    }
  }
  const int64_t baseline = top + font->metrics.ascent;
  for (const PlacedGlyph& placed : glyphs) {
    const GlyphImage& glyph = *placed.glyph;
    const int64_t left = int64_t{x} + placed.x + glyph.left;
    const int64_t glyphTop = baseline - glyph.top;
    for (int gy = 0; gy < glyph.height; ++gy) {
      const int64_t py = glyphTop + gy;
      if (py < 0 || py >= canvas.height) continue;
      uint32_t* out = canvas.Row(static_cast<int>(py));
      const uint8_t* mask = glyph.mask.data() + static_cast<size_t>(gy) * static_cast<size_t>(glyph.width);
      const int gx0 = static_cast<int>(std::max<int64_t>(0, -left));
      const int gx1 = static_cast<int>(std::min<int64_t>(glyph.width, canvas.width - left));
      for (int gx = gx0; gx < gx1; ++gx) {
        if (mask[gx] != 0) out[left + gx] = dc->textColor;
      }
    }
  }
  NotifyChanged(*dc);
  return TRUE;
}
