// The text layer: a grid of 101 rows of 255 cells (a Shift-JIS byte, a text colour and a background
// each), printed into at the text cursor and drawn over the window after the graphics layer.
#pragma once

#include "platform/win32.h"
#include "runtime/strings.h"

// Writes `text` (up to its first zero byte) at the cursor with tab stops every 8 columns and CR LF as
// the only line break, then redraws the rows it touched. Consumes `text`. A row keeps at most 254
// characters: a byte that does not fit, or a double-byte character that would be split, goes to the
// start of the next row. Passing row 100 scrolls the grid up at once.
void PrintText(TrackedString text);

// Draws rows of the grid on `dc` (a DC of the console window's client area): every visible row when
// firstRow is -1, else rows firstRow..lastRow. Scrolls the grid first while the cursor row lies
// below the client area.
void RedrawText(HDC dc, int firstRow, int lastRow);

// One scroll step: row 0 is freed, rows 1..100 move up, row 100 is fresh, and the cursor moves up.
void ScrollGridUp();
