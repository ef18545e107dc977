// Choosing a font file for a LOGFONTA through fontconfig. The configuration is entirely our own: the
// system's font directories and caches, our aliases for the Windows face names that programs ask for,
// and nothing from the system's or the user's fontconfig files, so a face name picks the same file
// (and text draws the same pixels) whatever those files say.
#include <fontconfig/fontconfig.h>

#include <errno.h>  // program_invocation_short_name

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "platform/gdi32/font_face.h"

namespace platform::font {
namespace {

// The Japanese Windows faces and the installed faces that stand in for them: the dual-width gothic for
// the fixed-pitch face, the proportional gothic for the proportional one. "strong" so that the
// replacement ranks like a family the program named itself. The generic families stand for a
// LOGFONTA without a face name; our text is CP932, so they prefer the Japanese faces too.
constexpr char kConfig[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <cachedir>/var/cache/fontconfig</cachedir>

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

  <alias>
    <family>monospace</family>
    <prefer><family>IPAGothic</family><family>DejaVu Sans Mono</family></prefer>
  </alias>
  <alias>
    <family>sans-serif</family>
    <prefer><family>IPAPGothic</family><family>DejaVu Sans</family></prefer>
  </alias>
</fontconfig>
)";

// The installed faces that the aliases above lead to, and the Debian package that has them.
struct StandIn {
  const char* face;    // as programs name it (UTF-8)
  const char* family;  // what stands in for it
  const char* package;
};
constexpr StandIn kStandIns[] = {
    {"ＭＳ ゴシック", "IPAGothic", "fonts-ipafont-gothic"},
    {"MS Gothic", "IPAGothic", "fonts-ipafont-gothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic", "fonts-ipafont-gothic"},
    {"MS PGothic", "IPAPGothic", "fonts-ipafont-gothic"},
};

// A face of ours whose stand-in is not installed still draws, with whatever fontconfig found, but
// Japanese text (and with no font at all, every character) shows as boxes: say so once per face, with
// what to install. Call with ConfigLock() held.
void CheckStandIn(const std::string& face, FcPattern* match) {
  for (const StandIn& s : kStandIns) {
    if (face != s.face) continue;
    FcChar8* family = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
        family != nullptr && std::string(reinterpret_cast<const char*>(family)) == s.family)
      return;
    static auto* warned = new std::set<std::string>;
    if (!warned->insert(face).second) return;
    std::fprintf(stderr, "%s: the face \"%s\" needs the font %s, which is not installed (Debian package %s); %s\n",
                 program_invocation_short_name, s.face, s.family, s.package,
                 family ? ("using " + std::string(reinterpret_cast<const char*>(family)) + " instead").c_str()
                        : "no font was found, every character shows as a box");
    return;
  }
}

std::mutex& ConfigLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

// Our configuration, made once on first use and kept for the life of the process; null when fontconfig
// cannot make it (every face then draws unknown boxes). Call with ConfigLock() held.
FcConfig* Config() {
  static FcConfig* config = [] {
    FcConfig* made = FcConfigCreate();
    if (made == nullptr) return made;
    if (!FcConfigParseAndLoadFromMemory(made, reinterpret_cast<const FcChar8*>(kConfig), FcTrue) ||
        !FcConfigBuildFonts(made)) {
      FcConfigDestroy(made);
      return static_cast<FcConfig*>(nullptr);
    }
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
  CheckStandIn(request.family, match);
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
