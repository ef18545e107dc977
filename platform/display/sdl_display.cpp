// The SDL2 display: real windows on X11. One display thread owns SDL's video state: it creates the
// windows, waits for events without spinning and turns them into window messages, and presents a
// window's pixels whenever they changed, woken from whichever thread drew them.
#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "platform/display/close_signals.h"
#include "platform/display/cp932_codec.h"
#include "platform/display/display_backend.h"
#include "platform/display/display_scale.h"
#include "platform/display/sdl_keys.h"
#include "platform/display/sdl_message_box.h"
#include "platform/display/sdl_present.h"
#include "platform/display/x11_hooks.h"
#include "platform/kernel32/kernel32.h"
#include "platform/kernel32/process_exit.h"
#include "platform/kernel32/utf8.h"
#include "platform/saturating.h"

extern "C" char* program_invocation_short_name;

namespace platform::display {
namespace {

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
  bool Start(std::string* error) {
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
  void Shutdown() {
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
  void CloseAll() {
    std::vector<HWND> open;
    {
      std::lock_guard<RankedMutex> lock(lock_);
      for (auto& [hwnd, n] : windows_) open.push_back(hwnd);
    }
    if (open.empty()) ExitProcess(0);
    for (HWND hwnd : open) events_->Close(hwnd);
  }

  int ScreenWidth() const override { return screenWidth_ / scale_; }
  int ScreenHeight() const override { return screenHeight_ / scale_; }
  int Scale() const override { return scale_; }

  bool CreateNativeWindow(HWND hwnd, const std::string& className, const std::string& title, int clientWidth,
                          int clientHeight, DisplaySurface* surface) override {
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

  void DestroyNativeWindow(HWND hwnd) override {
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

  void ShowNativeWindow(HWND hwnd, bool visible) override {
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

  void SetClientSize(HWND hwnd, int width, int height) override {
    Execute(
        [this, hwnd, width, height] {
          if (SDL_Window* sdl = Find(hwnd)) SDL_SetWindowSize(sdl, Physical(width), Physical(height));
          MarkDirty(hwnd);
        },
        false);
  }

  void SurfaceChanged(DisplaySurface* surface) override {
    {
      std::lock_guard<RankedMutex> lock(lock_);
      auto it = bySurface_.find(surface);
      if (it == bySurface_.end()) return;
      windows_[it->second].dirty = true;
    }
    Wake();
  }

  void SetCaret(HWND hwnd, const RECT& rect, bool shown) override {
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

  void SetTextInputRect(HWND, const RECT& rect) override {
    const int n = scale_;
    Execute(
        [rect, n] {
          // The caller's rectangle may lie anywhere in the int range: computed wide, clamped to it.
          SDL_Rect r{MulClamped(rect.left, n), MulClamped(rect.top, n),
                     ClampToInt((int64_t{rect.right} - rect.left) * n), ClampToInt((int64_t{rect.bottom} - rect.top) * n)};
          SDL_SetTextInputRect(&r);
        },
        false);
  }

  void SetComposition(HWND hwnd, const OverlayImage& image) override {
    {
      std::lock_guard<RankedMutex> lock(lock_);
      auto it = windows_.find(hwnd);
      if (it == windows_.end()) return;
      it->second.composition = image;
      it->second.dirty = true;
    }
    Wake();
  }

  void SetClipboardText(const std::string& cp932) override {
    std::string utf8 = ClipboardTextToSystem(cp932);
    {
      std::lock_guard<RankedMutex> lock(lock_);
      lastClipboard_ = utf8;
    }
    Execute([utf8] { SDL_SetClipboardText(utf8.c_str()); }, false);
  }

  bool GetClipboardText(std::string* cp932) override { return SystemClipboardText(cp932, true); }
  bool HasClipboardText() override { return SystemClipboardText(nullptr, false); }

  // New text on the system clipboard (see DisplayBackend), taken or only looked at.
  bool SystemClipboardText(std::string* cp932, bool take) {
    std::string utf8;
    Execute(
        [&] {
          if (!SDL_HasClipboardText()) return;
          char* text = SDL_GetClipboardText();
          if (text) utf8 = text;
          SDL_free(text);
        },
        true);
    std::lock_guard<RankedMutex> lock(lock_);
    if (utf8.empty() || utf8 == lastClipboard_) return false;
    if (take) lastClipboard_ = utf8;
    if (cp932) *cp932 = ClipboardTextFromSystem(utf8);
    return true;
  }

  int ShowMessageBox(HWND, const MessageBoxRequest& request) override {
    CheckMayWaitOnDisplay("a message box");
    // The box runs its own loop on the calling thread (with a connection of its own to the X
    // server), so the display thread goes on presenting the other windows meanwhile.
    std::lock_guard<std::mutex> modal(messageBoxLock_);
    return ShowSdlMessageBox(request);
  }

 private:
  enum class State { kStarting, kRunning, kFailed };

  // Runs `work` on the display thread; waits for it when asked (never from the display thread).
  void Execute(std::function<void()> work, bool wait) {
    if (std::this_thread::get_id() == displayThreadId_) {
      work();
      return;
    }
    auto done = std::make_shared<bool>(false);
    {
      std::lock_guard<RankedMutex> lock(lock_);
      commands_.push_back([work = std::move(work), done, this] {
        work();
        std::lock_guard<RankedMutex> l(lock_);
        *done = true;
        commandDone_.notify_all();
      });
    }
    Wake();
    if (!wait) return;
    CheckMayWaitOnDisplay("a command on the display thread");
    std::unique_lock<RankedMutex> lock(lock_);
    commandDone_.wait(lock, [&] { return *done; });
  }

  void Wake() {
    if (wakePending_.exchange(true)) return;
    SDL_Event e{};
    e.type = wakeEvent_;
    SDL_PushEvent(&e);
  }

  // A size in window pixels as the screen shows it (at least 1, as SDL wants).
  int Physical(int logical) const { return logical > 0 ? logical * scale_ : 1; }

  SDL_Window* Find(HWND hwnd) {
    std::lock_guard<RankedMutex> lock(lock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.sdl;
  }

  void MarkDirty(HWND hwnd) {
    std::lock_guard<RankedMutex> lock(lock_);
    auto it = windows_.find(hwnd);
    if (it != windows_.end()) it->second.dirty = true;
  }

  HWND WindowOfEvent(Uint32 windowId) {
    std::lock_guard<RankedMutex> lock(lock_);
    auto it = byId_.find(windowId);
    return it == byId_.end() ? nullptr : it->second;
  }

  // Only drivers that show windows on the user's screen are tried: X11 when DISPLAY names a server,
  // then Wayland when WAYLAND_DISPLAY does. SDL's fallbacks (offscreen, dummy) would open
  // "successfully" and show nothing. A driver named in SDL_VIDEODRIVER is taken as the user gave it.
  // On failure SDL_GetError() tells why the first driver failed.
  bool InitVideo() {
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

  void Run() {
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

  void RunCommands() {
    for (;;) {
      std::function<void()> command;
      {
        std::lock_guard<RankedMutex> lock(lock_);
        if (commands_.empty()) return;
        command = std::move(commands_.front());
        commands_.pop_front();
      }
      command();
    }
  }

  void Handle(const SDL_Event& e) {
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
  void Composing(Uint32 windowId, const char* utf8, int start, int length) {
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
  void LostWindow(unsigned long x11) {
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

  // Milliseconds until the next blink, or -1 when no caret is shown (then the thread sleeps until
  // an event comes).
  int BlinkTimeout() {
    std::lock_guard<RankedMutex> lock(lock_);
    bool any = false;
    for (auto& [hwnd, n] : windows_) any = any || n.caretShown;
    if (!any) return -1;
    Uint32 now = SDL_GetTicks();
    return SDL_TICKS_PASSED(now, nextBlink_) ? 0 : static_cast<int>(nextBlink_ - now);
  }

  void Blink() {
    std::lock_guard<RankedMutex> lock(lock_);
    Uint32 now = SDL_GetTicks();
    if (!SDL_TICKS_PASSED(now, nextBlink_)) return;
    blinkOn_ = !blinkOn_;
    nextBlink_ = now + kCaretBlinkMs;
    for (auto& [hwnd, n] : windows_)
      if (n.caretShown) n.dirty = true;
  }

  void PresentDirty() {
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
