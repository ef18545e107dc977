// A full-screen tile PAINT through the interpreter (a one-line program run by a session on the console
// screen) beside the same PaintTile called directly, on the 640 x 400 headless screen. Each iteration
// starts from a black screen with a white frame around it, cleared outside the timing, and with the
// window's thread idle after repainting it.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "basic/console_screen.h"
#include "basic/session.h"
#include "console/console_state.h"
#include "graphics/primitives.h"
#include "program/program_main.h"
#include "support/display.h"

namespace {

GraphicsLayer* layer = nullptr;
ConsoleScreen* screen = nullptr;

void StartOnce() {
  static const bool started = [] {
    SupportUseHeadlessDisplay(kScreenWidth, kScreenHeight);
    ProgramStartup();
    layer = new GraphicsLayer();
    screen = new ConsoleScreen(*layer);
    // A tile of four colours, cut from the corner.
    layer->Line(0, 0, 3, 7, 1, LineShape::FilledBox);
    layer->Line(4, 0, 7, 3, 2, LineShape::FilledBox);
    layer->Line(4, 4, 7, 7, 6, LineShape::FilledBox);
    layer->CutTile(0, 0, 7, 7);
    return true;
  }();
  (void)started;
}

// Black inside a white frame: the fill covers 638 x 398 pixels.
void FreshScreen() {
  layer->Line(0, 0, kScreenWidth - 1, kScreenHeight - 1, 0, LineShape::FilledBox);
  layer->Line(0, 0, kScreenWidth - 1, kScreenHeight - 1, 7, LineShape::Box);
  screen->RepaintNow();
  SupportWaitIdle(console.consoleWindow);
}

void BM_TilePaintDirect(benchmark::State& state) {
  StartOnce();
  for (auto _ : state) {
    state.PauseTiming();
    FreshScreen();
    state.ResumeTiming();
    PaintTile(kScreenWidth / 2, kScreenHeight / 2, 7, false);
  }
}
BENCHMARK(BM_TilePaintDirect)->Unit(benchmark::kMillisecond);

void BM_TilePaintInterpreter(benchmark::State& state) {
  StartOnce();
  Session session(*screen, stderr);
  int error;
  int32_t line;
  if (!session.Load("10 PAINT (320, 200), TILE, 7\n", error, line)) state.SkipWithError("the program did not load");
  for (auto _ : state) {
    state.PauseTiming();
    FreshScreen();
    state.ResumeTiming();
    session.RunProgram();
  }
}
BENCHMARK(BM_TilePaintInterpreter)->Unit(benchmark::kMillisecond);

}  // namespace
