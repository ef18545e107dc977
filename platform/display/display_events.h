// Inside the platform layer only: what a display reports about its windows, to the one who opened it.
//
// USER32 implements this sink and hands it over when it opens the display; it is the display's only
// way up. Each call may come from any thread (the SDL display calls from its own thread) with no
// platform lock held, and must not wait for the display.
#pragma once

#include <string>

#include "platform/win32_types.h"

namespace platform::display {

class DisplayEvents {
 public:
  // A key went down or up (a virtual-key code, see virtual_keys.h).
  virtual void Key(HWND hwnd, int virtualKey, bool down) = 0;
  // Typed or committed text, UTF-8.
  virtual void Text(HWND hwnd, const std::string& utf8) = 0;
  // The input method's composition changed: the whole string being composed (UTF-8; empty when the
  // composition ended), its cursor and the clause being converted, in characters.
  virtual void Composition(HWND hwnd, const std::string& utf8, int cursor, int selectionStart,
                           int selectionLength) = 0;
  virtual void Focus(HWND hwnd, bool gained) = 0;
  virtual void Close(HWND hwnd) = 0;                        // the close button
  virtual void Resized(HWND hwnd, int width, int height) = 0;  // a client size chosen by the user
  virtual void Exposed(HWND hwnd) = 0;                      // pixels lost on screen

 protected:
  ~DisplayEvents() = default;
};

}  // namespace platform::display
