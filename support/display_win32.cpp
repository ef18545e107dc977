// The test-support hooks on the real Windows API (or Wine). There is no headless display here: the
// desktop is the screen, and the scripts give it the size the tests ask for. Input is posted to the
// window's thread as a keyboard would deliver it; what only the window's own thread can ask (its
// caret, its input context, its focus) is asked there, from a message hook that runs a request when
// the thread takes a marker message from its queue, after everything posted before it.
#include "support/display.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace {

// ---- running a request on a window's thread ----

struct Request {
  std::function<void()> work;
  HANDLE done = nullptr;
};

UINT MarkerMessage() {
  static const UINT marker = RegisterWindowMessageA("SupportRunOnWindowThread");
  return marker;
}

LRESULT CALLBACK RunMarkedRequest(int code, WPARAM removal, LPARAM lParam) {
  MSG* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && msg->message == MarkerMessage() && msg->wParam == 0x5eed) {
    Request* request = reinterpret_cast<Request*>(msg->lParam);
    msg->message = WM_NULL;  // nothing for the window procedure to see
    request->work();
    SetEvent(request->done);
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

// Runs `work` on the window's thread once it has handled every message posted to it before; false
// when the window is gone or the thread does not get there within the time-out. A request that
// timed out is left to the hook (and leaked) rather than freed under it.
bool RunOnWindowThread(HWND window, std::function<void()> work, DWORD timeoutMs = 5000) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (thread == 0) return false;
  if (thread == GetCurrentThreadId()) {
    work();
    return true;
  }
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, RunMarkedRequest, nullptr, thread);
  if (hook == nullptr) return false;
  auto* request = new Request{std::move(work), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  bool ok = PostMessageA(window, MarkerMessage(), 0x5eed, reinterpret_cast<LPARAM>(request)) != 0;
  ok = ok && WaitForSingleObject(request->done, timeoutMs) == WAIT_OBJECT_0;
  if (!ok && IsWindow(window)) return false;  // the request may still run: keep it and the hook
  UnhookWindowsHookEx(hook);
  CloseHandle(request->done);
  delete request;
  return ok;
}

LPARAM KeyData(int virtualKey, bool up) {
  const UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  LPARAM data = 1 | static_cast<LPARAM>(scan & 0xFF) << 16;
  if (up) data |= static_cast<LPARAM>(0xC0000000u);
  return data;
}

void SetControlKey(bool down) {
  BYTE keys[256];
  if (!GetKeyboardState(keys)) return;
  keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

// ---- message boxes ----
// A message box is a dialog of class #32770 with its text in control 0xFFFF and its icon in control
// 0x0440. A watcher thread finds each one of this process, records it and answers it with OK.

constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x0440;

std::mutex boxLock;
std::vector<SupportMessageBox> boxes;
std::vector<HWND> answered;

UINT IconStyleOf(HWND dialog) {
  const HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, kMessageIconId, STM_GETICON, 0, 0));
  if (icon == nullptr) return 0;
  const struct {
    LPCSTR id;
    UINT style;
  } icons[] = {{IDI_HAND, MB_ICONHAND}, {IDI_QUESTION, MB_ICONQUESTION}, {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
               {IDI_ASTERISK, MB_ICONASTERISK}};
  for (const auto& known : icons)
    if (LoadIconA(nullptr, known.id) == icon) return known.style;
  return 0;
}

UINT ButtonStyleOf(HWND dialog) {
  auto has = [&](int id) { return GetDlgItem(dialog, id) != nullptr; };
  if (has(IDYES) && has(IDNO)) return has(IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
  if (has(IDRETRY) && has(IDCANCEL)) return MB_RETRYCANCEL;
  if (has(IDOK) && has(IDCANCEL)) return MB_OKCANCEL;
  return MB_OK;
}

std::string TextOf(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

BOOL CALLBACK AnswerMessageBox(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16] = {};
  if (process != GetCurrentProcessId() || !GetClassNameA(window, className, sizeof className) ||
      std::string(className) != "#32770" || GetDlgItem(window, kMessageTextId) == nullptr)
    return TRUE;
  {
    std::lock_guard<std::mutex> lock(boxLock);
    for (HWND seen : answered)
      if (seen == window) return TRUE;
    answered.push_back(window);
    boxes.push_back(SupportMessageBox{GetWindow(window, GW_OWNER), TextOf(GetDlgItem(window, kMessageTextId)),
                                      TextOf(window), IconStyleOf(window) | ButtonStyleOf(window)});
  }
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return TRUE;
}

void StartMessageBoxWatcher() {
  static std::once_flag started;
  std::call_once(started, [] {
    std::thread([] {
      for (;;) {
        EnumWindows(AnswerMessageBox, 0);
        {
          // Windows that are gone may come back with the same handle.
          std::lock_guard<std::mutex> lock(boxLock);
          std::erase_if(answered, [](HWND w) { return !IsWindow(w); });
        }
        Sleep(5);
      }
    }).detach();
  });
}

}  // namespace

bool SupportUseHeadlessDisplay(int width, int height) {
  StartMessageBoxWatcher();
  return GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height;
}

void SupportPressKey(HWND window, int virtualKey, bool ctrl) {
  if (ctrl) {
    RunOnWindowThread(window, [] { SetControlKey(true); });
    PostMessageA(window, WM_KEYDOWN, VK_CONTROL, KeyData(VK_CONTROL, false));
  }
  PostMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), KeyData(virtualKey, false));
  PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(virtualKey), KeyData(virtualKey, true));
  if (ctrl) {
    PostMessageA(window, WM_KEYUP, VK_CONTROL, KeyData(VK_CONTROL, true));
    RunOnWindowThread(window, [] { SetControlKey(false); });
  }
}

void SupportTypeText(HWND window, const char* utf8) {
  if (utf8 == nullptr || *utf8 == '\0') return;
  const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring text(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), wide);
  const int bytes = WideCharToMultiByte(932, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string cp932(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(932, 0, text.c_str(), -1, cp932.data(), bytes, nullptr, nullptr);
  for (size_t i = 0; i + 1 < cp932.size(); ++i)
    PostMessageA(window, WM_CHAR, static_cast<unsigned char>(cp932[i]), 1);
}

std::vector<SupportMessageBox> SupportTakeMessageBoxes() {
  StartMessageBoxWatcher();
  std::lock_guard<std::mutex> lock(boxLock);
  std::vector<SupportMessageBox> taken;
  taken.swap(boxes);
  return taken;
}

SupportCaret SupportGetCaret(HWND window) {
  SupportCaret caret;
  RunOnWindowThread(window, [&] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || info.hwndCaret == nullptr) return;
    caret.exists = true;
    caret.shown = (info.flags & GUI_CARETBLINKING) != 0;
    caret.rect = info.rcCaret;
  });
  return caret;
}

bool SupportWaitIdle(HWND window, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  // Posted messages come before painting: after a round through the queue, wait until no part of the
  // window is left to paint, then go round once more so that the painting itself has ended.
  while (GetTickCount() - start < timeoutMs) {
    if (!RunOnWindowThread(window, [] {}, timeoutMs)) return false;
    if (!GetUpdateRect(window, nullptr, FALSE)) return RunOnWindowThread(window, [] {}, timeoutMs);
    Sleep(1);
  }
  return false;
}

void SupportResizeClient(HWND window, int width, int height) {
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SupportSetFocus(HWND window, bool gained) {
  RunOnWindowThread(window, [&] { SetFocus(gained ? window : nullptr); });
}

void SupportCloseWindow(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

SupportInputMethod SupportGetInputMethod(HWND window) {
  SupportInputMethod im;
  RunOnWindowThread(window, [&] {
    HIMC context = ImmGetContext(window);
    if (context == nullptr) return;
    COMPOSITIONFORM form = {};
    if (ImmGetCompositionWindow(context, &form)) {
      im.placed = true;
      im.point = form.ptCurrentPos;
    }
    im.hasFont = ImmGetCompositionFontA(context, &im.font) != 0;
    ImmReleaseContext(window, context);
  });
  // The rectangle handed to a display's text input belongs to our own display layer; the input
  // method of this stack keeps no such thing, so it stays empty.
  return im;
}
