// Choosing a font file for a LOGFONTA through fontconfig, with our own aliases for the Windows face
// names that programs ask for. The aliases are loaded into our configuration here, so they hold
// whatever the system's fontconfig files say.
#include <fontconfig/fontconfig.h>

#include <mutex>

#include "platform/gdi32/font_face.h"

namespace platform::font {
namespace {

// The Japanese Windows faces and the installed faces that stand in for them: the dual-width gothic for
// the fixed-pitch face, the proportional gothic for the proportional one. "strong" so that the
// replacement ranks like a family the program named itself.
constexpr char kAliases[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <match target="pattern">
    <test name="family" compare="eq"><string>ＭＳ ゴシック</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" compare="eq"><string>MS Gothic</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" compare="eq"><string>ＭＳ Ｐゴシック</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAPGothic</string></edit>
  </match>
  <match target="pattern">
    <test name="family" compare="eq"><string>MS PGothic</string></test>
    <edit name="family" mode="assign" binding="strong"><string>IPAPGothic</string></edit>
  </match>
</fontconfig>
)";

// Where the fonts live when the system has no fontconfig configuration at all.
constexpr char kFallbackFontDir[] = "/usr/share/fonts";

std::mutex& ConfigLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

// Our configuration: the system's (for its font directories and caches) plus our aliases. Made once,
// on first use, and kept for the life of the process. Call with ConfigLock() held.
FcConfig* Config() {
  static FcConfig* config = [] {
    FcConfig* made = FcInitLoadConfigAndFonts();
    if (made == nullptr) {
      made = FcConfigCreate();
      FcConfigAppFontAddDir(made, reinterpret_cast<const FcChar8*>(kFallbackFontDir));
    }
    FcConfigParseAndLoadFromMemory(made, reinterpret_cast<const FcChar8*>(kAliases), FcTrue);
    return made;
  }();
  return config;
}

}  // namespace

bool MatchFile(const FileRequest& request, FileChoice& choice) {
  std::lock_guard<std::mutex> hold(ConfigLock());
  FcConfig* config = Config();
  if (config == nullptr) return false;

  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  const char* family = request.family.empty() ? (request.fixedPitch ? "monospace" : "sans-serif")
                                              : request.family.c_str();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddDouble(pattern, FC_WEIGHT, FcWeightFromOpenTypeDouble(request.weight));
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  // FreeType renders our 1-bit glyphs from outlines.
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  // A family that is not installed then falls back to a face that has the characters.
  if (request.japanese) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);

  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;

  bool found = false;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
    found = true;
    choice.path = reinterpret_cast<const char*>(file);
    int index = 0;
    choice.index = FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(match, FC_SPACING, 0, &spacing);
    choice.fixedPitch = spacing >= FC_DUAL;
  }
  FcPatternDestroy(match);
  return found;
}

}  // namespace platform::font
