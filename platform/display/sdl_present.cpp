#include "platform/display/sdl_present.h"

#include "platform/display/pixel_replication.h"

namespace platform::display {

void PresentSurface(SDL_Window* window, const DisplaySurface& surface, const Overlay& overlay, int scale) {
  if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN)) return;
  SDL_Surface* out = SDL_GetWindowSurface(window);
  if (!out || out->format->BytesPerPixel != 4 || out->pitch % 4 != 0) return;
  WindowFrame frame = ComposeWindowFrame(surface, overlay);
  // Converted to the window's format at the logical size first, so the enlarging only copies.
  std::vector<uint32_t> converted(frame.pixels.size());
  if (!frame.pixels.empty())
    SDL_ConvertPixels(frame.width, frame.height, SDL_PIXELFORMAT_XBGR8888, frame.pixels.data(), frame.width * 4,
                      out->format->format, converted.data(), frame.width * 4);
  if (SDL_MUSTLOCK(out)) SDL_LockSurface(out);
  ReplicatePixels(converted.data(), frame.width, frame.height, scale, static_cast<uint32_t*>(out->pixels), out->w,
                  out->h, out->pitch / 4);
  if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
  SDL_UpdateWindowSurface(window);
}

}  // namespace platform::display
