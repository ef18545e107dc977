#include "platform/display/cp932_codec.h"

#include <iconv.h>

#include <cerrno>

namespace platform::display {
namespace {

// The length of the character starting at `p` in `from` (so an unconvertible one can be skipped whole).
size_t CharLength(const char* p, size_t left, bool fromUtf8) {
  auto c = static_cast<unsigned char>(*p);
  size_t n = 1;
  if (fromUtf8) {
    if (c >= 0xF0) n = 4;
    else if (c >= 0xE0) n = 3;
    else if (c >= 0xC0) n = 2;
  } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
    n = 2;
  }
  return n < left ? n : left;
}

std::string Convert(const char* to, const char* from, const std::string& in, bool fromUtf8) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string out;
  char buffer[256];
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  while (left > 0) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, dst - buffer);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // An invalid or unrepresentable character (or a cut one at the end): one '?' for it.
      size_t skip = CharLength(src, left, fromUtf8);
      src += skip;
      left -= skip;
      out.push_back('?');
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Utf8ToCp932(const std::string& utf8) { return Convert("CP932", "UTF-8", utf8, true); }
std::string Cp932ToUtf8(const std::string& cp932) { return Convert("UTF-8", "CP932", cp932, false); }

std::string ClipboardTextToSystem(const std::string& cp932) {
  std::string lf;
  for (size_t i = 0; i < cp932.size(); ++i) {
    if (cp932[i] == '\r' && i + 1 < cp932.size() && cp932[i + 1] == '\n') continue;
    lf.push_back(cp932[i]);
  }
  return Cp932ToUtf8(lf);
}

std::string ClipboardTextFromSystem(const std::string& utf8) {
  std::string crlf;
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '\r' || c == '\n') {
      crlf += "\r\n";
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      crlf.push_back(c);
    }
  }
  return Utf8ToCp932(crlf);
}

}  // namespace platform::display
