// Inside the platform layer only: code page 932 (the ANSI code page) to and from UTF-8. The one place
// that converts it: KERNEL32's string calls, GDI's font engine, USER32's input and the display all come
// here. Safe to call from any thread.
//
// Bytes that do not convert, one policy a direction:
// - CP932 to UTF-8: a byte that does not begin a valid character (a stray trail byte, a lead byte whose
//   pair CP932 does not define, a lead byte at the end) becomes one replacement character, and decoding
//   goes on with the next byte. The replacement is '?', as in the other direction, or, for collation, the
//   private-use character U+F700 + byte, which keeps different invalid bytes apart. A caller that must refuse such text rather
//   than draw or show it asks whether anything was replaced.
// - UTF-8 to CP932: a character that CP932 lacks, or a byte that does not begin valid UTF-8 (with the
//   continuation bytes after it), becomes one '?'.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The lead bytes of double-byte characters: 0x81-0x9F and 0xE0-0xFC.
inline bool Cp932IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

enum class Cp932Invalid { kQuestionMark, kPrivateUse };

// Decodes `length` bytes (zero bytes included). `replaced`, when given, tells whether any byte was
// replaced.
std::string Cp932ToUtf8(const char* text, size_t length, Cp932Invalid invalid = Cp932Invalid::kQuestionMark,
                        bool* replaced = nullptr);
inline std::string Cp932ToUtf8(const std::string& text) { return Cp932ToUtf8(text.data(), text.size()); }

// The code point of the one character in `count` (1 or 2) bytes; false when they are not exactly one
// valid character.
bool Cp932DecodeCharacter(const unsigned char* bytes, int count, char32_t* codePoint);

std::string Utf8ToCp932(const char* text, size_t length);
inline std::string Utf8ToCp932(const std::string& text) { return Utf8ToCp932(text.data(), text.size()); }

}  // namespace platform
