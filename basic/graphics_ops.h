// The graphics statements of a program, over the runtime's primitives (DrawLine, PaintTile, the pages,
// the picture loader and the tile image) on the calling thread, as the demonstration's script draws.
// Coordinates are pixels of the 640 x 400 screen; colours are palette indexes 0-7. Every operation
// returns 0 or a BASIC error number. What lies outside the screen is clipped without an error.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "basic/tile_pattern.h"
#include "platform/win32.h"

constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenHeight = 400;
// An argument that was left out: the statement's default applies.
constexpr int32_t kDefaultColor = -1;

enum class LineShape { Line, Box, FilledBox };

struct CircleArc {
  double start = 0, end = 0;  // radians; a negative angle also draws the radius to that end
  bool partial = false;       // false: the whole circle
  double aspect = 1;          // the y radius over the x radius
};

class GraphicsLayer {
 public:
  // `start` brings the console window up at the first drawing (empty: it is up already); it returns
  // false when it cannot, and every operation is then "Illegal function call".
  explicit GraphicsLayer(std::function<bool()> start = {});
  ~GraphicsLayer();
  GraphicsLayer(const GraphicsLayer&) = delete;
  GraphicsLayer& operator=(const GraphicsLayer&) = delete;

  // Told of the rectangle every drawing may have changed (the console puts its text back over it).
  void SetDrawnHook(std::function<void(const RECT&)> hook) { drawn_ = std::move(hook); }
  bool Started() const { return started_; }

  // The colours PSET, LINE, CIRCLE and PAINT take when none is given (COLOR sets the first).
  int32_t foreground = 7;
  int32_t background = 0;
  // The last point referenced, for STEP and a LINE without a start.
  POINT last = {kScreenWidth / 2, kScreenHeight / 2};

  int Pset(int32_t x, int32_t y, int32_t color);
  int Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t color, LineShape shape);
  // The palette index of the pixel, or -1 outside the screen.
  int Point(int32_t x, int32_t y, int32_t& index);
  int Circle(int32_t x, int32_t y, int32_t radius, int32_t color, const CircleArc& arc);
  int Paint(int32_t x, int32_t y, int32_t color, int32_t border);
  int PaintPattern(int32_t x, int32_t y, std::string_view tile, int32_t border);
  // The runtime's own: a BMP, JPEG or GIF file drawn with its top-left corner at (x, y) (53 when the
  // file cannot be opened, 5 when it holds no picture we read); a rectangle of the screen cut into the
  // tile image; a fill with that tile; the work page and the doubled page shown.
  int Picture(int32_t x, int32_t y, std::string_view path);
  int CutTile(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  int PaintTileImage(int32_t x, int32_t y, int32_t border);
  int ShowWork();
  int ShowDoubled();
  // The graphics layer black again, the last point at the centre.
  int Clear();

 private:
  bool Ready();
  void Drawn(const RECT& r);
  void Fill(int32_t x, int32_t y, HBRUSH brush, int32_t border);

  std::function<bool()> start_;
  std::function<void(const RECT&)> drawn_;
  bool started_ = false;
  bool failed_ = false;
};

// Whether `color` is a palette index (0-7).
inline bool IsPaletteIndex(int32_t color) { return color >= 0 && color <= 7; }
