// tilepaint-snapshot [--after-step N] [--screen WxH] OUT.png
//
// Runs the tile-paint demonstration, set-up and script, on the headless display in the current
// directory (so TILE_TEST.bmp is looked up there), and writes the console window's client area, as the
// window shows it, to OUT.png. N is 0 (right after set-up) to 11 (the default: the whole script); the
// virtual screen is 1024 x 768 unless given. The script's two pauses are skipped: they draw nothing.
// Exits 0 when the PNG is written, 1 with a message otherwise (2 for a bad command line).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/console_state.h"
#include "platform/win32.h"
#include "program/demo.h"
#include "program/program_main.h"
#include "support/display.h"
#include "tools/dc_pixels.h"
#include "tools/png_file.h"

namespace {

struct Options {
  int lastStep = kDemoLastStep;
  int screenWidth = 1024;
  int screenHeight = 768;
  const char* output = nullptr;
};

[[noreturn]] void Usage(const char* problem) {
  std::fprintf(stderr, "tilepaint-snapshot: %s\nusage: tilepaint-snapshot [--after-step N] [--screen WxH] OUT.png\n",
               problem);
  std::exit(2);
}

bool ParseInt(const char* text, int* value) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < 0 || v > 100000) return false;
  *value = static_cast<int>(v);
  return true;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--after-step" && i + 1 < argc) {
      if (!ParseInt(argv[++i], &options.lastStep) || options.lastStep > kDemoLastStep)
        Usage("the step must be 0 to 11");
    } else if (arg == "--screen" && i + 1 < argc) {
      const char* size = argv[++i];
      const char* x = std::strchr(size, 'x');
      if (x == nullptr) Usage("the screen is given as WIDTHxHEIGHT");
      const std::string width(size, x);
      if (!ParseInt(width.c_str(), &options.screenWidth) || !ParseInt(x + 1, &options.screenHeight) ||
          options.screenWidth < 1 || options.screenHeight < 1)
        Usage("the screen is given as WIDTHxHEIGHT, both positive");
    } else if (!arg.empty() && arg[0] == '-') {
      Usage(("unknown option " + arg).c_str());
    } else if (options.output == nullptr) {
      options.output = argv[i];
    } else {
      Usage("only one output file");
    }
  }
  if (options.output == nullptr) Usage("no output file");
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  if (!SupportUseHeadlessDisplay(options.screenWidth, options.screenHeight)) {
    std::fprintf(stderr, "tilepaint-snapshot: the headless display could not be chosen\n");
    ExitProcess(1);
  }
  ProgramStartup();
  DemoSetUp();
  DemoRunScript(options.lastStep, false);
  // Whatever the window's own thread still has to paint is painted before we look.
  SupportWaitIdle(console.consoleWindow);

  PixelImage image;
  std::string error;
  if (!ReadClientPixels(console.consoleWindow, &image)) {
    std::fprintf(stderr, "tilepaint-snapshot: cannot read the window's pixels\n");
    ExitProcess(1);
  }
  if (!WritePngFile(options.output, image, &error)) {
    std::fprintf(stderr, "tilepaint-snapshot: %s\n", error.c_str());
    ExitProcess(1);
  }
  ExitProcess(0);
}
