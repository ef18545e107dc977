// What the interpreter needs of a screen: text out (code page 932 bytes) with a cursor column, lines
// in, keys. The headless screen writes standard output; the console window is another implementation.
#pragma once

#include <string>
#include <string_view>

class GraphicsLayer;

class BasicScreen {
 public:
  virtual ~BasicScreen() = default;
  // Writes bytes at the cursor; the screen wraps at its width, keeping a double-byte character whole.
  virtual void Write(std::string_view bytes) = 0;
  virtual void NewLine() = 0;
  virtual int Column() const = 0;  // from 0
  virtual int Row() const = 0;     // from 1
  virtual int Width() const = 0;
  // One line typed by the user, without its end. `keepLine`: the cursor stays after the text (INPUT;).
  // False at the end of the input or when the run is being stopped.
  virtual bool ReadLine(std::string& line, bool keepLine) = 0;
  // A line typed at the "Ok" prompt of direct mode.
  virtual bool ReadCommand(std::string& line) { return ReadLine(line, false); }
  // One key if one is waiting, else the empty string.
  virtual std::string Inkey() = 0;
  virtual void Clear() = 0;
  virtual void Flush() = 0;

  // The console's statements; a screen without a console accepts them and does nothing. Each returns
  // 0 or a BASIC error number. Rows and columns from 1; -1 for an argument left out.
  virtual int Locate(int /*row*/, int /*column*/, int /*cursor*/) { return 0; }
  virtual int SetColor(int /*fore*/, int /*back*/) { return 0; }
  virtual int SetWidth(int /*width*/) { return 0; }
  // The graphics layer under the text, or null when the screen has none.
  virtual GraphicsLayer* Graphics() { return nullptr; }
};
