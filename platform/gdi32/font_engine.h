// Inside the platform layer only: the font engine behind GDI's text calls.
//
// A face is found for a LOGFONTA through fontconfig (the CP932 face name converted to UTF-8, the
// console's fixed-pitch Japanese face aliased to IPAGothic), rendered by FreeType as 1-bit glyphs
// (no anti-aliasing), and CP932 text is decoded by the one CP932 module (platform/kernel32/cp932.h).
// Glyphs are cached per face.
// Every function is safe to call from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi32/gdi32.h"

namespace platform {

struct FontFace;  // opaque; shared by every HFONT made from an equal LOGFONTA

struct FontMetrics {
  int height = 0;           // tmHeight: ascent + descent (the cell height)
  int ascent = 0;           // baseline below the top of the cell
  int descent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;     // the advance of a single-byte character cell
  int maxCharWidth = 0;     // the advance of a double-byte character
  int weight = FW_NORMAL;
  BYTE pitchAndFamily = 0;  // as TEXTMETRICA reports it
  BYTE charSet = 0;
};

// One rendered glyph: a 1-bit image as one byte a pixel (0 or 1), placed relative to the pen
// position on the baseline. In a fixed-pitch face it lies inside its character's cells (a glyph whose
// own advance differs from its cells is centred in them and cut to them); in every face it lies
// inside the rows of the cell. It may be empty (0 × 0): a space, a control byte.
struct GlyphImage {
  int left = 0;   // pixels from the pen position to the image's left column
  int top = 0;    // pixels from the baseline up to the image's top row
  int width = 0;
  int height = 0;
  std::vector<uint8_t> mask;  // width * height bytes, rows top-down
};

struct PlacedGlyph {
  const GlyphImage* glyph;  // never null; owned by the face's cache; valid while the face lives
  int x;                    // pen position of this character, from the start of the string
  int advance;              // fixed pitch: one cell (aveCharWidth) for a single byte, two for a double
                            // byte; proportional: the glyph's own advance
};

// The face for `lf`; never null (falls back to a default face when nothing matches).
std::shared_ptr<FontFace> FontOpen(const LOGFONTA& lf);

FontMetrics FontGetMetrics(const FontFace& face);

// Lays out `length` bytes of CP932 text: a lead byte and the next byte form one double-byte character
// two cells wide; a lone lead byte at the end is one unknown character. Appends one PlacedGlyph per
// character to `out` and returns the total advance in pixels (the width GetTextExtentPoint32A gives).
// The unknown character (a lone lead byte, a pair CP932 does not define, a character the face has no glyph
// for) is a frame filling its cells, one cell for one byte and two for a pair, drawn the same every time;
// control bytes (below 0x20, and 0x7F) draw nothing in one cell.
int FontLayout(FontFace& face, const char* text, int length, std::vector<PlacedGlyph>& out);

// The family name of the font file behind `face`, as the file itself names it (UTF-8), or "" when no
// font file could be loaded and every character is drawn as the unknown-character box.
std::string FontFamilyName(const FontFace& face);

}  // namespace platform
