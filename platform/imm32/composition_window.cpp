#include "platform/imm32/composition_window.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/gdi32/display_dc.h"
#include "platform/kernel32/cp932.h"
#include "platform/kernel32/utf8.h"

namespace platform::imm32 {
namespace {

constexpr int kCursorWidth = 2;
// The clause being converted: white on the selection colour, so that it stands out on a dark window too.
constexpr COLORREF kHighlight = RGB(0, 0, 128);

// The string's characters, each as CP932 bytes.
std::vector<std::string> Cp932Characters(const std::string& utf8) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = Utf8SequenceLength(utf8.data() + i, utf8.size() - i);
    characters.push_back(Utf8ToCp932(utf8.data() + i, n));
    i += n;
  }
  return characters;
}

LOGFONTA DefaultFont() {
  LOGFONTA font{};
  font.lfHeight = -16;
  font.lfCharSet = SHIFTJIS_CHARSET;
  return font;
}

}  // namespace

display::OverlayImage DrawComposition(const CompositionText& text, const LOGFONTA* font, POINT at, SIZE clip) {
  display::OverlayImage image;
  std::vector<std::string> characters = Cp932Characters(text.utf8);
  if (characters.empty()) return image;
  const LOGFONTA chosen = font ? *font : DefaultFont();
  // Measured on a DC over an empty surface, then drawn once the surface has its size.
  DisplaySurface surface;
  HDC dc = GdiCreateDisplayDC(&surface);
  HFONT hfont = CreateFontIndirectA(&chosen);
  HGDIOBJ oldFont = SelectObject(dc, hfont);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  std::vector<int64_t> left{0};  // where each character starts, and where the last one ends
  for (const std::string& c : characters) {
    SIZE size{};
    GetTextExtentPoint32A(dc, c.data(), static_cast<int>(c.size()), &size);
    left.push_back(left.back() + size.cx);
  }
  const int n = static_cast<int>(characters.size());
  const int64_t width = left.back() + (text.cursor >= 0 ? kCursorWidth : 0), height = metrics.tmHeight;
  // Only the part inside [0, clip) is ever shown, so only that part is drawn: a long composition in
  // a large font would otherwise ask for an image of any size.
  const int64_t x0 = std::clamp<int64_t>(-int64_t{at.x}, 0, width);
  const int64_t x1 = std::clamp<int64_t>(clip.cx - int64_t{at.x}, x0, width);
  const int64_t y0 = std::clamp<int64_t>(-int64_t{at.y}, 0, height);
  const int64_t y1 = std::clamp<int64_t>(clip.cy - int64_t{at.y}, y0, height);
  const int w = static_cast<int>(x1 - x0), h = static_cast<int>(y1 - y0);
  if (w > 0 && h > 0) {
    {
      std::lock_guard<RankedMutex> lock(SurfaceLock());
      surface.Resize(w, h);
    }
    // In the surface's coordinates: the composition's point (x0, y0) is the surface's top-left.
    const auto X = [&](int64_t x) { return static_cast<int>(std::clamp<int64_t>(x - x0, -1, w + 1)); };
    const int top = static_cast<int>(-y0), bottom = static_cast<int>(height - y0);
    PatBlt(dc, 0, 0, w, h, WHITENESS);
    SetBkMode(dc, OPAQUE);
    const int selEnd = text.selectionStart + text.selectionLength;
    for (int i = 0; i < n; ++i) {
      if (left[i + 1] <= x0 || left[i] >= x1) continue;  // not shown
      const bool converting = i >= text.selectionStart && i < selEnd;
      SetTextColor(dc, converting ? RGB(255, 255, 255) : RGB(0, 0, 0));
      SetBkColor(dc, converting ? kHighlight : RGB(255, 255, 255));
      TextOutA(dc, static_cast<int>(left[i] - x0), top, characters[i].data(), static_cast<int>(characters[i].size()));
      if (!converting) PatBlt(dc, X(left[i]), bottom - 1, X(left[i + 1]) - X(left[i]), 1, BLACKNESS);
    }
    if (text.cursor >= 0) {
      const int64_t cursor = left[std::min(text.cursor, n)];
      PatBlt(dc, X(cursor), top, X(cursor + kCursorWidth) - X(cursor), bottom - top, BLACKNESS);
    }
    std::lock_guard<RankedMutex> lock(SurfaceLock());
    image.at = POINT{static_cast<int>(at.x + x0), static_cast<int>(at.y + y0)};
    image.width = w;
    image.height = h;
    image.pixels.assign(surface.bits, surface.bits + static_cast<size_t>(w) * h);
  }
  SelectObject(dc, oldFont);
  DeleteObject(hfont);
  GdiDeleteDisplayDC(dc);
  return image;
}

}  // namespace platform::imm32
