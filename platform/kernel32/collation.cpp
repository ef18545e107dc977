// CompareStringA: CP932 text converted to UTF-8 and compared by ICU's Japanese collator, which is
// what the ANSI functions of a Japanese system collate with.
#include <unicode/ucol.h>

#include <cstring>
#include <mutex>
#include <string>

#include "platform/kernel32/cp932.h"
#include "platform/kernel32/kernel32.h"

namespace {

constexpr LCID kJapanese = 0x0411;

// One collator per comparison strength, opened on first use; a mutex keeps each to one thread.
struct Collator {
  std::mutex mutex;
  UCollator* collator = nullptr;
  bool tried = false;
};

UCollator* OpenCollator(bool ignoreCase) {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open("ja", &status);
  if (U_FAILURE(status)) return nullptr;
  if (ignoreCase) ucol_setStrength(collator, UCOL_SECONDARY);
  return collator;
}

// Any negative count for the whole zero-terminated string; otherwise the explicit length, zeros
// included.
bool Measure(PCNZCH text, int count, size_t* length) {
  if (!text && count != 0) return false;
  *length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
  return true;
}

}  // namespace

int CompareStringA(LCID Locale, DWORD dwCmpFlags, PCNZCH lpString1, int cchCount1, PCNZCH lpString2,
                   int cchCount2) {
  // LOCALE_USE_CP_ACP asks for the ANSI code page, which is the one used here in any case.
  if (dwCmpFlags & ~(NORM_IGNORECASE | LOCALE_USE_CP_ACP)) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  if (Locale != LOCALE_SYSTEM_DEFAULT && Locale != LOCALE_USER_DEFAULT && Locale != LOCALE_NEUTRAL &&
      Locale != kJapanese) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t length1, length2;
  if (!Measure(lpString1, cchCount1, &length1) || !Measure(lpString2, cchCount2, &length2)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // Bytes that are not CP932 keep their own identity, so that unequal bytes never compare equal
  // merely for being invalid.
  std::string text1 = platform::Cp932ToUtf8(lpString1, length1, platform::Cp932Invalid::kPrivateUse);
  std::string text2 = platform::Cp932ToUtf8(lpString2, length2, platform::Cp932Invalid::kPrivateUse);

  static Collator collators[2];
  Collator& c = collators[(dwCmpFlags & NORM_IGNORECASE) ? 1 : 0];
  std::lock_guard<std::mutex> lock(c.mutex);
  if (!c.tried) {
    c.tried = true;
    c.collator = OpenCollator((dwCmpFlags & NORM_IGNORECASE) != 0);
  }
  if (!c.collator) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  UErrorCode status = U_ZERO_ERROR;
  UCollationResult result = ucol_strcollUTF8(c.collator, text1.data(), static_cast<int32_t>(text1.size()),
                                             text2.data(), static_cast<int32_t>(text2.size()), &status);
  if (U_FAILURE(status)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return result == UCOL_LESS ? CSTR_LESS_THAN : result == UCOL_EQUAL ? CSTR_EQUAL : CSTR_GREATER_THAN;
}
