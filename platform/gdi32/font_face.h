// Inside the font engine only: what a face holds, and the helpers its files share.
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/gdi32/font_engine.h"
#include "platform/kernel32/cp932.h"

namespace platform {

namespace font {

// The font file that fontconfig picks for a request, with our own aliases applied.
struct FileChoice {
  std::string path;
  int index = 0;            // face index inside the file
  bool fixedPitch = false;  // monospaced or dual-width (half-width and full-width cells)
};
struct FileRequest {
  std::string family;  // UTF-8; empty asks for the default face
  int weight = FW_NORMAL;
  bool italic = false;
  bool fixedPitch = false;
  bool japanese = false;
};
bool MatchFile(const FileRequest& request, FileChoice& choice);

// The process-wide FreeType library. Creating and destroying faces needs LibraryLock() held.
FT_Library Library();
std::mutex& LibraryLock();

// The cached layout of one character: its image and its advance in pixels.
struct CharEntry {
  const GlyphImage* glyph = nullptr;  // null until the character is first laid out
  int advance = 0;
};

}  // namespace font

struct FontFace {
  FontFace() = default;
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;
  ~FontFace();

  // Guards `ft` and the caches; everything else is fixed once the face is made.
  mutable std::mutex mutex;

  FT_Face ft = nullptr;  // null when no font file could be loaded: every character is the unknown box
  std::string family;
  FontMetrics metrics;
  bool cellLayout = true;  // fixed pitch: a single byte takes one cell, a double byte two
  bool embolden = false;   // bold asked for and the face is not
  bool oblique = false;    // italic asked for and the face is not

  // Glyph images never move once made, so the pointers handed out stay valid while the face lives.
  std::deque<GlyphImage> images;
  std::array<font::CharEntry, 256> singleBytes{};
  std::array<std::unique_ptr<std::array<font::CharEntry, 256>>, 256> doubleBytes;  // by lead byte
};

namespace font {

// Makes the face for `lf`: chooses the file, sizes it and measures the metrics. Never null.
std::shared_ptr<FontFace> CreateFace(const LOGFONTA& lf);

// The cached entry of the character in bytes[0..count), rendering it on first use. Call with
// face.mutex held.
const CharEntry& LookUpChar(FontFace& face, const unsigned char* bytes, int count);

}  // namespace font
}  // namespace platform
