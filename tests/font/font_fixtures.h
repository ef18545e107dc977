// Shared helpers of the font engine's tests.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi32/font_engine.h"

namespace font_test {

// The console's font: character height 16, Shift-JIS, fixed pitch, face "ＭＳ ゴシック" in CP932.
inline LOGFONTA ConsoleFont() {
  LOGFONTA lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = -16;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH;
  std::strcpy(lf.lfFaceName, "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E");
  return lf;
}

inline LOGFONTA ConsoleFontOfHeight(LONG height) {
  LOGFONTA lf = ConsoleFont();
  lf.lfHeight = height;
  return lf;
}

struct Layout {
  std::vector<platform::PlacedGlyph> glyphs;
  int width = 0;
};

inline Layout LayOut(platform::FontFace& face, const std::string& text) {
  Layout layout;
  layout.width = platform::FontLayout(face, text.data(), static_cast<int>(text.size()), layout.glyphs);
  return layout;
}

// The one glyph of a one-character string.
inline const platform::GlyphImage& GlyphOf(platform::FontFace& face, const std::string& character) {
  std::vector<platform::PlacedGlyph> glyphs;
  platform::FontLayout(face, character.data(), static_cast<int>(character.size()), glyphs);
  return *glyphs.at(0).glyph;
}

inline int LitPixels(const platform::GlyphImage& glyph) {
  int lit = 0;
  for (uint8_t pixel : glyph.mask) lit += pixel;
  return lit;
}

inline bool SameImage(const platform::GlyphImage& a, const platform::GlyphImage& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height && a.mask == b.mask;
}

}  // namespace font_test
