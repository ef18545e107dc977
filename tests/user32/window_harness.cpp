#include "window_harness.h"

#include <condition_variable>

#include "platform/kernel32/cp932.h"

namespace harness {
namespace {

constexpr UINT kRunWork = WM_USER + 100;

std::mutex logLock;
std::vector<Seen> log;
Hook hook;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Hook current;
  {
    std::lock_guard<std::mutex> lock(logLock);
    log.push_back(Seen{hwnd, msg, wParam, lParam, std::this_thread::get_id()});
    current = hook;
  }
  LRESULT result = 0;
  if (current && current(hwnd, msg, wParam, lParam, &result)) return result;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The courier runs work for WindowThread::Call and ends the loop when destroyed.
LRESULT CALLBACK CourierProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kRunWork) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
constexpr const char* kCourierClass = "HarnessCourier";

}  // namespace

std::vector<Seen> Log() {
  std::lock_guard<std::mutex> lock(logLock);
  return log;
}

void ClearLog() {
  std::lock_guard<std::mutex> lock(logLock);
  log.clear();
}

std::vector<Seen> LogOf(HWND hwnd, UINT message) {
  std::vector<Seen> out;
  for (auto& s : Log())
    if (s.hwnd == hwnd && s.message == message) out.push_back(s);
  return out;
}

void SetHook(Hook h) {
  std::lock_guard<std::mutex> lock(logLock);
  hook = std::move(h);
}

void PrepareWindows() {
  static bool done = [] {
    EXPECT_TRUE(SupportUseHeadlessDisplay(1024, 768));
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kRedrawClass;
    EXPECT_NE(RegisterClassExA(&wc), 0);
    wc.style = 0;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kPlainClass;
    EXPECT_NE(RegisterClassExA(&wc), 0);
    wc.lpfnWndProc = CourierProc;
    wc.lpszClassName = kCourierClass;
    EXPECT_NE(RegisterClassExA(&wc), 0);
    return true;
  }();
  (void)done;
  SetHook(nullptr);
  ClearLog();
}

WindowThread::WindowThread() {
  std::mutex m;
  std::condition_variable cv;
  bool ready = false;
  thread_ = std::thread([&] {
    HWND courier = CreateWindowExA(0, kCourierClass, "courier", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    {
      // Notified under the lock: the constructor may return and destroy cv as soon as it sees ready.
      std::lock_guard<std::mutex> lock(m);
      courier_ = courier;
      ready = true;
      cv.notify_all();
    }
    MSG msg;
    // The loop ends when the courier, destroyed last, posts the quit message.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  });
  std::unique_lock<std::mutex> lock(m);
  cv.wait(lock, [&] { return ready; });
}

WindowThread::~WindowThread() {
  HWND courier = courier_;
  std::vector<HWND> windows = windows_;
  Call([&] {
    for (HWND w : windows)
      if (IsWindow(w)) DestroyWindow(w);
    DestroyWindow(courier);  // its WM_DESTROY ends the loop
  });
  thread_.join();
}

void WindowThread::Call(const std::function<void()>& work) {
  SendMessageA(courier_, kRunWork, 0, reinterpret_cast<LPARAM>(&work));
}

HWND WindowThread::Create(const char* cls, int width, int height, bool visible) {
  HWND hwnd = nullptr;
  Call([&] {
    hwnd = CreateWindowExA(0, cls, "test", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), CW_USEDEFAULT,
                           CW_USEDEFAULT, width, height, nullptr, nullptr, nullptr, nullptr);
  });
  windows_.push_back(hwnd);
  return hwnd;
}

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

}  // namespace harness
