// One console per test process: the environment starts it on the headless display once, and the
// fixture puts the grid, the cursor, the line and the window size back to a known state before each
// test. Tests talk to the window through Win32 calls and wait for its thread to go idle.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "console/console_state.h"
#include "platform/win32.h"

constexpr int kCell = 8;
// The height of a text cell as the console measured it from its font (16 with the console font).
inline int RowHeight() { return console.cellHeight; }

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override;

  static HWND Window() { return console.consoleWindow; }
  static void Idle();
  // Resizes the window so that its client area is width x height.
  static void SetClientSize(int width, int height);
  static RECT ClientRect();

  // Printing and typing, each handled by the window's thread before they return.
  static void Print(const std::string& text);
  static void SetColor(COLORREF fore, int32_t back);
  static void StartLine();
  static void Char(unsigned code);
  static void Chars(const std::string& bytes);
  static void SetClipboardText(const std::string& text);

  static std::string RowText(int row) { return std::string(console.rowChars[row]); }
  static int RegisteredStrings();

  // The graphics layer: fills a rectangle of the back buffer with a colour, then repaints.
  static void FillBackBuffer(int x, int y, int width, int height, COLORREF color);
  static void Repaint();
  static COLORREF WindowPixel(int x, int y);
  // How many pixels of the cell (row, col) have the given colour on the window.
  static int CellPixels(int row, int col, COLORREF color);
};
