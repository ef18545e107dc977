// The caret over a window on the SDL display: placed by USER32, blinking at the Windows rate while
// shown; the display thread sleeps without a deadline while no caret is shown.
#include "platform/display/sdl_display.h"

namespace platform::display {

void SdlDisplay::SetCaret(HWND hwnd, const RECT& rect, bool shown) {
  {
    std::lock_guard<RankedMutex> lock(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    it->second.caret = rect;
    it->second.caretShown = shown;
    it->second.dirty = true;
    blinkOn_ = true;  // a caret that moves or appears is shown at once
    nextBlink_ = SDL_GetTicks() + kCaretBlinkMs;
  }
  Wake();
}

  // Milliseconds until the next blink, or -1 when no caret is shown (then the thread sleeps until
  // an event comes).
int SdlDisplay::BlinkTimeout() {
  std::lock_guard<RankedMutex> lock(lock_);
  bool any = false;
  for (auto& [hwnd, n] : windows_) any = any || n.caretShown;
  if (!any) return -1;
  Uint32 now = SDL_GetTicks();
  return SDL_TICKS_PASSED(now, nextBlink_) ? 0 : static_cast<int>(nextBlink_ - now);
}

void SdlDisplay::Blink() {
  std::lock_guard<RankedMutex> lock(lock_);
  Uint32 now = SDL_GetTicks();
  if (!SDL_TICKS_PASSED(now, nextBlink_)) return;
  blinkOn_ = !blinkOn_;
  nextBlink_ = now + kCaretBlinkMs;
  for (auto& [hwnd, n] : windows_)
    if (n.caretShown) n.dirty = true;
}

}  // namespace platform::display
