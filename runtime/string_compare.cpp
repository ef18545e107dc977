// String comparison, in a file of its own: it collates through CompareStringA, and a program that
// never compares tracked strings (the BASIC runner compares bytes) links without the collator.
#include "runtime/strings.h"

namespace {

// A null string operand stands for the empty string, so no operation reads through it.
const char* TextOf(TrackedString s) { return s ? s : ""; }

// Compares by the stored lengths, so embedded zero bytes take part.
int32_t CompareTracked(TrackedString left, TrackedString right) {
  return CompareStringA(LOCALE_SYSTEM_DEFAULT, 0, TextOf(left), StrLength(left), TextOf(right), StrLength(right));
}

}  // namespace

int32_t StrCompare(TrackedString left, TrackedString right) {
  int32_t result = CompareTracked(left, right);
  StrRelease(left);
  StrRelease(right);
  return result;
}

int32_t StrCompareKeepLeft(TrackedString left, TrackedString right) {
  int32_t result = CompareTracked(left, right);
  StrRelease(right);
  return result;
}

