// Inside the platform layer only: what a display does for the windows above it, and the one display
// of the process.
//
// Two backends implement it: SDL2 (real windows on X11 or Wayland, driven by a display thread of its
// own) and headless (a virtual screen in memory). The display sits at the bottom of the window stack:
// it owns the surfaces' lock, knows nothing of USER32, GDI32 or IMM32, and reports input, focus,
// resizing, exposure and closing through the DisplayEvents sink it was opened with. Every method may
// be called from any thread; none of them calls the sink while the caller waits.
#pragma once

#include <string>

#include "platform/display/display_events.h"
#include "platform/display/display_surface.h"
#include "platform/display/message_box_request.h"
#include "platform/display/window_frame.h"
#include "platform/win32_types.h"

namespace platform::display {

class DisplayBackend {
 public:
  virtual ~DisplayBackend() = default;

  // The screen in logical pixels: the physical screen divided by the scale.
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  // Every window pixel is shown as a Scale() x Scale() block (see display_scale.h).
  virtual int Scale() const = 0;

  // A native window for `hwnd` showing `surface` (the client pixels); false when it cannot be made.
  // The title is CP932.
  virtual bool CreateNativeWindow(HWND hwnd, const std::string& className, const std::string& title,
                                  int clientWidth, int clientHeight, DisplaySurface* surface) = 0;
  // After it returns the backend no longer touches the window's surface.
  virtual void DestroyNativeWindow(HWND hwnd) = 0;
  virtual void ShowNativeWindow(HWND hwnd, bool visible) = 0;
  virtual void SetClientSize(HWND hwnd, int width, int height) = 0;

  // The pixels of `surface` changed (called under SurfaceLock(), so it must not block).
  virtual void SurfaceChanged(DisplaySurface* surface) = 0;

  // The caret of a window: a solid block shown over the client pixels, blinking.
  virtual void SetCaret(HWND hwnd, const RECT& rect, bool shown) = 0;

  // Where the input method shows its candidates (client coordinates).
  virtual void SetTextInputRect(HWND hwnd, const RECT& rect) = 0;

  // The composition window drawn over the window's pixels while the input method composes (an empty
  // image hides it).
  virtual void SetComposition(HWND hwnd, const OverlayImage& image) = 0;

  // The system clipboard's text, CP932 with CR LF line ends. GetClipboardText returns false when the
  // system clipboard does not hold text that differs from what this process put there or took from
  // there last; text it returns counts as taken. HasClipboardText answers the same question without
  // taking the text.
  virtual void SetClipboardText(const std::string& cp932) = 0;
  virtual bool GetClipboardText(std::string* cp932) = 0;
  virtual bool HasClipboardText() = 0;

  // A modal message box; blocks until dismissed and returns the id of the button pressed (0 when the
  // box could not be shown).
  virtual int ShowMessageBox(HWND owner, const MessageBoxRequest& request) = 0;
};

// The display of the process: the first call opens it with `events` as its sink (later calls return
// the same display, whatever they pass). Null when no display can be opened (the reason has then been
// written to stderr once).
DisplayBackend* OpenDisplay(DisplayEvents* events);

// The display when it has been opened, without opening it; null otherwise.
DisplayBackend* OpenedDisplay();

// Chooses the headless display for this process; false once the display has been opened.
bool UseHeadlessDisplay(int width, int height);

// The headless display, or null when another display is in use.
class HeadlessDisplay;
HeadlessDisplay* Headless();

// Backends.
DisplayBackend* OpenSdlDisplay(DisplayEvents* events);  // null on failure, with the reason on stderr
DisplayBackend* OpenHeadlessDisplay(int width, int height);

}  // namespace platform::display
