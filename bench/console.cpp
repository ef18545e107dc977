// Painting the console: a full 1024 x 768 window whose 48 visible rows hold 127 characters each,
// about half of them double-byte, drawn over the back buffer one TextOutA a character.
#include <benchmark/benchmark.h>

#include <cstring>

#include "console/console_state.h"
#include "console/text_grid.h"
#include "program/program_main.h"
#include "support/display.h"

namespace {

void StartConsoleOnce() {
  static bool started = false;
  if (started) return;
  started = true;
  SupportUseHeadlessDisplay(1024, 768);
  ProgramStartup();
  HWND window = console.consoleWindow;
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  SetWindowPos(window, HWND_TOP, 0, 0, 1024 + (outer.right - outer.left) - client.right,
               768 + (outer.bottom - outer.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
  SupportWaitIdle(window);
  // The window's thread is idle: fill the grid from here.
  const char kanji[] = "\x8A\xBF";
  for (int r = 0; r < 48; ++r) {
    char* cells = console.rowChars[r];
    int c = 0;
    for (int i = 0; i < 127; ++i) {
      if (i % 2 == 0) {
        cells[c++] = static_cast<char>('A' + (r + i) % 26);
      } else {
        std::memcpy(cells + c, kanji, 2);
        c += 2;
      }
    }
    for (int i = 0; i < c; ++i) {
      console.rowFore[r][i] = 0x00FFFF;
      console.rowBack[r][i] = (i % 3 == 0) ? -1 : 0x400000;
    }
  }
  console.cursorRow = 47;
  console.cursorCol = 0;
}

// A whole paint as the window's thread does it, message round trip included.
void BM_PaintFullWindow(benchmark::State& state) {
  StartConsoleOnce();
  HWND window = console.consoleWindow;
  for (auto _ : state) {
    InvalidateRect(window, nullptr, FALSE);
    SupportWaitIdle(window);
  }
}
BENCHMARK(BM_PaintFullWindow)->Unit(benchmark::kMillisecond);

// The text layer alone, drawn on a window DC.
void BM_RedrawAllRows(benchmark::State& state) {
  StartConsoleOnce();
  HWND window = console.consoleWindow;
  for (auto _ : state) {
    HDC dc = GetDC(window);
    RedrawText(dc, -1, 0);
    ReleaseDC(window, dc);
  }
}
BENCHMARK(BM_RedrawAllRows)->Unit(benchmark::kMillisecond);

}  // namespace
