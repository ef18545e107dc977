// Printing into the text grid, and drawing it over the graphics layer.
#include "console/text_grid.h"

#include "console/console_state.h"

namespace {

const int kTabStop = 8;

bool IsLead(char byte) { return IsDBCSLeadByte(static_cast<BYTE>(byte)) != 0; }

// Whether the cell before the cursor holds a lead byte whose trail has not been printed yet, pairing
// the row's bytes from cell 0 the way the redraw does.
bool CursorAwaitsTrailByte() {
  const char* cells = console.rowChars[console.cursorRow];
  int j = 0;
  while (j < console.cursorCol) j += (cells[j] != 0 && IsLead(cells[j])) ? 2 : 1;
  return j > console.cursorCol;
}

// CR LF, and the wrap at the right edge: the cursor goes to the start of the next row. The grid
// holds rows 0..100 only, so a cursor on row 100 scrolls the grid instead.
void NextRow(bool& scrolled) {
  if (console.cursorRow == kTextRows - 1) {
    ScrollGridUp();
    scrolled = true;
  }
  console.cursorRow += 1;
  console.cursorCol = 0;
}

void StoreByte(char byte) {
  const int r = console.cursorRow;
  const int c = console.cursorCol;
  console.rowChars[r][c] = byte;
  console.rowFore[r][c] = console.foreColor;
  console.rowBack[r][c] = console.backColor;
  console.cursorCol += 1;
}

// A tab fills up to the next stop with spaces that keep the colours their cells held. At the right
// edge the fill stops before the row's last cell, which always stays the row's zero byte.
void PrintTab(bool& scrolled) {
  if (console.cursorCol >= kRowTextLimit) NextRow(scrolled);
  const int n = kTabStop - (console.cursorCol % kTabStop);
  TrackedString space = StrNew(1);
  lstrcpyA(space, " ");
  const char spaceByte = static_cast<char>(StrFirstByte(space));
  int end = console.cursorCol + n;
  if (end > kRowTextLimit) end = kRowTextLimit;
  for (int c = console.cursorCol; c < end; ++c) console.rowChars[console.cursorRow][c] = spaceByte;
  console.cursorCol = end;
}

void DrawRow(HDC dc, int r, int clientWidth) {
  const char* text = console.rowChars[r];
  const COLORREF* fore = console.rowFore[r];
  const int32_t* back = console.rowBack[r];
  const int y = r * console.cellHeight;
  const int length = lstrlenA(text);

  // The graphics layer first, across the whole row: where the text ends, and under every cell with
  // a transparent background (a glyph drawn there before, or a row that scrolled away, goes).
  BitBlt(dc, 0, y, clientWidth, console.cellHeight, console.backBuffer, 0, y, SRCCOPY);

  int j = 0;
  while (j <= length - 1) {
    SetTextColor(dc, fore[j]);
    if (back[j] == -1) {
      SetBkMode(dc, TRANSPARENT);
    } else {
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, static_cast<COLORREF>(back[j]));
    }
    const bool lead = IsLead(text[j]);
    char piece[3] = {text[j], lead ? text[j + 1] : '\0', '\0'};
    TextOutA(dc, j * console.cellWidth, y, piece, lstrlenA(piece));
    j += lead ? 2 : 1;
  }
}

}  // namespace

void ScrollGridUp() {
  HeapFree(stringRegistry.heap, 0, console.rowChars[0]);
  HeapFree(stringRegistry.heap, 0, console.rowFore[0]);
  HeapFree(stringRegistry.heap, 0, console.rowBack[0]);
  for (int r = 0; r < kTextRows - 1; ++r) {
    console.rowChars[r] = console.rowChars[r + 1];
    console.rowFore[r] = console.rowFore[r + 1];
    console.rowBack[r] = console.rowBack[r + 1];
  }
  // Zero-filled blocks of the runtime heap; when it has none left, the runtime ends the program as it
  // does for a string, rather than let the grid write through a null row.
  const int last = kTextRows - 1;
  console.rowChars[last] = static_cast<char*>(MemAlloc(kRowCells));
  console.rowFore[last] = static_cast<COLORREF*>(MemAlloc(kRowCells * sizeof(COLORREF)));
  console.rowBack[last] = static_cast<int32_t*>(MemAlloc(kRowCells * sizeof(int32_t)));
  console.cursorRow -= 1;
}

void PrintText(TrackedString text) {
  int startRow = console.cursorRow;
  bool scrolled = false;
  bool trailPending = CursorAwaitsTrailByte();

  const char* p = text ? text : "";  // a null string prints as the empty one, as everywhere in the runtime
  while (*p != 0) {
    if (*p == '\t') {
      PrintTab(scrolled);
      trailPending = false;
      p += 1;
    } else if (p[0] == '\r' && p[1] == '\n') {
      NextRow(scrolled);
      trailPending = false;
      p += 2;
    } else {
      // A double-byte character needs both of its cells on one row.
      const bool lead = !trailPending && IsLead(*p);
      const int cells = lead ? 2 : 1;
      if (console.cursorCol + cells > kRowTextLimit) NextRow(scrolled);
      StoreByte(*p);
      trailPending = lead;
      p += 1;
    }
  }

  HDC dc = GetDC(console.consoleWindow);
  RedrawText(dc, scrolled ? -1 : startRow, console.cursorRow);
  ReleaseDC(console.consoleWindow, dc);
  StrRelease(text);
}

void RedrawText(HDC dc, int firstRow, int lastRow) {
  HGDIOBJ previousFont = SelectObject(dc, console.consoleFontHandle);
  RECT client = {0, 0, 0, 0};
  GetClientRect(console.consoleWindow, &client);
  const int clientHeight = client.bottom;
  const int clientWidth = client.right;

  while ((console.cursorRow + 1) * console.cellHeight > clientHeight && console.cursorRow > 0) {
    ScrollGridUp();
    firstRow = -1;
  }

  for (int r = 0; r * console.cellHeight < clientHeight && r < kTextRows; ++r) {
    if (firstRow == -1 || (firstRow <= r && r <= lastRow)) DrawRow(dc, r, clientWidth);
  }
  SelectObject(dc, previousFont);
}
