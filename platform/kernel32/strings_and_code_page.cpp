// String and memory helpers, the ANSI code page (932) and its lead bytes, and MulDiv.
#include <cstdint>
#include <cstring>

#include "platform/kernel32/cp932.h"
#include "platform/kernel32/kernel32.h"

namespace {
constexpr UINT kAnsiCodePage = 932;
}

int lstrlenA(LPCSTR lpString) { return lpString ? static_cast<int>(std::strlen(lpString)) : 0; }

LPSTR lstrcpyA(LPSTR lpString1, LPCSTR lpString2) {
  if (!lpString1 || !lpString2) return nullptr;
  return std::strcpy(lpString1, lpString2);
}

void RtlMoveMemory(void* Destination, const void* Source, SIZE_T Length) {
  if (Length) std::memmove(Destination, Source, Length);
}

UINT GetACP(void) { return kAnsiCodePage; }

BOOL IsDBCSLeadByte(BYTE TestChar) { return platform::Cp932IsLeadByte(TestChar) ? TRUE : FALSE; }

BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
  // The ANSI, OEM and thread code pages of a Japanese system are all 932.
  if (CodePage == CP_ACP || CodePage == CP_OEMCP || CodePage == CP_THREAD_ACP || CodePage == kAnsiCodePage) {
    return IsDBCSLeadByte(TestChar);
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

int MulDiv(int nNumber, int nNumerator, int nDenominator) {
  if (nDenominator == 0) return -1;
  int64_t product = static_cast<int64_t>(nNumber) * nNumerator;
  int64_t divisor = nDenominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  // Rounds half away from zero; the sign of the result is that of the product.
  int64_t result = product >= 0 ? (product + divisor / 2) / divisor : (product - divisor / 2) / divisor;
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return static_cast<int>(result);
}
