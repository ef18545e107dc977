// The SDL2 display: real windows on X11. One display thread owns SDL's video state: it creates the
// windows, waits for events without spinning and turns them into window messages (sdl_events.cpp),
// runs the work other threads hand it (sdl_commands.cpp), and presents a window's pixels whenever they
// changed (sdl_present.cpp), woken from whichever thread drew them.
#include <SDL_syswm.h>

#include <cstdio>
#include <cstdlib>

#include "platform/display/close_signals.h"
#include "platform/display/cp932_codec.h"
#include "platform/display/display_scale.h"
#include "platform/display/sdl_display.h"
#include "platform/display/sdl_message_box.h"
#include "platform/display/x11_hooks.h"
#include "platform/kernel32/kernel32.h"
#include "platform/kernel32/process_exit.h"
#include "platform/saturating.h"

extern "C" char* program_invocation_short_name;

namespace platform::display {

// Starts the display thread and waits until SDL is up (or has failed, with the reason in `error`).
bool SdlDisplay::Start(std::string* error) {
  std::unique_lock<RankedMutex> lock(lock_);
  thread_ = std::thread([this] { Run(); });
  started_.wait(lock, [this] { return state_ != State::kStarting; });
  if (state_ == State::kFailed) {
    *error = error_;
    lock.unlock();
    thread_.join();
    return false;
  }
  thread_.detach();  // lives until the process ends
  return true;
}

// Closes the windows and leaves SDL, so the X server sees the windows go at once; bounded, since
// the process is ending whatever happens here. On the display thread itself (the X connection was
// lost, and the process ends from there) there is nobody to do it and nothing left to tell.
void SdlDisplay::Shutdown() {
  if (std::this_thread::get_id() == displayThreadId_) return;
  auto done = std::make_shared<bool>(false);
  {
    std::lock_guard<RankedMutex> lock(lock_);
    commands_.push_back([this, done] {
      std::map<HWND, NativeWindow> windows;
      {
        std::lock_guard<RankedMutex> l(lock_);
        windows.swap(windows_);
        bySurface_.clear();
        byId_.clear();
      }
      for (auto& [hwnd, n] : windows) SDL_DestroyWindow(n.sdl);
      SDL_Quit();
      std::lock_guard<RankedMutex> l(lock_);
      stopped_ = true;
      *done = true;
      commandDone_.notify_all();
    });
  }
  Wake();
  std::unique_lock<RankedMutex> lock(lock_);
  commandDone_.wait_for(lock, std::chrono::seconds(1), [&] { return *done; });
}

// Closes every window as its close button would; with no window left there is nothing to wait
// for, and the process ends as closing its last window would have ended it.
void SdlDisplay::CloseAll() {
  std::vector<HWND> open;
  {
    std::lock_guard<RankedMutex> lock(lock_);
    for (auto& [hwnd, n] : windows_) open.push_back(hwnd);
  }
  if (open.empty()) ExitProcess(0);
  for (HWND hwnd : open) events_->Close(hwnd);
}

bool SdlDisplay::CreateNativeWindow(HWND hwnd, const std::string& className, const std::string& title,
                                    int clientWidth, int clientHeight, DisplaySurface* surface) {
  bool ok = false;
  Execute(
      [&] {
        SDL_Window* w = SDL_CreateWindow(Cp932ToUtf8(title).c_str(), SDL_WINDOWPOS_UNDEFINED,
                                         SDL_WINDOWPOS_UNDEFINED, Physical(clientWidth), Physical(clientHeight),
                                         SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
        if (!w) {
          std::fprintf(stderr, "%s: cannot create a window (%s)\n", program_invocation_short_name,
                       SDL_GetError());
          return;
        }
        SetX11Class(w, className);
        std::lock_guard<RankedMutex> lock(lock_);
        NativeWindow& n = windows_[hwnd];
        n.sdl = w;
        n.surface = surface;
        n.x11 = X11WindowOf(w);
        bySurface_[surface] = hwnd;
        byId_[SDL_GetWindowID(w)] = hwnd;
        ok = true;
      },
      true);
  return ok;
}

void SdlDisplay::DestroyNativeWindow(HWND hwnd) {
  Execute(
      [this, hwnd] {
        SDL_Window* sdl = nullptr;
        {
          std::lock_guard<RankedMutex> lock(lock_);
          auto it = windows_.find(hwnd);
          if (it == windows_.end()) return;
          sdl = it->second.sdl;
          bySurface_.erase(it->second.surface);
          byId_.erase(SDL_GetWindowID(sdl));
          windows_.erase(it);
        }
        SDL_DestroyWindow(sdl);
      },
      true);
}

void SdlDisplay::ShowNativeWindow(HWND hwnd, bool visible) {
  Execute(
      [this, hwnd, visible] {
        SDL_Window* sdl = Find(hwnd);
        if (!sdl) return;
        if (visible) {
          SDL_ShowWindow(sdl);
          MarkDirty(hwnd);
        } else {
          SDL_HideWindow(sdl);
        }
      },
      false);
}

void SdlDisplay::SetClientSize(HWND hwnd, int width, int height) {
  Execute(
      [this, hwnd, width, height] {
        if (SDL_Window* sdl = Find(hwnd)) SDL_SetWindowSize(sdl, Physical(width), Physical(height));
        MarkDirty(hwnd);
      },
      false);
}

void SdlDisplay::SetTextInputRect(HWND, const RECT& rect) {
  const int n = scale_;
  Execute(
      [rect, n] {
        // The caller's rectangle may lie anywhere in the int range: computed wide, clamped to it.
        SDL_Rect r{MulClamped(rect.left, n), MulClamped(rect.top, n), ClampToInt((int64_t{rect.right} - rect.left) * n),
                   ClampToInt((int64_t{rect.bottom} - rect.top) * n)};
        SDL_SetTextInputRect(&r);
      },
      false);
}

int SdlDisplay::ShowMessageBox(HWND, const MessageBoxRequest& request) {
  CheckMayWaitOnDisplay("a message box");
  // The box runs its own loop on the calling thread (with a connection of its own to the X
  // server), so the display thread goes on presenting the other windows meanwhile.
  std::lock_guard<std::mutex> modal(messageBoxLock_);
  return ShowSdlMessageBox(request);
}

SDL_Window* SdlDisplay::Find(HWND hwnd) {
  std::lock_guard<RankedMutex> lock(lock_);
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.sdl;
}

// Only drivers that show windows on the user's screen are tried: X11 when DISPLAY names a server,
// then Wayland when WAYLAND_DISPLAY does. SDL's fallbacks (offscreen, dummy) would open
// "successfully" and show nothing. A driver named in SDL_VIDEODRIVER is taken as the user gave it.
// On failure SDL_GetError() tells why the first driver failed.
bool SdlDisplay::InitVideo() {
  const char* named = std::getenv("SDL_VIDEODRIVER");
  if (named && *named) return SDL_Init(SDL_INIT_VIDEO) == 0;
  std::string firstError;
  for (const char* driver : {"x11", "wayland"}) {
    const bool x11 = driver[0] == 'x';
    const char* server = std::getenv(x11 ? "DISPLAY" : "WAYLAND_DISPLAY");
    if (!server || !*server) continue;
    if (x11 && xUnreachable_) {
      firstError = "the X server does not answer";
      continue;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    if (SDL_Init(SDL_INIT_VIDEO) == 0) return true;
    if (firstError.empty()) firstError = SDL_GetError();
  }
  SDL_SetError("%s", firstError.c_str());
  return false;
}

void SdlDisplay::Run() {
  displayThreadId_ = std::this_thread::get_id();
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_PING, "1");
  // Window pixels go to X directly: a renderer behind the window surface would make SDL re-create
  // the X window (losing its class hint) and needs OpenGL for nothing.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Signals are ours (they close the windows, see CloseOnSignals), not SDL's quit event.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The composition arrives whole, with the clause being converted, however long it is.
  SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
  HandleX11Errors([] { ExitProcess(0); });
  bool ok = InitVideo();
  if (ok) {
    HandleX11Errors([] { ExitProcess(0); });
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);  // to see a window destroyed from outside
  }
  SDL_DisplayMode mode{};
  if (ok && SDL_GetCurrentDisplayMode(0, &mode) != 0) ok = false;
  if (ok) wakeEvent_ = SDL_RegisterEvents(1);
  {
    std::lock_guard<RankedMutex> lock(lock_);
    if (!ok) {
      error_ = SDL_GetError();
      state_ = State::kFailed;
    } else {
      screenWidth_ = mode.w;
      screenHeight_ = mode.h;
      state_ = State::kRunning;
    }
    started_.notify_all();
  }
  if (!ok) {
    SDL_Quit();
    return;
  }
  SDL_StartTextInput();
  for (;;) {
    SDL_Event e;
    int timeout = BlinkTimeout();
    bool got = timeout < 0 ? SDL_WaitEvent(&e) != 0 : SDL_WaitEventTimeout(&e, timeout) != 0;
    if (got) Handle(e);
    while (SDL_PollEvent(&e)) Handle(e);
    RunCommands();
    {
      std::lock_guard<RankedMutex> lock(lock_);
      if (stopped_) return;
    }
    Blink();
    PresentDirty();
  }
}

namespace {

SdlDisplay* theSdlDisplay = nullptr;

void ShutdownAtExit() {
  if (theSdlDisplay) theSdlDisplay->Shutdown();
}

}  // namespace


DisplayBackend* OpenSdlDisplay(DisplayEvents* events) {
  const char* name = program_invocation_short_name;
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* shown = x && *x ? x : wayland && *wayland ? wayland : nullptr;
  if (!shown) {
    std::fprintf(stderr, "%s: cannot open a display (DISPLAY is not set)\n", name);
    return nullptr;
  }
  int scale = 1;
  bool xUnreachable = false;
  if (!ChooseDisplayScale(x && *x ? x : nullptr, &scale, &xUnreachable)) return nullptr;
  auto* display = new SdlDisplay(events, scale, xUnreachable);
  std::string error;
  if (!display->Start(&error)) {
    std::fprintf(stderr, "%s: cannot open the display %s (%s)\n", name, shown, error.c_str());
    delete display;
    return nullptr;
  }
  theSdlDisplay = display;
  KernelAtExitProcess(ShutdownAtExit);
  CloseOnSignals([] { theSdlDisplay->CloseAll(); });
  return display;
}

}  // namespace platform::display
