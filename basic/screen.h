// What the interpreter needs of a screen: text out (code page 932 bytes) with a cursor column, lines
// in, keys. The headless screen writes standard output; the console window is another implementation.
#pragma once

#include <string>
#include <string_view>

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
};
