// The tracked string store: every string of the runtime is a length-prefixed, zero-terminated block on
// the runtime heap, registered in one global list, and handled by the address of its first text byte.
// Operations that take strings consume them (release them) unless they say otherwise.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// A string is handled by the address of its first text byte; its 32-bit length is stored in the four
// bytes before that address, and a zero byte follows the text.
using TrackedString = char*;

struct StringRegistry {
  TrackedString* items;  // text addresses in order of creation, removals closed up (pointer-sized)
  int32_t count;
  CRITICAL_SECTION lock;
  HANDLE heap;
};

extern StringRegistry stringRegistry;

int32_t StrInit();
TrackedString StrNew(int32_t n);
void StrRelease(TrackedString s);
TrackedString StrConcat(TrackedString left, TrackedString right);
int32_t StrCompare(TrackedString left, TrackedString right);
int32_t StrCompareKeepLeft(TrackedString left, TrackedString right);
uint32_t StrFirstByte(TrackedString s);
TrackedString StrFresh(int32_t n);
int32_t StrLength(TrackedString s);  // the length field

void* MemAlloc(SIZE_T bytes);
void MemFree(void* block);
