// tilebasic on the console: the window mode (the program, or direct mode, in the "BASIC PROMPT"
// window), the headless screen with a graphics layer on the virtual screen, and the snapshot of it.
#pragma once

#include <string>

#include "basic/graphics_ops.h"
#include "basic/headless_screen.h"
#include "basic/session.h"

// Opens the console window, makes its client area the 640 x 400 screen, and runs the program (`path`
// with its `text`), or direct mode when `path` is null, on this thread. The window stays open after
// the end until it is closed; the process then ends with 0, or 1 when the program stopped on an
// error. Call before anything starts the string store.
[[noreturn]] void RunWindowMode(const char* path, const std::string& text);

// The headless screen of standard input and output, with a graphics layer that brings up the
// console window on the virtual screen at the first drawing.
class HeadlessGraphicsScreen : public HeadlessScreen {
 public:
  HeadlessGraphicsScreen(std::FILE* out, std::FILE* in, Options options);
  GraphicsLayer* Graphics() override { return &graphics_; }
  void Clear() override;

 private:
  GraphicsLayer graphics_;
};

// A program that drew headless has a console window with its own thread, which must not see the
// C++ statics go: then the process ends here with `code` (standard streams flushed). Otherwise
// returns `code`.
int EndIfConsoleStarted(int code);

// --headless --snapshot: runs the program (or direct mode) on the virtual screen, its text shown in
// the console's grid and written to `mirror` too, its lines read from `mirror`; then writes the
// window's client area, as the window shows it, to `png`. False when the PNG cannot be written
// (with the reason on standard error). Call after the string store is up, before any window.
bool RunSnapshotMode(const char* path, const std::string& text, HeadlessScreen& mirror, const char* png,
                     SessionEnd& end);
