// CP932 decoding for the font engine, through iconv "CP932" (which maps 0x5C to the backslash and
// knows the vendor extensions that "SHIFT_JIS" lacks).
#include <iconv.h>

#include <cerrno>
#include <mutex>

#include "platform/gdi32/font_face.h"

namespace platform::font {
namespace {

// One converter per direction, opened once and shared; an iconv descriptor is not safe to use from two
// threads at once, so each carries its own lock.
struct Converter {
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  iconv_t cd;
  std::mutex lock;
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

Converter& ToUtf32() {
  static Converter* converter = new Converter("UTF-32LE", "CP932");
  return *converter;
}

Converter& ToUtf8() {
  static Converter* converter = new Converter("UTF-8", "CP932");
  return *converter;
}

// Converts all of `in`, appending to `out`; false when some byte cannot be converted.
bool Convert(Converter& converter, const char* in, size_t length, std::string& out) {
  if (!converter.ok()) return false;
  std::lock_guard<std::mutex> hold(converter.lock);
  iconv(converter.cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  char* src = const_cast<char*>(in);
  size_t left = length;
  char buffer[256];
  while (left > 0) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    size_t result = iconv(converter.cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) return false;
  }
  return true;
}

}  // namespace

bool Cp932Decode(const unsigned char* bytes, int count, char32_t& codePoint) {
  if (count < 1 || count > 2) return false;
  std::string utf32;
  if (!Convert(ToUtf32(), reinterpret_cast<const char*>(bytes), static_cast<size_t>(count), utf32)) {
    return false;
  }
  // One character in must be one code point out; anything else is not a character we can draw.
  if (utf32.size() != 4) return false;
  const auto* u = reinterpret_cast<const unsigned char*>(utf32.data());
  codePoint = static_cast<char32_t>(u[0] | u[1] << 8 | u[2] << 16 | static_cast<uint32_t>(u[3]) << 24);
  return true;
}

bool Cp932ToUtf8(const char* text, size_t length, std::string& utf8) {
  utf8.clear();
  return Convert(ToUtf8(), text, length, utf8);
}

}  // namespace platform::font
