#include "platform/display/sdl_present.h"

#include <algorithm>
#include <mutex>

namespace platform::display {
namespace {

// The caret is the window's pixels inverted.
void DrawCaret(SDL_Surface* out, const RECT& caret) {
  const Uint32 invert = out->format->Rmask | out->format->Gmask | out->format->Bmask;
  const int left = std::max<int>(caret.left, 0), right = std::min<int>(caret.right, out->w);
  const int top = std::max<int>(caret.top, 0), bottom = std::min<int>(caret.bottom, out->h);
  for (int y = top; y < bottom; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(out->pixels) + y * out->pitch);
    for (int x = left; x < right; ++x) row[x] ^= invert;
  }
}

}  // namespace

void PresentSurface(SDL_Window* window, const DisplaySurface& surface, const Overlay& overlay) {
  if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN)) return;
  SDL_Surface* out = SDL_GetWindowSurface(window);
  if (!out || out->format->BytesPerPixel != 4) return;
  if (SDL_MUSTLOCK(out)) SDL_LockSurface(out);
  {
    std::lock_guard<RankedMutex> lock(SurfaceLock());
    const int w = std::min(surface.width, out->w), h = std::min(surface.height, out->h);
    if (surface.bits && w > 0 && h > 0)
      SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_XBGR8888, surface.bits, surface.width * 4, out->format->format,
                        out->pixels, out->pitch);
  }
  if (overlay.caretShown) DrawCaret(out, overlay.caret);
  if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
  SDL_UpdateWindowSurface(window);
}

}  // namespace platform::display
