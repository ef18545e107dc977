#include "platform/display/window_frame.h"

#include <algorithm>
#include <mutex>

namespace platform::display {

WindowFrame ComposeWindowFrame(const DisplaySurface& surface, const Overlay& overlay) {
  WindowFrame frame;
  {
    std::lock_guard<RankedMutex> lock(SurfaceLock());
    frame.width = surface.bits ? surface.width : 0;
    frame.height = surface.bits ? surface.height : 0;
    frame.pixels.assign(surface.bits, surface.bits + static_cast<size_t>(frame.width) * frame.height);
  }
  auto row = [&](int y) { return frame.pixels.data() + static_cast<size_t>(y) * frame.width; };
  if (overlay.caretShown) {
    const RECT& c = overlay.caret;
    const int left = std::max<int>(c.left, 0), right = std::min<int>(c.right, frame.width);
    for (int y = std::max<int>(c.top, 0); y < std::min<int>(c.bottom, frame.height); ++y)
      for (int x = left; x < right; ++x) row(y)[x] ^= 0x00FFFFFFu;
  }
  const OverlayImage& image = overlay.composition;
  if (!image.pixels.empty()) {
    const int left = std::max<int>(image.at.x, 0), right = std::min<int>(image.at.x + image.width, frame.width);
    const int top = std::max<int>(image.at.y, 0), bottom = std::min<int>(image.at.y + image.height, frame.height);
    for (int y = top; y < bottom; ++y) {
      const uint32_t* in = image.pixels.data() + static_cast<size_t>(y - image.at.y) * image.width;
      for (int x = left; x < right; ++x) row(y)[x] = in[x - image.at.x];
    }
  }
  return frame;
}

}  // namespace platform::display
