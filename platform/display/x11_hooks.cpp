#include "platform/display/x11_hooks.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

#include <cstdio>

namespace platform::display {
namespace {

void (*onConnectionLost)() = nullptr;

int OnXError(::Display*, XErrorEvent* event) {
  // A window that another client destroyed goes on being named in requests (as a window, as the
  // drawable of an image, through a graphics context made for it, which then fails too) until its
  // DestroyNotify is read: that is expected, and closes the program anyway.
  if (event->error_code == BadWindow || event->error_code == BadDrawable || event->error_code == BadGC) return 0;
  std::fprintf(stderr, "X error %d on request %d ignored\n", static_cast<int>(event->error_code),
               static_cast<int>(event->request_code));
  return 0;
}

int OnXConnectionLost(::Display*) {
  onConnectionLost();
  return 0;  // not reached: Xlib would exit on return
}

bool X11Info(SDL_Window* window, SDL_SysWMinfo* info) {
  SDL_VERSION(&info->version);
  return SDL_GetWindowWMInfo(window, info) && info->subsystem == SDL_SYSWM_X11;
}

}  // namespace

void SetX11Class(SDL_Window* window, const std::string& className) {
  SDL_SysWMinfo info;
  if (!X11Info(window, &info)) return;
  std::string name = className;
  XClassHint hint{name.data(), name.data()};
  XSetClassHint(info.info.x11.display, info.info.x11.window, &hint);
}

unsigned long X11WindowOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  return X11Info(window, &info) ? info.info.x11.window : 0;
}

void HandleX11Errors(void (*connectionLost)()) {
  onConnectionLost = connectionLost;
  // Set before SDL starts too: SDL keeps the handler it finds as the one to restore when it leaves,
  // and Xlib reports the errors still pending then (a wake-up that SDL sent to a window destroyed
  // meanwhile, say) while it closes its connections.
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnXConnectionLost);
}

unsigned long X11DestroyedWindow(const SDL_SysWMmsg& message) {
  if (message.subsystem != SDL_SYSWM_X11 || message.msg.x11.event.type != DestroyNotify) return 0;
  return message.msg.x11.event.xdestroywindow.window;
}

}  // namespace platform::display
