// IMM32: the input-method context of a window, where its composition window goes and in which font.
#pragma once

#include "platform/win32_types.h"
#include "platform/gdi32/gdi32.h"

#define CFS_DEFAULT 0x0000u
#define CFS_RECT 0x0001u
#define CFS_POINT 0x0002u

typedef struct tagCOMPOSITIONFORM {
  DWORD dwStyle;
  POINT ptCurrentPos;
  RECT rcArea;
} COMPOSITIONFORM, *PCOMPOSITIONFORM, *LPCOMPOSITIONFORM;

HIMC ImmGetContext(HWND hWnd);
BOOL ImmReleaseContext(HWND hWnd, HIMC hIMC);
BOOL ImmSetCompositionWindow(HIMC hIMC, LPCOMPOSITIONFORM lpCompForm);
BOOL ImmSetCompositionFontA(HIMC hIMC, LPLOGFONTA lplf);
