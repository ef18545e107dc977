// Inside the platform layer only: the one way UTF-8 is walked. A sequence is a byte and the
// continuation bytes (10xxxxxx) that follow it; whether it is a valid character is the decoder's
// question (DecodeUtf8), not the walker's.
#pragma once

#include <cstddef>

namespace platform {

inline bool Utf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The length in bytes of the sequence at the start of `text` (`length` > 0 bytes): at least 1.
inline size_t Utf8SequenceLength(const char* text, size_t length) {
  size_t n = 1;
  while (n < length && Utf8Continuation(text[n])) ++n;
  return n;
}

// How many sequences (characters, in valid UTF-8) the zero-terminated string holds.
inline int Utf8SequenceCount(const char* text) {
  int count = 0;
  for (; *text; ++text) count += !Utf8Continuation(*text);
  return count;
}

}  // namespace platform
