// Text: measuring and drawing CP932 strings with the DC's font through the font engine.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/gdi32/spans.h"

using namespace platform;
using namespace platform::gdi;

namespace {

using Lock = std::unique_lock<GdiMutex>;

// The DC behind `hdc` and its font, the font's face opened (on first use) with its metrics read. Finding
// a face may scan the font files, so it happens outside the GDI lock; the DC is looked up again after,
// since another thread may have changed or deleted it meanwhile. Null font: no DC, or no font in it.
Font* ReadyFont(std::unique_lock<GdiMutex>& lock, HDC hdc, Dc** dc) {
  std::shared_ptr<FontFace> opened;
  LOGFONTA openedFor{};
  for (;;) {
    *dc = FindDc(hdc);
    Font* font = *dc != nullptr ? FindFont((*dc)->font) : nullptr;
    if (font == nullptr || font->face) return font;
    if (opened && std::memcmp(&openedFor, &font->logfont, sizeof openedFor) == 0) {
      font->face = std::move(opened);
      font->metrics = FontGetMetrics(*font->face);
      return font;
    }
    openedFor = font->logfont;
    lock.unlock();
    opened = FontOpen(openedFor);
    lock.lock();
  }
}

}  // namespace

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  if (psizl == nullptr || c < 0 || (lpString == nullptr && c > 0)) return FALSE;
  Lock lock(GdiLock());
  Dc* dc = nullptr;
  Font* font = ReadyFont(lock, hdc, &dc);
  if (font == nullptr) return FALSE;
  thread_local std::vector<PlacedGlyph> glyphs;
  glyphs.clear();
  psizl->cx = c > 0 ? FontLayout(*font->face, lpString, c, glyphs) : 0;
  psizl->cy = font->metrics.height;
  return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  if (lptm == nullptr) return FALSE;
  Lock lock(GdiLock());
  Dc* dc = nullptr;
  Font* font = ReadyFont(lock, hdc, &dc);
  if (font == nullptr) return FALSE;
  const FontMetrics& m = font->metrics;
  *lptm = TEXTMETRICA{.tmHeight = m.height,
                      .tmAscent = m.ascent,
                      .tmDescent = m.descent,
                      .tmInternalLeading = m.internalLeading,
                      .tmExternalLeading = m.externalLeading,
                      .tmAveCharWidth = m.aveCharWidth,
                      .tmMaxCharWidth = m.maxCharWidth,
                      .tmWeight = m.weight,
                      .tmOverhang = 0,
                      .tmDigitizedAspectX = 96,
                      .tmDigitizedAspectY = 96,
                      .tmFirstChar = 0x20,
                      .tmLastChar = 0xFC,
                      .tmDefaultChar = 0x81,
                      .tmBreakChar = 0x20,
                      .tmItalic = font->logfont.lfItalic,
                      .tmUnderlined = font->logfont.lfUnderline,
                      .tmStruckOut = font->logfont.lfStrikeOut,
                      .tmPitchAndFamily = m.pitchAndFamily,
                      .tmCharSet = m.charSet};
  return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  if (c < 0 || (lpString == nullptr && c > 0)) return FALSE;
  Lock lock(GdiLock());
  Dc* dc = nullptr;
  Font* font = ReadyFont(lock, hdc, &dc);
  if (font == nullptr) return FALSE;
  if (c == 0) return TRUE;
  thread_local std::vector<PlacedGlyph> glyphs;
  glyphs.clear();
  const int advance = FontLayout(*font->face, lpString, c, glyphs);
  Canvas canvas = CanvasOf(*dc);
  if (canvas.bits == nullptr) return TRUE;
  const int64_t top = y;

  if (dc->bkMode == OPAQUE) {
    // The cell box behind the text: the whole advance, the font's full height.
    const Box box = canvas.Clip(x, top, int64_t{x} + advance, top + font->metrics.height);
    for (int row = box.y0; row < box.y1 && box.x0 < box.x1; ++row) {
      SolidSpan(canvas.Row(row) + box.x0, box.x1 - box.x0, dc->bkColor);
    }
  }
  const int64_t baseline = top + font->metrics.ascent;
  for (const PlacedGlyph& placed : glyphs) {
    const GlyphImage& glyph = *placed.glyph;
    const int64_t left = int64_t{x} + placed.x + glyph.left;
    const int64_t glyphTop = baseline - glyph.top;
    const Box box = canvas.Clip(left, glyphTop, left + glyph.width, glyphTop + glyph.height);
    for (int py = box.y0; py < box.y1; ++py) {
      uint32_t* out = canvas.Row(py);
      const uint8_t* mask = glyph.mask.data() + static_cast<size_t>(py - glyphTop) * static_cast<size_t>(glyph.width);
      for (int px = box.x0; px < box.x1; ++px) {
        if (mask[px - left] != 0) out[px] = dc->textColor;
      }
    }
  }
  NotifyChanged(*dc);
  return TRUE;
}
