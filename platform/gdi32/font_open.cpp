// Faces per LOGFONTA: every HFONT made from an equal LOGFONTA shares one face, and its glyph cache.
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/gdi32/font_face.h"

namespace platform {
namespace {

// Faces that no HFONT holds any more stay cached up to this many, so that a program that creates and
// deletes the same font over and over keeps its rendered glyphs. The least recently opened go first.
constexpr size_t kMaxCachedFaces = 32;

struct FaceCache {
  struct Slot {
    std::shared_ptr<FontFace> face;
    uint64_t lastUse = 0;
  };
  std::mutex lock;
  std::unordered_map<std::string, Slot> faces;
  uint64_t clock = 0;
};

FaceCache& Cache() {
  static FaceCache* cache = new FaceCache;  // kept to the end: threads may still draw during exit
  return *cache;
}

// The cache key: every field that changes the face, with the face name only up to its end.
std::string KeyOf(const LOGFONTA& lf) {
  const LONG numbers[] = {lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight};
  const BYTE flags[] = {lf.lfItalic,        lf.lfUnderline,     lf.lfStrikeOut, lf.lfCharSet,
                        lf.lfOutPrecision,  lf.lfClipPrecision, lf.lfQuality,   lf.lfPitchAndFamily};
  std::string key(reinterpret_cast<const char*>(numbers), sizeof numbers);
  key.append(reinterpret_cast<const char*>(flags), sizeof flags);
  key.append(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  return key;
}

}  // namespace

std::shared_ptr<FontFace> FontOpen(const LOGFONTA& lf) {
  FaceCache& cache = Cache();
  std::string key = KeyOf(lf);
  std::lock_guard<std::mutex> hold(cache.lock);
  auto found = cache.faces.find(key);
  if (found != cache.faces.end()) {
    found->second.lastUse = ++cache.clock;
    return found->second.face;
  }
  if (cache.faces.size() >= kMaxCachedFaces) {
    auto oldest = cache.faces.begin();
    for (auto it = cache.faces.begin(); it != cache.faces.end(); ++it) {
      if (it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    cache.faces.erase(oldest);
  }
  std::shared_ptr<FontFace> face = font::CreateFace(lf);
  cache.faces.emplace(std::move(key), FaceCache::Slot{face, ++cache.clock});
  return face;
}

}  // namespace platform
