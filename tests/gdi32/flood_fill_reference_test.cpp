// ExtFloodFill against a plain reference on random pictures and random mazes: the same region, pixel
// for pixel, in both modes, from any seed.
#include <random>
#include <vector>

#include "gdi_test.h"

namespace {

class FloodFillReference : public GdiTest {};

constexpr COLORREF kWall = RGB(255, 255, 255);
constexpr COLORREF kPaint = RGB(0, 128, 255);  // in no picture
constexpr COLORREF kColours[] = {kWall, RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255)};

struct Picture {
  int width, height;
  std::vector<COLORREF> pixels;
  COLORREF& at(int x, int y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
  COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
};

// The flood fill as this layer first had it, kept as the yardstick: a visited mark for every pixel of
// the picture and a stack of seeds, one per run of open pixels next to each span found. Returns the
// region as one flag a pixel; empty when the seed is not inside.
std::vector<bool> ReferenceRegion(const Picture& picture, int seedX, int seedY, COLORREF color, UINT type) {
  const bool surface = type == FLOODFILLSURFACE;
  auto inside = [&](int x, int y) { return (picture.at(x, y) == color) == surface; };
  std::vector<bool> visited(picture.pixels.size(), false);
  auto mark = [&](int x, int y) { return visited[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + x]; };
  auto open = [&](int x, int y) { return !mark(x, y) && inside(x, y); };
  if (!inside(seedX, seedY)) return {};
  struct Seed {
    int x, y;
  };
  std::vector<Seed> stack{{seedX, seedY}};
  auto pushRuns = [&](int y, int x0, int x1) {
    int x = x0;
    while (x < x1) {
      if (!open(x, y)) {
        ++x;
        continue;
      }
      stack.push_back({x, y});
      while (x < x1 && open(x, y)) ++x;
    }
  };
  while (!stack.empty()) {
    Seed seed = stack.back();
    stack.pop_back();
    if (mark(seed.x, seed.y)) continue;
    int x0 = seed.x;
    int x1 = seed.x + 1;
    while (x0 > 0 && open(x0 - 1, seed.y)) --x0;
    while (x1 < picture.width && open(x1, seed.y)) ++x1;
    for (int x = x0; x < x1; ++x) visited[static_cast<size_t>(seed.y) * static_cast<size_t>(picture.width) + x] = true;
    if (seed.y > 0) pushRuns(seed.y - 1, x0, x1);
    if (seed.y + 1 < picture.height) pushRuns(seed.y + 1, x0, x1);
  }
  return visited;
}

// Noise: every pixel one of the first `colours` colours, walls with probability `wallShare`.
Picture Noise(std::mt19937& random, int width, int height, double wallShare, int colours) {
  Picture picture{width, height, std::vector<COLORREF>(static_cast<size_t>(width) * static_cast<size_t>(height))};
  std::bernoulli_distribution wall(wallShare);
  std::uniform_int_distribution<int> other(1, colours - 1);
  for (COLORREF& p : picture.pixels) p = wall(random) ? kWall : kColours[other(random)];
  return picture;
}

// A maze of cells x rows corridors one pixel wide between walls one pixel thick, carved by a random
// depth-first walk (one path between any two cells), then opened in `holes` random wall pixels so that
// loops appear as well.
Picture Maze(std::mt19937& random, int cells, int rows, int holes) {
  Picture picture{2 * cells + 1, 2 * rows + 1, {}};
  picture.pixels.assign(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height), kWall);
  std::vector<bool> seen(static_cast<size_t>(cells) * static_cast<size_t>(rows), false);
  struct Cell {
    int x, y;
  };
  std::vector<Cell> path{{0, 0}};
  seen[0] = true;
  picture.at(1, 1) = RGB(0, 0, 0);
  const Cell steps[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  while (!path.empty()) {
    Cell here = path.back();
    std::vector<Cell> next;
    for (Cell step : steps) {
      Cell c{here.x + step.x, here.y + step.y};
      if (c.x >= 0 && c.y >= 0 && c.x < cells && c.y < rows && !seen[static_cast<size_t>(c.y * cells + c.x)]) next.push_back(c);
    }
    if (next.empty()) {
      path.pop_back();
      continue;
    }
    Cell c = next[std::uniform_int_distribution<size_t>(0, next.size() - 1)(random)];
    seen[static_cast<size_t>(c.y * cells + c.x)] = true;
    picture.at(2 * c.x + 1, 2 * c.y + 1) = RGB(0, 0, 0);
    picture.at(here.x + c.x + 1, here.y + c.y + 1) = RGB(0, 0, 0);
    path.push_back(c);
  }
  std::uniform_int_distribution<int> hx(0, picture.width - 1), hy(0, picture.height - 1);
  for (int i = 0; i < holes; ++i) picture.at(hx(random), hy(random)) = kColours[2];
  return picture;
}

void Draw(const Canvas& canvas, const Picture& picture) {
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) SetPixel(canvas.dc(), x, y, picture.at(x, y));
}

// Fills the picture on a canvas from the seed and compares the result, and the answer, with the
// reference.
void ExpectSameFill(const Picture& picture, int seedX, int seedY, COLORREF color, UINT type) {
  Canvas canvas(picture.width, picture.height);
  Draw(canvas, picture);
  const std::vector<bool> region = ReferenceRegion(picture, seedX, seedY, color, type);
  HBRUSH brush = CreateSolidBrush(kPaint);
  BOOL filled;
  {
    Selected selected(canvas.dc(), brush);
    filled = ExtFloodFill(canvas.dc(), seedX, seedY, color, type);
  }
  EXPECT_EQ(filled != FALSE, !region.empty());
  EXPECT_TRUE(DcShows(canvas.dc(), picture.width, picture.height, [&](int x, int y) {
    bool in = !region.empty() && region[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + x];
    return in ? kPaint : picture.at(x, y);
  }));
}

TEST_F(FloodFillReference, RandomPicturesFillTheSameRegionInBothModes) {
  std::mt19937 random(20240613);
  std::uniform_int_distribution<int> side(1, 48);
  std::uniform_real_distribution<double> share(0.1, 0.7);
  std::uniform_int_distribution<int> colours(2, 4);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const Picture picture = Noise(random, side(random), side(random), share(random), colours(random));
    const int seedX = std::uniform_int_distribution<int>(0, picture.width - 1)(random);
    const int seedY = std::uniform_int_distribution<int>(0, picture.height - 1)(random);
    if (round % 2 == 0) {
      ExpectSameFill(picture, seedX, seedY, kWall, FLOODFILLBORDER);
    } else {
      // Mostly the seed's own colour, sometimes another, which fills nothing.
      COLORREF surface = round % 10 == 1 ? kColours[2] : picture.at(seedX, seedY);
      ExpectSameFill(picture, seedX, seedY, surface, FLOODFILLSURFACE);
    }
    if (HasFailure()) return;
  }
}

TEST_F(FloodFillReference, RandomMazesFillTheSameRegion) {
  std::mt19937 random(1306);
  for (int round = 0; round < 24; ++round) {
    SCOPED_TRACE("maze " + std::to_string(round));
    const int cells = std::uniform_int_distribution<int>(2, 40)(random);
    const int rows = std::uniform_int_distribution<int>(2, 30)(random);
    const Picture maze = Maze(random, cells, rows, round % 3 == 0 ? 0 : cells * rows / 8);
    // From a corridor in border mode (the holes are red, so they are inside too), and from a wall
    // pixel in surface mode: the walls are one region, joined through their crossings.
    const int cx = std::uniform_int_distribution<int>(0, cells - 1)(random);
    const int cy = std::uniform_int_distribution<int>(0, rows - 1)(random);
    ExpectSameFill(maze, 2 * cx + 1, 2 * cy + 1, kWall, FLOODFILLBORDER);
    ExpectSameFill(maze, 0, 2 * cy, kWall, FLOODFILLSURFACE);
    if (HasFailure()) return;
  }
}

}  // namespace
