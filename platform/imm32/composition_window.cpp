#include "platform/imm32/composition_window.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/gdi32/display_dc.h"
#include "platform/kernel32/cp932.h"

namespace platform::imm32 {
namespace {

constexpr int kCursorWidth = 2;
// The clause being converted: white on the selection colour, so that it stands out on a dark window too.
constexpr COLORREF kHighlight = RGB(0, 0, 128);

// The string's characters, each as CP932 bytes.
std::vector<std::string> Cp932Characters(const std::string& utf8) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < utf8.size();) {
    size_t next = i + 1;
    while (next < utf8.size() && (static_cast<unsigned char>(utf8[next]) & 0xC0) == 0x80) ++next;
    characters.push_back(Utf8ToCp932(utf8.data() + i, next - i));
    i = next;
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

display::OverlayImage DrawComposition(const CompositionText& text, const LOGFONTA* font, POINT at) {
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
  std::vector<int> left{0};  // where each character starts, and where the last one ends
  for (const std::string& c : characters) {
    SIZE size{};
    GetTextExtentPoint32A(dc, c.data(), static_cast<int>(c.size()), &size);
    left.push_back(left.back() + size.cx);
  }
  const int n = static_cast<int>(characters.size());
  const int width = left.back() + (text.cursor >= 0 ? kCursorWidth : 0), height = metrics.tmHeight;
  if (width > 0 && height > 0) {
    {
      std::lock_guard<RankedMutex> lock(SurfaceLock());
      surface.Resize(width, height);
    }
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    SetBkMode(dc, OPAQUE);
    const int selEnd = text.selectionStart + text.selectionLength;
    for (int i = 0; i < n; ++i) {
      const bool converting = i >= text.selectionStart && i < selEnd;
      SetTextColor(dc, converting ? RGB(255, 255, 255) : RGB(0, 0, 0));
      SetBkColor(dc, converting ? kHighlight : RGB(255, 255, 255));
      TextOutA(dc, left[i], 0, characters[i].data(), static_cast<int>(characters[i].size()));
      if (!converting) PatBlt(dc, left[i], height - 1, left[i + 1] - left[i], 1, BLACKNESS);
    }
    if (text.cursor >= 0) PatBlt(dc, left[std::min(text.cursor, n)], 0, kCursorWidth, height, BLACKNESS);
    std::lock_guard<RankedMutex> lock(SurfaceLock());
    image.at = at;
    image.width = width;
    image.height = height;
    image.pixels.assign(surface.bits, surface.bits + static_cast<size_t>(width) * height);
  }
  SelectObject(dc, oldFont);
  DeleteObject(hfont);
  GdiDeleteDisplayDC(dc);
  return image;
}

}  // namespace platform::imm32
