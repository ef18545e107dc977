// Laying out CP932 text: one placed glyph per character, pen positions from the start of the string.
#include <algorithm>
#include <climits>

#include "platform/gdi32/font_face.h"

namespace platform {

int FontLayout(FontFace& face, const char* text, int length, std::vector<PlacedGlyph>& out) {
  if (text == nullptr || length <= 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  std::lock_guard<std::mutex> hold(face.mutex);
  int64_t pen = 0;
  for (int i = 0; i < length;) {
    // A lead byte pairs with whatever follows it; a lone lead byte at the end stands alone.
    int count = Cp932IsLeadByte(bytes[i]) && i + 1 < length ? 2 : 1;
    const font::CharEntry& entry = font::LookUpChar(face, bytes + i, count);
    // Positions saturate rather than wrap on absurdly long text.
    out.push_back(PlacedGlyph{entry.glyph, static_cast<int>(std::min<int64_t>(pen, INT_MAX)), entry.advance});
    pen += entry.advance;
    i += count;
  }
  return static_cast<int>(std::min<int64_t>(pen, INT_MAX));
}

}  // namespace platform
