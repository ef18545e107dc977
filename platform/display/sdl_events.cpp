// SDL's events turned into the display's reports: keys, text, the input method's composition, focus,
// closing, resizing and exposure, and windows that another X client destroyed.
#include "platform/display/sdl_display.h"

#include <algorithm>

#include "platform/display/sdl_keys.h"
#include "platform/display/x11_hooks.h"
#include "platform/kernel32/utf8.h"

namespace platform::display {

HWND SdlDisplay::WindowOfEvent(Uint32 windowId) {
  std::lock_guard<RankedMutex> lock(lock_);
  auto it = byId_.find(windowId);
  return it == byId_.end() ? nullptr : it->second;
}

void SdlDisplay::Handle(const SDL_Event& e) {
  if (e.type == wakeEvent_) {
    wakePending_ = false;
    return;
  }
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      HWND hwnd = WindowOfEvent(e.key.windowID);
      int vk = VirtualKeyFromSdl(e.key.keysym.sym);
      if (hwnd && vk) events_->Key(hwnd, vk, e.type == SDL_KEYDOWN);
      break;
    }
    case SDL_SYSWMEVENT:
      if (const unsigned long gone = X11DestroyedWindow(*e.syswm.msg)) LostWindow(gone);
      break;
    case SDL_TEXTINPUT:
      if (HWND hwnd = WindowOfEvent(e.text.windowID)) events_->Text(hwnd, e.text.text);
      break;
    case SDL_TEXTEDITING:
      Composing(e.edit.windowID, e.edit.text, e.edit.start, e.edit.length);
      break;
    case SDL_TEXTEDITING_EXT:
      Composing(e.editExt.windowID, e.editExt.text ? e.editExt.text : "", e.editExt.start, e.editExt.length);
      SDL_free(e.editExt.text);
      break;
    case SDL_WINDOWEVENT: {
      HWND hwnd = WindowOfEvent(e.window.windowID);
      if (!hwnd) break;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: events_->Focus(hwnd, true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          events_->Composition(hwnd, "", -1, 0, 0);  // whatever was being composed is gone with it
          events_->Focus(hwnd, false);
          break;
        case SDL_WINDOWEVENT_CLOSE: events_->Close(hwnd); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          // A size that is not a whole number of blocks leaves a black margin at the right and bottom.
          events_->Resized(hwnd, e.window.data1 / scale_, e.window.data2 / scale_);
          MarkDirty(hwnd);
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          events_->Exposed(hwnd);
          MarkDirty(hwnd);
          break;
        default: break;
      }
      break;
    }
    default: break;
  }
}

  // What the input method composes: SDL gives the clause being converted as start and length, or
  // else the cursor as start (the end when -1).
void SdlDisplay::Composing(Uint32 windowId, const char* utf8, int start, int length) {
  HWND hwnd = WindowOfEvent(windowId);
  if (!hwnd) return;
  if (length > 0) {
    events_->Composition(hwnd, utf8, -1, start, length);
  } else {
    const int end = Utf8SequenceCount(utf8);
    events_->Composition(hwnd, utf8, start >= 0 ? std::min(start, end) : end, 0, 0);
  }
}

  // Another X client destroyed the window. SDL's part of it goes at once (SDL would otherwise go on
  // waking its event loop through the dead window, and never wake), and the program closes the
  // window as its close button would.
void SdlDisplay::LostWindow(unsigned long x11) {
  HWND hwnd = nullptr;
  SDL_Window* sdl = nullptr;
  {
    std::lock_guard<RankedMutex> lock(lock_);
    for (auto it = windows_.begin(); it != windows_.end(); ++it) {
      if (it->second.x11 != x11) continue;
      hwnd = it->first;
      sdl = it->second.sdl;
      bySurface_.erase(it->second.surface);
      byId_.erase(SDL_GetWindowID(sdl));
      windows_.erase(it);
      break;
    }
  }
  if (!hwnd) return;
  SDL_DestroyWindow(sdl);
  events_->Close(hwnd);
}

}  // namespace platform::display
