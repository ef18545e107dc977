// Inside the platform layer only: what USER32 asks of a display, and the one display of the process.
//
// Two backends implement it: SDL2 (a real window on X11, driven by a display thread of its own) and
// headless (a virtual screen in memory). The first call of Display() opens the display: the headless
// one when it was chosen with UseHeadlessDisplay, otherwise SDL. Every method may be called from any
// thread; none of them calls back into USER32 while the caller waits.
#pragma once

#include <string>

#include "platform/gdi32/display_dc.h"
#include "platform/win32_types.h"

namespace platform::display {

class DisplayBackend {
 public:
  virtual ~DisplayBackend() = default;

  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;

  // A native window for `hwnd` showing `surface` (the client pixels); false when it cannot be made.
  // The title is CP932.
  virtual bool CreateNativeWindow(HWND hwnd, const std::string& className, const std::string& title,
                                  int clientWidth, int clientHeight, DisplaySurface* surface) = 0;
  // After it returns the backend no longer touches the window's surface.
  virtual void DestroyNativeWindow(HWND hwnd) = 0;
  virtual void ShowNativeWindow(HWND hwnd, bool visible) = 0;
  virtual void SetClientSize(HWND hwnd, int width, int height) = 0;

  // The pixels of `surface` changed (called under GdiLock, so it must not block).
  virtual void SurfaceChanged(DisplaySurface* surface) = 0;

  // The caret of a window: a solid block shown over the client pixels, blinking.
  virtual void SetCaret(HWND hwnd, const RECT& rect, bool shown) = 0;

  // Where the input method shows its composition (client coordinates).
  virtual void SetTextInputRect(HWND hwnd, const RECT& rect) = 0;

  // The system clipboard's text, CP932 with CR LF line ends. GetClipboardText returns false when the
  // system clipboard does not hold text that differs from what this process put there last.
  virtual void SetClipboardText(const std::string& cp932) = 0;
  virtual bool GetClipboardText(std::string* cp932) = 0;

  // A modal message box (texts CP932); blocks until dismissed and returns the button's id.
  virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// The display of the process, opened on first use; null when no display can be opened (the reason
// has then been written to stderr once).
DisplayBackend* Display();

// Chooses the headless display for this process; false once the display has been opened.
bool UseHeadlessDisplay(int width, int height);

// The headless display, or null when another display is in use.
class HeadlessDisplay;
HeadlessDisplay* Headless();

// Backends.
DisplayBackend* OpenSdlDisplay();  // null on failure, with the reason on stderr
DisplayBackend* OpenHeadlessDisplay(int width, int height);

}  // namespace platform::display
