// Making a face for a LOGFONTA: the file fontconfig picks, opened by FreeType at the size the LOGFONTA
// asks for, and the text metrics GDI reports for it.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi32/font_face.h"

#include FT_TRUETYPE_TABLES_H

namespace platform {
namespace font {
namespace {

// The character height of a LOGFONTA whose lfHeight is 0.
constexpr int kDefaultCharHeight = 16;
// The largest character height or cell width we render: keeps one glyph's mask within a megabyte and
// FreeType's sizes far from overflow, whatever a LOGFONTA holds.
constexpr int kMaxPixels = 1024;
// Weights from here on are bold; a lighter face is emboldened for them.
constexpr int kBoldFrom = 600;

// TEXTMETRICA's tmPitchAndFamily bits. TMPF_FIXED_PITCH set means a variable-pitch font.
constexpr BYTE kTmpfVariablePitch = 0x01;
constexpr BYTE kTmpfVector = 0x02;
constexpr BYTE kTmpfTrueType = 0x04;
constexpr BYTE kFamilySwiss = 0x20;

int Clamp(int64_t value, int low, int high) {
  return static_cast<int>(std::clamp<int64_t>(value, low, high));
}

int RoundScaled(int64_t units, int64_t numerator, int64_t denominator) {
  if (denominator <= 0) return 0;
  return static_cast<int>(std::llround(static_cast<double>(units) * numerator / denominator));
}

// The face's ascent and descent in font units, from its hhea table where it has one.
void DesignExtent(FT_Face ft, int64_t& ascent, int64_t& descent) {
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
  if (hhea != nullptr && hhea->Ascender - hhea->Descender > 0) {
    ascent = hhea->Ascender;
    descent = -hhea->Descender;
  } else {
    ascent = ft->ascender;
    descent = -ft->descender;
  }
  if (ascent + descent <= 0) {
    ascent = ft->units_per_EM * 7 / 8;
    descent = ft->units_per_EM - ascent;
  }
}

int64_t LineGap(FT_Face ft) {
  const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
  return hhea != nullptr ? std::max<int64_t>(0, hhea->Line_Gap) : 0;
}

// The unhinted advance of a character at the face's current size in pixels, or -1 without a glyph.
double LinearAdvance(FT_Face ft, FT_ULong codePoint) {
  FT_UInt index = FT_Get_Char_Index(ft, codePoint);
  if (index == 0 || FT_Load_Glyph(ft, index, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0) return -1;
  return ft->glyph->linearHoriAdvance / 65536.0;
}

// The width of a single-byte cell: the space of a fixed-pitch face, the "x" of a proportional one
// (as GDI's average width usually is), else half the em.
int CellWidth(FT_Face ft, bool cellLayout, int emWidth) {
  double advance = LinearAdvance(ft, cellLayout ? ' ' : 'x');
  if (advance <= 0) advance = emWidth / 2.0;
  return std::max(1, static_cast<int>(std::lround(advance)));
}

// The request a LOGFONTA makes of fontconfig.
FileRequest RequestFor(const LOGFONTA& lf) {
  FileRequest request;
  size_t nameLength = strnlen(lf.lfFaceName, LF_FACESIZE);
  // A name with bytes that are not CP932 names no face: the default one is asked for instead.
  bool replaced = false;
  request.family = Cp932ToUtf8(lf.lfFaceName, nameLength, Cp932Invalid::kQuestionMark, &replaced);
  if (replaced) request.family.clear();
  request.weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
  request.italic = lf.lfItalic != 0;
  request.fixedPitch =
      (lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN;
  // All our text is CP932, so the default character set is the Japanese one.
  request.japanese = lf.lfCharSet == SHIFTJIS_CHARSET || lf.lfCharSet == DEFAULT_CHARSET;
  return request;
}

// The face's own weight and slant, from the file itself: fontconfig's configuration may describe a
// face as bolder or slanted when it plans to synthesise the style, which we do ourselves.
int DesignWeight(FT_Face ft) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 1 && os2->usWeightClass <= 1000) {
    return os2->usWeightClass;
  }
  return (ft->style_flags & FT_STYLE_FLAG_BOLD) != 0 ? FW_BOLD : FW_NORMAL;
}

FT_Face OpenFile(const FileChoice& choice) {
  std::lock_guard<std::mutex> hold(LibraryLock());
  FT_Library library = Library();
  FT_Face ft = nullptr;
  if (library == nullptr || FT_New_Face(library, choice.path.c_str(), choice.index, &ft) != 0) return nullptr;
  // Only outlines can be rendered at any size; a bitmap-only face is as good as none.
  if (!FT_IS_SCALABLE(ft) || ft->units_per_EM == 0) {
    FT_Done_Face(ft);
    return nullptr;
  }
  return ft;
}

// Sizes a loaded face and measures it. lfHeight < 0 is the character (em) height, > 0 the cell height.
void SizeFace(FontFace& face, const LOGFONTA& lf) {
  FT_Face ft = face.ft;
  int64_t unitsAscent = 0;
  int64_t unitsDescent = 0;
  DesignExtent(ft, unitsAscent, unitsDescent);
  const int64_t upem = ft->units_per_EM;
  const int64_t unitsCell = unitsAscent + unitsDescent;
  FontMetrics& m = face.metrics;

  int em;
  if (lf.lfHeight > 0) {
    int cell = Clamp(lf.lfHeight, 1, kMaxPixels);
    em = Clamp(RoundScaled(cell, upem, unitsCell), 1, kMaxPixels);
    m.height = cell;
    m.ascent = RoundScaled(unitsAscent, cell, unitsCell);
    m.descent = cell - m.ascent;
  } else {
    em = lf.lfHeight == 0 ? kDefaultCharHeight : Clamp(-static_cast<int64_t>(lf.lfHeight), 1, kMaxPixels);
    m.ascent = RoundScaled(unitsAscent, em, upem);
    m.descent = RoundScaled(unitsDescent, em, upem);
    m.height = std::max(1, m.ascent + m.descent);
  }
  m.internalLeading = std::max(0, m.height - em);
  m.externalLeading = RoundScaled(LineGap(ft), em, upem);

  FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(em));
  int emWidth = em;
  m.aveCharWidth = CellWidth(ft, face.cellLayout, emWidth);
  if (lf.lfWidth != 0) {
    // A given width scales the em horizontally so that the average character is that wide.
    int64_t wanted = std::min<int64_t>(std::abs(static_cast<int64_t>(lf.lfWidth)), kMaxPixels);
    emWidth = Clamp(RoundScaled(em, wanted, m.aveCharWidth), 1, kMaxPixels);
    FT_Set_Pixel_Sizes(ft, static_cast<FT_UInt>(emWidth), static_cast<FT_UInt>(em));
    m.aveCharWidth = CellWidth(ft, face.cellLayout, emWidth);
  }
  m.maxCharWidth = face.cellLayout
                       ? 2 * m.aveCharWidth
                       : std::max(m.aveCharWidth, RoundScaled(ft->max_advance_width, emWidth, upem));
}

// Metrics for when no font file could be loaded: the requested size, a cell half as wide as high.
void SizeWithoutFile(FontFace& face, const LOGFONTA& lf) {
  FontMetrics& m = face.metrics;
  int height = lf.lfHeight == 0 ? kDefaultCharHeight
                                : Clamp(std::abs(static_cast<int64_t>(lf.lfHeight)), 1, kMaxPixels);
  m.height = height;
  m.ascent = (height * 7 + 4) / 8;
  m.descent = height - m.ascent;
  m.aveCharWidth = lf.lfWidth != 0 ? Clamp(std::abs(static_cast<int64_t>(lf.lfWidth)), 1, kMaxPixels)
                                   : std::max(1, height / 2);
  m.maxCharWidth = 2 * m.aveCharWidth;
}

}  // namespace

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    return FT_Init_FreeType(&made) == 0 ? made : nullptr;
  }();
  return library;
}

std::mutex& LibraryLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

std::shared_ptr<FontFace> CreateFace(const LOGFONTA& lf) {
  auto face = std::make_shared<FontFace>();
  FileRequest request = RequestFor(lf);
  FileChoice choice;
  if (MatchFile(request, choice)) face->ft = OpenFile(choice);

  FontMetrics& m = face->metrics;
  if (face->ft != nullptr) {
    face->family = face->ft->family_name != nullptr ? face->ft->family_name : "";
    face->cellLayout = choice.fixedPitch || FT_IS_FIXED_WIDTH(face->ft);
    int designWeight = DesignWeight(face->ft);
    face->embolden = request.weight >= kBoldFrom && designWeight < kBoldFrom;
    face->oblique = request.italic && (face->ft->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
    SizeFace(*face, lf);
    m.weight = face->embolden ? request.weight : designWeight;
    m.pitchAndFamily = kTmpfVector | kTmpfTrueType;
  } else {
    SizeWithoutFile(*face, lf);
    m.weight = request.weight;
  }
  m.pitchAndFamily |= face->cellLayout ? FF_MODERN : (kFamilySwiss | kTmpfVariablePitch);
  m.charSet = lf.lfCharSet;
  if (lf.lfCharSet == DEFAULT_CHARSET) {
    bool hasKana = face->ft != nullptr && FT_Get_Char_Index(face->ft, U'\u3042') != 0;
    m.charSet = hasKana ? SHIFTJIS_CHARSET : ANSI_CHARSET;
  }
  return face;
}

}  // namespace font

FontFace::~FontFace() {
  if (ft == nullptr) return;
  std::lock_guard<std::mutex> hold(font::LibraryLock());
  FT_Done_Face(ft);
}

FontMetrics FontGetMetrics(const FontFace& face) { return face.metrics; }

std::string FontFamilyName(const FontFace& face) { return face.family; }

}  // namespace platform
