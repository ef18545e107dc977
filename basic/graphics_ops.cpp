#include "basic/graphics_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "basic/errors.h"
#include "console/console_state.h"
#include "graphics/image_object.h"
#include "graphics/pages.h"
#include "graphics/primitives.h"

namespace {

// Pictures are drawn through an image object of their own, so that loading one keeps the tile.
ImageObject pictureImage;

constexpr double kTwoPi = 6.283185307179586;

RECT Around(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
}

const RECT kWholeScreen = {0, 0, kScreenWidth, kScreenHeight};

// One pixel, as the script's primitives draw it: a line from the point to itself.
void Plot(int32_t x, int32_t y, COLORREF color) { DrawLine(x, y, 0, x, y, color, 0, color, false); }

double NormalAngle(double a) {
  a = std::fmod(a, kTwoPi);
  return a < 0 ? a + kTwoPi : a;
}

bool InArc(double angle, double start, double end) {
  return start <= end ? angle >= start && angle <= end : angle >= start || angle <= end;
}

// The pixels of an axis-aligned ellipse around the origin (midpoint method), one quadrant mirrored.
void EllipsePoints(int32_t rx, int32_t ry, std::vector<POINT>& points) {
  if (rx == 0 || ry == 0) {
    for (int32_t i = -rx; i <= rx; ++i) points.push_back({i, 0});
    for (int32_t i = -ry; i <= ry; ++i) points.push_back({0, i});
    return;
  }
  auto four = [&](int32_t x, int32_t y) {
    points.push_back({x, y});
    points.push_back({-x, y});
    points.push_back({x, -y});
    points.push_back({-x, -y});
  };
  const double a2 = static_cast<double>(rx) * rx, b2 = static_cast<double>(ry) * ry;
  int32_t x = 0, y = ry;
  double d = b2 - a2 * ry + 0.25 * a2;
  while (b2 * x < a2 * y) {
    four(x, y);
    if (d < 0) {
      d += b2 * (2 * x + 3);
    } else {
      d += b2 * (2 * x + 3) + a2 * (-2 * y + 2);
      --y;
    }
    ++x;
  }
  d = b2 * (x + 0.5) * (x + 0.5) + a2 * (y - 1.0) * (y - 1.0) - a2 * b2;
  while (y >= 0) {
    four(x, y);
    if (d > 0) {
      d += a2 * (-2 * y + 3);
    } else {
      d += b2 * (2 * x + 2) + a2 * (-2 * y + 3);
      ++x;
    }
    --y;
  }
}

int32_t IndexOfColor(COLORREF c) {
  // The palette's own colours map back exactly; a picture's colours go to the nearest corner of the
  // colour cube, one bit per channel.
  const int blue = (c >> 16) & 0xFF, green = (c >> 8) & 0xFF, red = c & 0xFF;
  return (blue >= 128 ? 1 : 0) | (red >= 128 ? 2 : 0) | (green >= 128 ? 4 : 0);
}

}  // namespace

GraphicsLayer::GraphicsLayer(std::function<bool()> start) : start_(std::move(start)) {}

GraphicsLayer::~GraphicsLayer() = default;

bool GraphicsLayer::Ready() {
  if (started_) return true;
  if (failed_) return false;
  if (start_ && !start_()) {
    failed_ = true;
    return false;
  }
  started_ = true;
  // The runtime's objects are the process's: set up once, as the demonstration sets them up.
  static bool objectsReady = false;
  if (objectsReady) return true;
  objectsReady = true;
  // The tile image, which is never sampled, and the pages, which take their sizes from their first
  // captures.
  ImageInit(&tileImage);
  ImageSetScanDelay(&tileImage, -1);
  SurfaceBind(&tileImage);
  ImageInit(&pictureImage);
  ImageSetScanDelay(&pictureImage, -1);
  SurfaceBind(&pictureImage);
  SurfaceInit(&workPage);
  SurfaceInit(&halfPage);
  SurfaceInit(&showPage);
  SurfaceBind(&workPage);
  SurfaceBind(&halfPage);
  SurfaceBind(&showPage);
  SurfaceCapture(&workPage, 0, 0, kPageWidth, kPageHeight);
  SurfaceCapture(&halfPage, 0, 0, kPageWidth, kHalfPageHeight);
  SurfaceCapture(&showPage, 0, 0, kPageWidth, kPageHeight);
  return true;
}

void GraphicsLayer::Drawn(const RECT& r) {
  if (drawn_) drawn_(r);
}

int GraphicsLayer::Pset(int32_t x, int32_t y, int32_t color) {
  if (!IsPaletteIndex(color) || !Ready()) return kErrIllegalFunctionCall;
  Plot(x, y, ColorFromIndex(color));
  last = {x, y};
  Drawn(Around(x, y, x, y));
  return 0;
}

int GraphicsLayer::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color, LineShape shape) {
  if (!IsPaletteIndex(color) || !Ready()) return kErrIllegalFunctionCall;
  const COLORREF c = ColorFromIndex(color);
  const int32_t mode = shape == LineShape::Line ? 0 : shape == LineShape::Box ? 1 : 2;
  DrawLine(x1, y1, 0, x2, y2, c, mode, c, false);
  last = {x2, y2};
  Drawn(Around(x1, y1, x2, y2));
  return 0;
}

int GraphicsLayer::Point(int32_t x, int32_t y, int32_t& index) {
  if (!Ready()) return kErrIllegalFunctionCall;
  if (x < 0 || y < 0 || x >= kScreenWidth || y >= kScreenHeight) {
    index = -1;
    return 0;
  }
  index = IndexOfColor(GetPixel(console.backBuffer, x, y));
  return 0;
}

int GraphicsLayer::Circle(int32_t x, int32_t y, int32_t radius, int32_t color, const CircleArc& arc) {
  if (!IsPaletteIndex(color) || radius < 0 || !(arc.aspect > 0) || !Ready()) return kErrIllegalFunctionCall;
  const COLORREF c = ColorFromIndex(color);
  // The radius is the longer axis: across for an aspect below 1, down for one above.
  const int32_t rx = arc.aspect <= 1 ? radius : static_cast<int32_t>(std::lround(radius / arc.aspect));
  const int32_t ry = arc.aspect <= 1 ? static_cast<int32_t>(std::lround(radius * arc.aspect)) : radius;
  std::vector<POINT> points;
  EllipsePoints(rx, ry, points);
  const double start = NormalAngle(std::fabs(arc.start)), end = NormalAngle(std::fabs(arc.end));
  for (const POINT& p : points) {
    if (arc.partial) {
      // Angles run counter-clockwise from the positive x axis, on the circle the ellipse is squeezed from.
      const double angle = NormalAngle(std::atan2(-static_cast<double>(p.y) * rx, static_cast<double>(p.x) * std::max(ry, 1)));
      if (!InArc(angle, start, end)) continue;
    }
    // Only what lies on the screen is drawn: a huge circle costs its visible points.
    const int32_t px = x + p.x, py = y + p.y;
    if (px >= 0 && py >= 0 && px < kScreenWidth && py < kScreenHeight) Plot(px, py, c);
  }
  if (arc.partial) {
    for (const double a : {arc.start, arc.end}) {
      if (a >= 0) continue;
      const double t = NormalAngle(-a);
      DrawLine(x, y, 0, x + static_cast<int32_t>(std::lround(rx * std::cos(t))),
               y - static_cast<int32_t>(std::lround(ry * std::sin(t))), c, 0, c, false);
    }
  }
  last = {x, y};
  Drawn(Around(x - rx, y - ry, x + rx, y + ry));
  return 0;
}

// The fill of PaintTile with any brush: the region around (x, y) bounded by the border colour, on the
// window and in the back buffer.
void GraphicsLayer::Fill(int32_t x, int32_t y, HBRUSH brush, int32_t border) {
  const COLORREF borderColor = ColorFromIndex(border);
  HDC windowDC = GetDC(console.consoleWindow);
  HGDIOBJ keptWindowBrush = SelectObject(windowDC, brush);
  ExtFloodFill(windowDC, x, y, borderColor, FLOODFILLBORDER);
  SelectObject(windowDC, keptWindowBrush);
  ReleaseDC(console.consoleWindow, windowDC);
  HGDIOBJ keptBrush = SelectObject(console.backBuffer, brush);
  ExtFloodFill(console.backBuffer, x, y, borderColor, FLOODFILLBORDER);
  SelectObject(console.backBuffer, keptBrush);
}

int GraphicsLayer::Paint(int32_t x, int32_t y, int32_t color, int32_t border) {
  if (!IsPaletteIndex(color) || !IsPaletteIndex(border) || !Ready()) return kErrIllegalFunctionCall;
  last = {x, y};
  HBRUSH brush = CreateSolidBrush(ColorFromIndex(color));
  Fill(x, y, brush, border);
  DeleteObject(brush);
  Drawn(kWholeScreen);
  return 0;
}

int GraphicsLayer::PaintPattern(int32_t x, int32_t y, std::string_view tile, int32_t border) {
  TilePattern pattern;
  if (!DecodeTile(tile, pattern) || !IsPaletteIndex(border) || !Ready()) return kErrIllegalFunctionCall;
  last = {x, y};
  // The tile as a bitmap; a pattern brush repeats it from the screen's origin.
  HBITMAP bitmap = CreateCompatibleBitmap(console.backBuffer, kTileWidth, pattern.rows);
  HDC memory = CreateCompatibleDC(console.backBuffer);
  HGDIOBJ kept = SelectObject(memory, bitmap);
  for (int r = 0; r < pattern.rows; ++r)
    for (int c = 0; c < kTileWidth; ++c) SetPixel(memory, c, r, ColorFromIndex(pattern.indexes[r][c]));
  SelectObject(memory, kept);
  DeleteDC(memory);
  HBRUSH brush = CreatePatternBrush(bitmap);
  if (brush != nullptr) {
    Fill(x, y, brush, border);
    DeleteObject(brush);
  }
  DeleteObject(bitmap);
  Drawn(kWholeScreen);
  return 0;
}

int GraphicsLayer::Picture(int32_t x, int32_t y, std::string_view path) {
  if (!Ready()) return kErrIllegalFunctionCall;
  const std::string name(path);
  if (name.empty()) return kErrBadFileName;
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (file == nullptr) return kErrFileNotFound;
  std::fclose(file);
  if (ImageLoadFile(&pictureImage, name.c_str()) == 0) return kErrIllegalFunctionCall;
  SurfaceDraw(&pictureImage, x, y, 0);
  Drawn(RECT{x, y, x + ImageGetWidth(&pictureImage), y + ImageGetHeight(&pictureImage)});
  return 0;
}

int GraphicsLayer::CutTile(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!Ready()) return kErrIllegalFunctionCall;
  const RECT r = Around(x1, y1, x2, y2);
  if (r.left < 0 || r.top < 0 || r.right > kScreenWidth || r.bottom > kScreenHeight) return kErrIllegalFunctionCall;
  ImageCaptureAndScan(&tileImage, r.left, r.top, r.right - r.left, r.bottom - r.top);
  return 0;
}

int GraphicsLayer::PaintTileImage(int32_t x, int32_t y, int32_t border) {
  if (!IsPaletteIndex(border) || !Ready()) return kErrIllegalFunctionCall;
  // Without a tile there is nothing to paint with.
  if (SurfaceGetBitmap(&tileImage) == nullptr) return kErrIllegalFunctionCall;
  last = {x, y};
  PaintTile(x, y, border, false);
  Drawn(kWholeScreen);
  return 0;
}

int GraphicsLayer::ShowWork() {
  if (!Ready()) return kErrIllegalFunctionCall;
  CaptureWorkPage();
  ShowWorkPage();
  Drawn(kWholeScreen);
  return 0;
}

int GraphicsLayer::ShowDoubled() {
  if (!Ready()) return kErrIllegalFunctionCall;
  CaptureWorkPage();
  ShowDoubledPage();
  Drawn(kWholeScreen);
  return 0;
}

int GraphicsLayer::Clear() {
  if (!Ready()) return kErrIllegalFunctionCall;
  HGDIOBJ kept = SelectObject(console.backBuffer, GetStockObject(BLACK_BRUSH));
  PatBlt(console.backBuffer, 0, 0, console.screenWidth, console.screenHeight, PATCOPY);
  SelectObject(console.backBuffer, kept);
  InvalidateRect(console.consoleWindow, nullptr, FALSE);
  last = {kScreenWidth / 2, kScreenHeight / 2};
  return 0;
}
