#include "platform/display/display_scale.h"

#include <X11/Xlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

extern "C" char* program_invocation_short_name;

namespace platform::display {

bool ParseScaleSetting(const char* value, int* scale) {
  if (!value || !*value) {
    *scale = 0;
    return true;
  }
  if (value[1] != '\0' || value[0] < '1' || value[0] > '0' + kMaxDisplayScale) return false;
  *scale = value[0] - '0';
  return true;
}

double XftDpiOf(const std::string& resources) {
  std::istringstream lines(resources);
  std::string line;
  double dpi = 0;
  while (std::getline(lines, line)) {
    constexpr char kName[] = "Xft.dpi:";
    if (line.compare(0, sizeof kName - 1, kName) != 0) continue;
    const char* value = line.c_str() + sizeof kName - 1;
    char* end = nullptr;
    double d = std::strtod(value, &end);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    // The last definition wins, as in the resource manager.
    dpi = end != value && end && *end == '\0' && std::isfinite(d) && d > 0 ? d : 0;
  }
  return dpi;
}

int ScaleForDpi(double dpi) {
  if (!(dpi > 0)) return 1;
  const double n = std::floor(dpi / 96.0);
  return n < 1 ? 1 : n > kMaxDisplayScale ? kMaxDisplayScale : static_cast<int>(n);
}

namespace {

// The X server's resource database as a string, read on a connection of our own that is closed at
// once; empty when there is none, or no server (then *reached is false).
std::string XResources(const char* xDisplay, bool* reached) {
  ::Display* x = XOpenDisplay(xDisplay);
  *reached = x != nullptr;
  if (!x) return {};
  const char* resources = XResourceManagerString(x);
  std::string copy = resources ? resources : "";
  XCloseDisplay(x);
  return copy;
}

}  // namespace

bool ChooseDisplayScale(const char* xDisplay, int* scale, bool* unreachable) {
  if (unreachable) *unreachable = false;
  const char* setting = std::getenv("TILEPAINT_SCALE");
  if (!ParseScaleSetting(setting, scale)) {
    std::fprintf(stderr, "%s: TILEPAINT_SCALE must be a whole number from 1 to %d, not \"%s\"\n",
                 program_invocation_short_name, kMaxDisplayScale, setting);
    return false;
  }
  if (*scale != 0) return true;
  *scale = 1;
  if (!xDisplay || !*xDisplay) return true;
  bool reached = false;
  *scale = ScaleForDpi(XftDpiOf(XResources(xDisplay, &reached)));
  if (unreachable) *unreachable = !reached;
  return true;
}

}  // namespace platform::display
