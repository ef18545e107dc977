// Inside the SDL display only: the display as one object, whose parts live in files of their own by
// concern: the display thread and its windows (sdl_display.cpp), the command queue that other threads
// hand work to it through (sdl_commands.cpp), SDL's events turned into DisplayEvents (sdl_events.cpp),
// the caret's blinking (sdl_caret.cpp), the clipboard (sdl_clipboard.cpp) and presenting a window's
// pixels (sdl_present.cpp).
#pragma once

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/display/display_backend.h"

namespace platform::display {

constexpr Uint32 kCaretBlinkMs = 530;  // the Windows default blink time

struct NativeWindow {
  SDL_Window* sdl = nullptr;
  DisplaySurface* surface = nullptr;
  unsigned long x11 = 0;  // the X window, under the X11 driver
  bool dirty = true;
  RECT caret = {0, 0, 0, 0};
  bool caretShown = false;
  OverlayImage composition;
};

class SdlDisplay : public DisplayBackend {
 public:
  // `xUnreachable`: the X server was asked already and did not answer, so SDL does not try it again.
  SdlDisplay(DisplayEvents* events, int scale, bool xUnreachable)
      : events_(events), scale_(scale), xUnreachable_(xUnreachable) {}

  // Starts the display thread and waits until SDL is up (or has failed, with the reason in `error`).
  bool Start(std::string* error);

  // Closes the windows and leaves SDL, so the X server sees the windows go at once; bounded, since
  // the process is ending whatever happens here. On the display thread itself (the X connection was
  // lost, and the process ends from there) there is nobody to do it and nothing left to tell.
  void Shutdown();

  // Closes every window as its close button would; with no window left there is nothing to wait
  // for, and the process ends as closing its last window would have ended it.
  void CloseAll();

  int ScreenWidth() const override { return screenWidth_ / scale_; }
  int ScreenHeight() const override { return screenHeight_ / scale_; }
  int Scale() const override { return scale_; }

  bool CreateNativeWindow(HWND hwnd, const std::string& className, const std::string& title, int clientWidth,
                          int clientHeight, DisplaySurface* surface) override;

  void DestroyNativeWindow(HWND hwnd) override;

  void ShowNativeWindow(HWND hwnd, bool visible) override;

  void SetClientSize(HWND hwnd, int width, int height) override;

  void SurfaceChanged(DisplaySurface* surface) override;

  void SetCaret(HWND hwnd, const RECT& rect, bool shown) override;

  void SetTextInputRect(HWND, const RECT& rect) override;

  void SetComposition(HWND hwnd, const OverlayImage& image) override;

  void SetClipboardText(const std::string& cp932) override;

  bool GetClipboardText(std::string* cp932) override { return SystemClipboardText(cp932, true); }
  bool HasClipboardText() override { return SystemClipboardText(nullptr, false); }

  // New text on the system clipboard (see DisplayBackend), taken or only looked at.
  bool SystemClipboardText(std::string* cp932, bool take);

  int ShowMessageBox(HWND, const MessageBoxRequest& request) override;
 private:
  enum class State { kStarting, kRunning, kFailed };

  // Runs `work` on the display thread; waits for it when asked (never from the display thread).
  void Execute(std::function<void()> work, bool wait);

  void Wake();

  // A size in window pixels as the screen shows it (at least 1, as SDL wants).
  int Physical(int logical) const { return logical > 0 ? logical * scale_ : 1; }

  SDL_Window* Find(HWND hwnd);

  void MarkDirty(HWND hwnd);

  HWND WindowOfEvent(Uint32 windowId);

  // Only drivers that show windows on the user's screen are tried: X11 when DISPLAY names a server,
  // then Wayland when WAYLAND_DISPLAY does. SDL's fallbacks (offscreen, dummy) would open
  // "successfully" and show nothing. A driver named in SDL_VIDEODRIVER is taken as the user gave it.
  // On failure SDL_GetError() tells why the first driver failed.
  bool InitVideo();

  void Run();

  void RunCommands();

  void Handle(const SDL_Event& e);

  // What the input method composes: SDL gives the clause being converted as start and length, or
  // else the cursor as start (the end when -1).
  void Composing(Uint32 windowId, const char* utf8, int start, int length);

  // Another X client destroyed the window. SDL's part of it goes at once (SDL would otherwise go on
  // waking its event loop through the dead window, and never wake), and the program closes the
  // window as its close button would.
  void LostWindow(unsigned long x11);

  // Milliseconds until the next blink, or -1 when no caret is shown (then the thread sleeps until
  // an event comes).
  int BlinkTimeout();

  void Blink();

  void PresentDirty();

  DisplayEvents* const events_;
  const int scale_;
  const bool xUnreachable_;
  std::thread thread_;
  std::thread::id displayThreadId_;
  RankedMutex lock_{LockRank::kBackend};  // the backend's own lock, never held while calling out
  std::condition_variable_any started_;
  std::condition_variable_any commandDone_;
  State state_ = State::kStarting;
  std::string error_;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  Uint32 wakeEvent_ = 0;
  std::atomic<bool> wakePending_{false};
  std::deque<std::function<void()>> commands_;
  std::map<HWND, NativeWindow> windows_;
  std::map<DisplaySurface*, HWND> bySurface_;
  std::map<Uint32, HWND> byId_;
  bool blinkOn_ = true;
  Uint32 nextBlink_ = 0;
  std::string lastClipboard_;
  std::mutex messageBoxLock_;
  bool stopped_ = false;  // SDL has been left for good
};

}  // namespace platform::display
