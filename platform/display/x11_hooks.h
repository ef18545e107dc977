// Inside the SDL display only: what SDL does not do for us on X11, done with Xlib (the same library
// that SDL loads). Each does nothing under another video driver.
#pragma once

#include <string>

struct SDL_Window;
struct SDL_SysWMmsg;

namespace platform::display {

// Names the X window's WM_CLASS after the window class. SDL reads its own class setting only when it
// starts, before any window class is known, so the hint is set on the X window itself.
void SetX11Class(SDL_Window* window, const std::string& className);

// The X window behind an SDL window, 0 when there is none.
unsigned long X11WindowOf(SDL_Window* window);

// X errors must not end the process behind our back: SDL's safety net hands a protocol error to
// Xlib's default handler, which exits with code 1. A protocol error is reported on stderr and
// otherwise ignored (silently when it names a window that no longer exists); losing the
// connection to the X server runs `connectionLost`, which must not return. Called before SDL starts
// and again after (SDL puts a handler of its own in front).
void HandleX11Errors(void (*connectionLost)());

// The X window that the message reports destroyed (DestroyNotify); 0 for any other message.
unsigned long X11DestroyedWindow(const SDL_SysWMmsg& message);

}  // namespace platform::display
