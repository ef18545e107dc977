// The drawing primitives of the graphics layer: the eight-colour palette, lines and boxes, and the
// tile-pattern flood fill. They draw into the console's back buffer and, unbuffered, onto the window
// as well; buffered, they leave the window alone and then capture the back buffer into workPage.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// Given as both x1 and y1, the start point of DrawLine is lastPoint.
constexpr int32_t kLastPointSentinel = INT32_MIN;

// The graphics pen position: where the last DrawLine ended; (0, 0) at load.
extern POINT lastPoint;

// Index bits: 0 blue, 1 red, 2 green. Any index outside 0..7 is black.
COLORREF ColorFromIndex(int32_t index);

// mode 0: a line including both ends; 2: a box filled with fillColor; any other: a box outline. A box
// given in absolute corners is ordered first; relative ends (offsets from the start) never are.
void DrawLine(int32_t x1, int32_t y1, int32_t relative, int32_t x2, int32_t y2, COLORREF penColor, int32_t mode,
              COLORREF fillColor, bool buffered);

// Fills the region around (x, y) bounded by the palette colour borderIndex with the pattern of
// tileImage's bitmap, anchored at the origin. Without a tile bitmap nothing is filled.
void PaintTile(int32_t x, int32_t y, int32_t borderIndex, bool buffered);
