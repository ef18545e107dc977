#include "graphics/primitives.h"

#include "console/console_state.h"
#include "graphics/image_object.h"
#include "graphics/pages.h"

POINT lastPoint;

namespace {

constexpr COLORREF kPalette[8] = {
    0x000000,  // black
    0xFF0000,  // blue
    0x0000FF,  // red
    0xFF00FF,  // magenta
    0x00FF00,  // green
    0xFFFF00,  // cyan
    0x00FFFF,  // yellow
    0xFFFFFF,  // white
};

// Coordinates wrap around as 32-bit machine integers do.
int32_t WrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

void DrawFigure(HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF penColor, int32_t mode) {
  if (mode == 0) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    // LineTo leaves its end point out.
    SetPixel(dc, x2, y2, penColor);
  } else {
    // Rectangle leaves the right column and the bottom row out.
    Rectangle(dc, x1, y1, WrappingAdd(x2, 1), WrappingAdd(y2, 1));
  }
}

}  // namespace

COLORREF ColorFromIndex(int32_t index) {
  if (index < 0 || index > 7) return 0;
  return kPalette[index];
}

void DrawLine(int32_t x1, int32_t y1, int32_t relative, int32_t x2, int32_t y2, COLORREF penColor, int32_t mode,
              COLORREF fillColor, bool buffered) {
  if (x1 == kLastPointSentinel && y1 == kLastPointSentinel) {
    x1 = lastPoint.x;
    y1 = lastPoint.y;
  }
  if (relative != 0) {
    x2 = WrappingAdd(x1, x2);
    y2 = WrappingAdd(y1, y2);
  } else if (mode != 0) {
    if (x1 > x2) {
      const int32_t t = x1;
      x1 = x2;
      x2 = t;
    }
    if (y1 > y2) {
      const int32_t t = y1;
      y1 = y2;
      y2 = t;
    }
  }

  HDC windowDC = buffered ? nullptr : GetDC(console.consoleWindow);
  HPEN pen = CreatePen(PS_SOLID, 1, penColor);
  HBRUSH brush = mode == 2 ? CreateSolidBrush(fillColor) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  if (!buffered) {
    SelectObject(windowDC, pen);
    SelectObject(windowDC, brush);
  }
  HDC back = console.backBuffer;
  HGDIOBJ keptPen = SelectObject(back, pen);
  HGDIOBJ keptBrush = SelectObject(back, brush);

  if (mode == 0) {
    DrawFigure(back, x1, y1, x2, y2, penColor, mode);
    if (!buffered) DrawFigure(windowDC, x1, y1, x2, y2, penColor, mode);
  } else {
    if (!buffered) DrawFigure(windowDC, x1, y1, x2, y2, penColor, mode);
    DrawFigure(back, x1, y1, x2, y2, penColor, mode);
  }

  if (!buffered) ReleaseDC(console.consoleWindow, windowDC);
  SelectObject(back, keptPen);
  SelectObject(back, keptBrush);
  DeleteObject(pen);
  if (mode == 2) DeleteObject(brush);

  lastPoint.x = x2;
  lastPoint.y = y2;
  if (buffered) CaptureWorkPage();
}

void PaintTile(int32_t x, int32_t y, int32_t borderIndex, bool buffered) {
  // Without a tile no pattern brush can be made, and a fill with whatever brush the DCs hold would
  // paint the wrong thing: the fill is skipped.
  HBITMAP tile = SurfaceGetBitmap(&tileImage);
  HBRUSH brush = tile != nullptr ? CreatePatternBrush(tile) : nullptr;
  if (brush != nullptr) {
    const COLORREF border = ColorFromIndex(borderIndex);
    HDC windowDC = nullptr;
    if (!buffered) {
      windowDC = GetDC(console.consoleWindow);
      SelectObject(windowDC, brush);
      ExtFloodFill(windowDC, x, y, border, FLOODFILLBORDER);
    }
    HGDIOBJ keptBrush = SelectObject(console.backBuffer, brush);
    ExtFloodFill(console.backBuffer, x, y, border, FLOODFILLBORDER);
    if (!buffered) ReleaseDC(console.consoleWindow, windowDC);
    SelectObject(console.backBuffer, keptBrush);
    DeleteObject(brush);
  }
  if (buffered) CaptureWorkPage();
}
