// Windows for the tests: a class whose procedure records every message and can be given a hook, and
// a thread that owns windows and runs their message loop, on which a test can run code.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "support/display.h"

namespace harness {

constexpr const char* kRedrawClass = "HarnessRedraw";  // CS_HREDRAW | CS_VREDRAW, black background
constexpr const char* kPlainClass = "HarnessPlain";    // no redraw styles, white background

struct Seen {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::thread::id thread;
};

// Every message any harness window received, in order.
std::vector<Seen> Log();
void ClearLog();
// The messages of one kind that `hwnd` received.
std::vector<Seen> LogOf(HWND hwnd, UINT message);

// Called before the default handling; returning true with *result set handles the message.
using Hook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;
void SetHook(Hook hook);

// Registers the classes once and chooses the headless display.
void PrepareWindows();

// A thread with its own message loop; WM_DESTROY of one of its windows posts the quit message.
class WindowThread {
 public:
  WindowThread();
  ~WindowThread();  // destroys the windows it still has and ends the thread

  // Runs `work` on the thread (through a sent message) and returns when it is done.
  void Call(const std::function<void()>& work);
  HWND Create(const char* cls = kRedrawClass, int width = CW_USEDEFAULT, int height = CW_USEDEFAULT,
              bool visible = true);
  std::thread::id Id() const { return thread_.get_id(); }
  HWND Courier() const { return courier_; }

 private:
  std::thread thread_;
  HWND courier_ = nullptr;  // a hidden window that carries Call's work
  std::vector<HWND> windows_;  // made by Create, destroyed with the thread
};

std::string Cp932(const char* utf8);

}  // namespace harness
