// Inside the platform layer only: code page 932 (the ANSI code page) to and from UTF-8, through
// iconv "CP932". Safe to call from any thread.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The lead bytes of double-byte characters: 0x81-0x9F and 0xE0-0xFC.
bool Cp932IsLeadByte(unsigned char byte);

// Decodes `length` bytes of CP932 (zero bytes included) to UTF-8. A byte that does not begin a valid
// character becomes U+FFFD, or, with `privateUseForInvalid`, the private-use character U+F700 + byte,
// which keeps different invalid bytes apart.
std::string Cp932ToUtf8(const char* text, size_t length, bool privateUseForInvalid = false);

// Encodes UTF-8 as CP932; a character that CP932 lacks, or an invalid UTF-8 byte, becomes '?'.
std::string Utf8ToCp932(const char* text, size_t length);

}  // namespace platform
