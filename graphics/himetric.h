// HIMETRIC (0.01 mm) sizes, as OLE pictures report them, to pixels of the screen.
#pragma once

#include "platform/win32.h"

// Converts a size in HIMETRIC to pixels at the screen DC's LOGPIXELSX and LOGPIXELSY:
// MulDiv(himetric, pixelsPerInch, 2540) for each side.
void HiMetricToPixel(const SIZE* himetric, SIZE* pixels);
