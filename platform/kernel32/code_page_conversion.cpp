// MultiByteToWideChar and WideCharToMultiByte between code page 932 (the ANSI code page) or UTF-8
// and wide characters (one WCHAR a code point on this host), through the CP932 <-> UTF-8 codec.
#include <string>

#include "platform/kernel32/cp932.h"
#include "platform/kernel32/utf8.h"
#include "platform/kernel32/kernel32.h"

namespace {

bool Utf8Page(UINT codePage) { return codePage == CP_UTF8; }
bool AnsiPage(UINT codePage) { return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP || codePage == 932; }

std::u32string DecodeUtf8(const std::string& utf8) {
  std::u32string out;
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    const size_t extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : 4;
    // Valid when the lead byte names a length and that many continuation bytes follow it; otherwise
    // the byte alone is replaced.
    if (extra == 4 || platform::Utf8SequenceLength(utf8.data() + i, utf8.size() - i) < extra + 1) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? b : (b & (0x3F >> extra));
    for (size_t k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

std::string EncodeUtf8(const WCHAR* text, int length) {
  std::string out;
  for (int i = 0; i < length; ++i) {
    const uint32_t cp = static_cast<uint32_t>(text[i]);
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x110000) {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out += "\xEF\xBF\xBD";
    }
  }
  return out;
}

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD, const CHAR* lpMultiByteStr, int cbMultiByte, WCHAR* lpWideCharStr,
                        int cchWideChar) {
  if (!lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0 || (!Utf8Page(CodePage) && !AnsiPage(CodePage))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // -1: the string with its terminating zero.
  const size_t length = cbMultiByte < 0 ? std::char_traits<char>::length(lpMultiByteStr) + 1 : cbMultiByte;
  const std::string utf8 = Utf8Page(CodePage) ? std::string(lpMultiByteStr, length)
                                              : platform::Cp932ToUtf8(lpMultiByteStr, length);
  const std::u32string wide = DecodeUtf8(utf8);
  const int needed = static_cast<int>(wide.size());
  if (cchWideChar == 0) return needed;
  if (!lpWideCharStr || cchWideChar < needed) {
    SetLastError(122);  // ERROR_INSUFFICIENT_BUFFER
    return 0;
  }
  for (int i = 0; i < needed; ++i) lpWideCharStr[i] = static_cast<WCHAR>(wide[i]);
  return needed;
}

int WideCharToMultiByte(UINT CodePage, DWORD, const WCHAR* lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, const CHAR*, LPBOOL lpUsedDefaultChar) {
  if (!lpWideCharStr || cchWideChar == 0 || cbMultiByte < 0 || (!Utf8Page(CodePage) && !AnsiPage(CodePage))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
  int length = cchWideChar;
  if (length < 0) {
    length = 0;
    while (lpWideCharStr[length] != 0) ++length;
    length += 1;
  }
  std::string bytes = EncodeUtf8(lpWideCharStr, length);
  if (!Utf8Page(CodePage)) bytes = platform::Utf8ToCp932(bytes.data(), bytes.size());
  const int needed = static_cast<int>(bytes.size());
  if (cbMultiByte == 0) return needed;
  if (!lpMultiByteStr || cbMultiByte < needed) {
    SetLastError(122);  // ERROR_INSUFFICIENT_BUFFER
    return 0;
  }
  bytes.copy(lpMultiByteStr, bytes.size());
  return needed;
}
