// The screen of a program in the console window: text through the console's grid (80 columns, 25
// rows, scrolling at the bottom), lines through its line editor, keys from what is typed while no
// line is asked for, and the graphics layer under the text.
//
// With a mirror (a headless screen), text goes to the mirror as well and lines are read from it, so
// a program can run on the virtual screen with its input and output on the standard streams.
#pragma once

#include <chrono>
#include <cstdint>

#include "basic/graphics_ops.h"
#include "basic/screen.h"

constexpr int kConsoleColumns = 80;
constexpr int kConsoleRows = 25;
// The longest a drawing waits for the window's repaint while a program goes on drawing.
constexpr std::chrono::milliseconds kRepaintInterval{20};

class ConsoleScreen : public BasicScreen {
 public:
  ConsoleScreen(GraphicsLayer& graphics, BasicScreen* mirror = nullptr);

  void Write(std::string_view bytes) override;
  void NewLine() override;
  int Column() const override { return column_; }
  int Row() const override { return row_; }
  int Width() const override { return kConsoleColumns; }
  bool ReadLine(std::string& line, bool keepLine) override;
  // With a mirror, a command is read as the mirror reads commands (not written back to it) and
  // shown on the console as if typed.
  bool ReadCommand(std::string& line) override;
  std::string Inkey() override;
  void Clear() override;
  void Flush() override;
  int Locate(int row, int column, int cursor) override;
  int SetColor(int fore, int back) override;
  int SetWidth(int width) override;
  GraphicsLayer* Graphics() override { return &graphics_; }
  // Asks the window to repaint now what was drawn since its last repaint.
  void RepaintNow();
  // A message line of the session (an error) shown on the console only, never on the mirror.
  void ShowMessage(std::string_view line);

 private:
  void Send(std::string_view bytes);
  void NextRow();
  void Repaint(const RECT& drawn);

  GraphicsLayer& graphics_;
  BasicScreen* mirror_;
  int column_ = 0;
  int row_ = 1;
  RECT dirty_ = {};  // drawn since the last repaint; empty when left >= right
  std::chrono::steady_clock::time_point lastRepaint_;
};
