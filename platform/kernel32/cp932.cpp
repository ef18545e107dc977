#include "platform/kernel32/cp932.h"
#include "platform/kernel32/utf8.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace platform {
namespace {

// One conversion descriptor per thread and direction: iconv_t is not shareable between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can, appending to `out`; leaves `in` at the first byte it could not take.
  // Returns false when it stopped at an invalid or incomplete sequence.
  bool Convert(const char*& in, size_t& left, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[1024];
    while (left > 0) {
      char* inPtr = const_cast<char*>(in);
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      size_t result = iconv(cd_, &inPtr, &left, &outPtr, &outLeft);
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      in = inPtr;
      if (result == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    return true;
  }

 private:
  iconv_t cd_;
};

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Cp932ToUtf8(const char* text, size_t length, Cp932Invalid invalid, bool* replaced) {
  thread_local Converter decoder("UTF-8", "CP932");
  std::string out;
  out.reserve(length);
  if (replaced != nullptr) *replaced = false;
  while (length > 0) {
    if (decoder.ok() && decoder.Convert(text, length, out)) break;
    // An invalid or cut-off character: replace its first byte and go on with the next.
    unsigned char bad = static_cast<unsigned char>(*text);
    AppendUtf8(out, invalid == Cp932Invalid::kPrivateUse ? 0xF700u + bad : static_cast<uint32_t>('?'));
    if (replaced != nullptr) *replaced = true;
    ++text;
    --length;
  }
  return out;
}

bool Cp932DecodeCharacter(const unsigned char* bytes, int count, char32_t* codePoint) {
  if (count < 1 || count > 2) return false;
  bool replaced = false;
  const std::string utf8 = Cp932ToUtf8(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count),
                                       Cp932Invalid::kQuestionMark, &replaced);
  if (replaced || utf8.empty()) return false;
  // One character in must be one code point out; a CP932 character is at most three UTF-8 bytes.
  const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
  if (u[0] < 0x80 && utf8.size() == 1) {
    *codePoint = u[0];
  } else if ((u[0] & 0xE0) == 0xC0 && utf8.size() == 2) {
    *codePoint = static_cast<char32_t>((u[0] & 0x1F) << 6 | (u[1] & 0x3F));
  } else if ((u[0] & 0xF0) == 0xE0 && utf8.size() == 3) {
    *codePoint = static_cast<char32_t>((u[0] & 0x0F) << 12 | (u[1] & 0x3F) << 6 | (u[2] & 0x3F));
  } else {
    return false;
  }
  return true;
}

std::string Utf8ToCp932(const char* text, size_t length) {
  thread_local Converter encoder("CP932", "UTF-8");
  std::string out;
  out.reserve(length);
  while (length > 0) {
    if (encoder.ok() && encoder.Convert(text, length, out)) break;
    // Skip the whole UTF-8 sequence that could not be encoded (its continuation bytes too).
    out += '?';
    const size_t skipped = Utf8SequenceLength(text, length);
    text += skipped;
    length -= skipped;
  }
  return out;
}

}  // namespace platform
