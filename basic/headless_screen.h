// The screen without a window: text to a stream through one buffer, lines from another stream.
// Under a UTF-8 terminal the Shift-JIS text is converted to UTF-8 on the way out and typed text back
// to Shift-JIS on the way in; otherwise bytes pass unchanged.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "basic/screen.h"

class HeadlessScreen : public BasicScreen {
 public:
  struct Options {
    bool utf8 = false;       // the terminal's encoding is UTF-8
    bool echoInput = false;  // write typed lines to the output, as a screen shows them (input not from a terminal)
    int width = 80;
    // Where typed bytes come from: the next byte, or -1 at the end of the input or when the run is
    // being stopped. Unset: std::fgetc of the input stream.
    std::function<int()> readByte;
  };
  HeadlessScreen(std::FILE* out, std::FILE* in, Options options);
  ~HeadlessScreen() override;

  void Write(std::string_view bytes) override;
  void NewLine() override;
  int Column() const override { return column_; }
  int Row() const override { return row_; }
  int Width() const override { return options_.width; }
  bool ReadLine(std::string& line, bool keepLine) override;
  // Commands are not echoed: the output holds what the session prints, not what it was given.
  bool ReadCommand(std::string& line) override;
  std::string Inkey() override;
  void Clear() override;
  void Flush() override;

 private:
  bool ReadRaw(std::string& line);
  int NextByte();
  void Emit(std::string_view bytes);
  void EmitConverted(std::string_view bytes);

  std::FILE* out_;
  std::FILE* in_;
  Options options_;
  std::string buffer_;
  std::string pendingLead_;  // a lead byte whose trail byte has not been written yet (UTF-8 output)
  int column_ = 0;
  int row_ = 1;
};
