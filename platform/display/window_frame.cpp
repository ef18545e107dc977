#include "platform/display/window_frame.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

namespace platform::display {
namespace {

// [start, start + size) clipped to [0, limit), computed wide: both come from callers.
void Clip(int start, int size, int limit, int* from, int* to) {
  *from = static_cast<int>(std::clamp<int64_t>(start, 0, limit));
  *to = static_cast<int>(std::clamp<int64_t>(int64_t{start} + size, *from, limit));
}

}  // namespace

WindowFrame ComposeWindowFrame(const DisplaySurface& surface, const Overlay& overlay) {
  WindowFrame frame;
  {
    std::lock_guard<RankedMutex> lock(SurfaceLock());
    frame = CopySurfaceLocked(surface);
  }
  DrawOverlay(&frame, overlay);
  return frame;
}

WindowFrame CopySurfaceLocked(const DisplaySurface& surface) {
  WindowFrame frame;
  frame.width = surface.bits ? surface.width : 0;
  frame.height = surface.bits ? surface.height : 0;
  frame.pixels.assign(surface.bits, surface.bits + static_cast<size_t>(frame.width) * frame.height);
  return frame;
}

void DrawOverlay(WindowFrame* framePointer, const Overlay& overlay) {
  WindowFrame& frame = *framePointer;
  auto row = [&](int y) { return frame.pixels.data() + static_cast<size_t>(y) * frame.width; };
  if (overlay.caretShown) {
    const RECT& c = overlay.caret;
    const int left = std::max<int>(c.left, 0), right = std::min<int>(c.right, frame.width);
    for (int y = std::max<int>(c.top, 0); y < std::min<int>(c.bottom, frame.height); ++y)
      for (int x = left; x < right; ++x) row(y)[x] ^= 0x00FFFFFFu;
  }
  const OverlayImage& image = overlay.composition;
  if (!image.pixels.empty()) {
    int left, right, top, bottom;
    Clip(image.at.x, image.width, frame.width, &left, &right);
    Clip(image.at.y, image.height, frame.height, &top, &bottom);
    for (int y = top; y < bottom; ++y) {
      const uint32_t* in = image.pixels.data() + static_cast<size_t>(int64_t{y} - image.at.y) * image.width;
      for (int x = left; x < right; ++x) row(y)[x] = in[int64_t{x} - image.at.x];
    }
  }
}

}  // namespace platform::display
