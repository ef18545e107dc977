// Rendering characters into 1-bit glyph images, once per character and face.
#include <algorithm>
#include <climits>

#include "platform/gdi32/font_face.h"

#include FT_SYNTHESIS_H

namespace platform::font {
namespace {

// A glyph image cut to the columns [x0, x1) from the pen position and to the rows of the cell.
GlyphImage Clip(GlyphImage image, int x0, int x1, const FontMetrics& m) {
  // Image row i lies at (i - top) below the baseline; the cell spans [-ascent, descent).
  int rowFrom = std::max(0, image.top - m.ascent);
  int rowTo = std::min(image.height, image.top + m.descent);
  int colFrom = std::max(0, x0 - image.left);
  int colTo = std::min(image.width, x1 - image.left);
  if (rowFrom >= rowTo || colFrom >= colTo) return GlyphImage{};
  if (rowFrom == 0 && colFrom == 0 && rowTo == image.height && colTo == image.width) return image;

  GlyphImage clipped;
  clipped.left = image.left + colFrom;
  clipped.top = image.top - rowFrom;
  clipped.width = colTo - colFrom;
  clipped.height = rowTo - rowFrom;
  clipped.mask.resize(static_cast<size_t>(clipped.width) * clipped.height);
  for (int row = 0; row < clipped.height; ++row) {
    const uint8_t* from = &image.mask[static_cast<size_t>(row + rowFrom) * image.width + colFrom];
    std::copy(from, from + clipped.width, &clipped.mask[static_cast<size_t>(row) * clipped.width]);
  }
  return clipped;
}

// The unknown character: a frame inside `span` columns of the cell, the same for every character that
// cannot be decoded or has no glyph in the face.
GlyphImage UnknownBox(int span, const FontMetrics& m) {
  int padX = span >= 4 ? 1 : 0;
  int padY = m.height >= 8 ? m.height / 8 : 0;
  GlyphImage box;
  box.left = padX;
  box.width = span - 2 * padX;
  box.top = m.ascent - padY;
  box.height = m.height - 2 * padY;
  if (box.width <= 0 || box.height <= 0) return GlyphImage{};
  box.mask.assign(static_cast<size_t>(box.width) * box.height, 0);
  for (int y = 0; y < box.height; ++y) {
    for (int x = 0; x < box.width; ++x) {
      bool edge = y == 0 || y == box.height - 1 || x == 0 || x == box.width - 1;
      box.mask[static_cast<size_t>(y) * box.width + x] = edge ? 1 : 0;
    }
  }
  return box;
}

// FreeType's 1-bit bitmap (8 pixels a byte, most significant first) as one byte a pixel.
GlyphImage FromBitmap(const FT_GlyphSlot slot) {
  const FT_Bitmap& bitmap = slot->bitmap;
  GlyphImage image;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.width == 0 || bitmap.rows == 0) return image;
  image.left = slot->bitmap_left;
  image.top = slot->bitmap_top;
  image.width = static_cast<int>(bitmap.width);
  image.height = static_cast<int>(bitmap.rows);
  image.mask.resize(static_cast<size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    // A negative pitch means the rows are stored bottom-up.
    int sourceRow = bitmap.pitch >= 0 ? y : image.height - 1 - y;
    const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(sourceRow) * std::abs(bitmap.pitch);
    for (int x = 0; x < image.width; ++x) {
      image.mask[static_cast<size_t>(y) * image.width + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
  }
  return image;
}

// Renders glyph `index` of the face; false when FreeType cannot. `advance` is its hinted advance.
bool Render(FontFace& face, FT_UInt index, GlyphImage& image, int& advance) {
  FT_Face ft = face.ft;
  if (FT_Load_Glyph(ft, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0) return false;
  if (ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  if (face.oblique) FT_GlyphSlot_Oblique(ft->glyph);
  if (face.embolden) FT_GlyphSlot_Embolden(ft->glyph);
  advance = static_cast<int>((ft->glyph->advance.x + 32) >> 6);
  if (FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_MONO) != 0) return false;
  image = FromBitmap(ft->glyph);
  return true;
}

bool IsControlByte(unsigned char b) { return b < 0x20 || b == 0x7F; }

CharEntry Store(FontFace& face, GlyphImage image, int advance) {
  face.images.push_back(std::move(image));
  return CharEntry{&face.images.back(), advance};
}

// Lays out one character for the first time.
CharEntry MakeEntry(FontFace& face, const unsigned char* bytes, int count) {
  const FontMetrics& m = face.metrics;
  const int span = count * m.aveCharWidth;

  // Tab, CR, LF and the other control bytes draw nothing, in one cell.
  if (count == 1 && IsControlByte(bytes[0])) return Store(face, GlyphImage{}, span);

  char32_t codePoint = 0;
  FT_UInt index = 0;
  if (face.ft != nullptr && Cp932DecodeCharacter(bytes, count, &codePoint)) {
    index = FT_Get_Char_Index(face.ft, codePoint);
  }
  GlyphImage image;
  int natural = 0;
  if (index == 0 || !Render(face, index, image, natural)) return Store(face, UnknownBox(span, m), span);

  if (!face.cellLayout) return Store(face, Clip(std::move(image), INT_MIN / 2, INT_MAX / 2, m), natural);
  // In a fixed-pitch face a glyph whose own advance differs from its cells is centred in them.
  image.left += (span - natural) / 2;
  return Store(face, Clip(std::move(image), 0, span, m), span);
}

}  // namespace

const CharEntry& LookUpChar(FontFace& face, const unsigned char* bytes, int count) {
  CharEntry* slot = nullptr;
  if (count == 2) {
    auto& table = face.doubleBytes[bytes[0]];
    if (!table) table = std::make_unique<std::array<CharEntry, 256>>();
    slot = &(*table)[bytes[1]];
  } else {
    slot = &face.singleBytes[bytes[0]];
  }
  if (slot->glyph == nullptr) *slot = MakeEntry(face, bytes, count);
  return *slot;
}

}  // namespace platform::font
