// Presenting on the SDL display: which windows are due (their pixels, caret or composition changed),
// and each one's frame converted to the window's format and enlarged into it.
#include "platform/display/sdl_present.h"

#include "platform/display/pixel_replication.h"
#include "platform/display/sdl_display.h"

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

void SdlDisplay::SurfaceChanged(DisplaySurface* surface) {
  {
    std::lock_guard<RankedMutex> lock(lock_);
    auto it = bySurface_.find(surface);
    if (it == bySurface_.end()) return;
    windows_[it->second].dirty = true;
  }
  Wake();
}

void SdlDisplay::SetComposition(HWND hwnd, const OverlayImage& image) {
  {
    std::lock_guard<RankedMutex> lock(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    it->second.composition = image;
    it->second.dirty = true;
  }
  Wake();
}

void SdlDisplay::MarkDirty(HWND hwnd) {
  std::lock_guard<RankedMutex> lock(lock_);
  auto it = windows_.find(hwnd);
  if (it != windows_.end()) it->second.dirty = true;
}

void SdlDisplay::PresentDirty() {
  std::vector<std::pair<SDL_Window*, NativeWindow>> due;
  bool blinkOn;
  {
    std::lock_guard<RankedMutex> lock(lock_);
    for (auto& [hwnd, n] : windows_) {
      if (!n.dirty) continue;
      n.dirty = false;
      due.emplace_back(n.sdl, n);
    }
    blinkOn = blinkOn_;
  }
  for (auto& [sdl, n] : due)
    PresentSurface(sdl, *n.surface, Overlay{n.caret, n.caretShown && blinkOn, std::move(n.composition)}, scale_);
}
}  // namespace platform::display
