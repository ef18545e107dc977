#include "tests/process/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int ElapsedMs(Clock::time_point start) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

bool DisplayNumberFree(int n) {
  struct stat st;
  const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
  return stat(lock.c_str(), &st) != 0 && stat(socket.c_str(), &st) != 0;
}

std::vector<char*> Argv(const std::vector<std::string>& argv) {
  std::vector<char*> out;
  for (const auto& a : argv) out.push_back(const_cast<char*>(a.c_str()));
  out.push_back(nullptr);
  return out;
}

// The first window of the tree named `title` that `accept` takes.
Window FindInTree(Display* display, Window window, const std::string& title,
                  const std::function<bool(Window)>& accept) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    const bool match = title == name;
    XFree(name);
    if (match && accept(window)) return window;
  }
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) found = FindInTree(display, children[i], title, accept);
  if (children) XFree(children);
  return found;
}

// A window may go away between finding it and asking about it: such a request fails quietly instead
// of ending the test process.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

bool ProgramAvailable(const std::string& name) {
  return RunCommand({"sh", "-c", "command -v " + name + " >/dev/null 2>&1"}, "") == 0;
}

bool XSession::Start(int width, int height) {
  if (!ProgramAvailable("Xvfb")) {
    error_ = "Xvfb is not installed";
    return false;
  }
  // A display number of our own, away from those a desktop or another test would take.
  const int first = 100 + static_cast<int>(getpid() % 400);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  for (int n = first; n < first + 50; ++n) {
    if (!DisplayNumberFree(n)) continue;
    name_ = ":" + std::to_string(n);
    server_ = fork();
    if (server_ == 0) {
      const int devnull = open("/dev/null", O_RDWR);
      dup2(devnull, 1);
      dup2(devnull, 2);
      execlp("Xvfb", "Xvfb", name_.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", nullptr);
      _exit(127);
    }
    const auto start = Clock::now();
    while (ElapsedMs(start) < 20000) {
      display_ = XOpenDisplay(name_.c_str());
      if (display_) {
        XSetErrorHandler(IgnoreXErrors);
        return true;
      }
      int status = 0;
      if (waitpid(server_, &status, WNOHANG) == server_) break;  // another server won the number
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (server_ > 0) {
      kill(server_, SIGTERM);
      waitpid(server_, nullptr, 0);
      server_ = -1;
    }
  }
  error_ = "no Xvfb display could be started";
  return false;
}

void XSession::EndServer() {
  if (display_) XCloseDisplay(display_);
  display_ = nullptr;
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
    server_ = -1;
  }
}

XSession::~XSession() {
  if (display_) XCloseDisplay(display_);
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
  }
}

Window XSession::FindWindow(const std::string& title, int timeoutMs, bool viewable) {
  const auto start = Clock::now();
  const auto accept = [&](Window w) { return !viewable || Viewable(w); };
  do {
    Window found = FindInTree(display_, DefaultRootWindow(display_), title, accept);
    if (found) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (ElapsedMs(start) < timeoutMs);
  return 0;
}

std::string XSession::WindowClass(Window window) {
  XClassHint hint = {nullptr, nullptr};
  if (!XGetClassHint(display_, window, &hint)) return "";
  std::string result = std::string(hint.res_name ? hint.res_name : "") + "/" + (hint.res_class ? hint.res_class : "");
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return result;
}

bool XSession::Viewable(Window window) {
  XWindowAttributes attributes = {};
  return XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable;
}

bool XSession::RootPosition(Window window, int* x, int* y) {
  Window child;
  return XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, x, y, &child) != 0;
}

bool XSession::Attach(const std::string& name) {
  name_ = name;
  display_ = XOpenDisplay(name.c_str());
  if (!display_) {
    error_ = "cannot open the X server " + name;
    return false;
  }
  XSetErrorHandler(IgnoreXErrors);
  return true;
}

void XSession::SetResources(const std::string& resources) {
  XChangeProperty(display_, DefaultRootWindow(display_), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
  XSync(display_, False);
}

PixelImage XSession::Capture(Window window) {
  PixelImage out;
  XWindowAttributes attributes = {};
  if (!XGetWindowAttributes(display_, window, &attributes)) return out;
  XImage* image = XGetImage(display_, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (!image) return out;
  out.width = attributes.width;
  out.height = attributes.height;
  out.pixels.resize(static_cast<size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      const unsigned long rgb = XGetPixel(image, x, y);
      out.pixels[static_cast<size_t>(y) * out.width + x] =
          static_cast<uint32_t>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
    }
  XDestroyImage(image);
  return out;
}

void XSession::Destroy(Window window) {
  XDestroyWindow(display_, window);
  XFlush(display_);
}

void XSession::RequestClose(Window window) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XFlush(display_);
}

Child Spawn(const std::vector<std::string>& argv, const std::string& display, const std::string& directory,
            const std::vector<std::string>& environment) {
  int out[2], err[2];
  Child child;
  if (pipe(out) != 0 || pipe(err) != 0) return child;
  child.pid = fork();
  if (child.pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]);
    close(err[0]);
    if (display.empty()) {
      unsetenv("DISPLAY");
    } else {
      setenv("DISPLAY", display.c_str(), 1);
    }
    unsetenv("WAYLAND_DISPLAY");
    for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
    if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(126);
    auto args = Argv(argv);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  child.out = out[0];
  child.err = err[0];
  return child;
}

int WaitExit(Child& child, int timeoutMs) {
  const auto start = Clock::now();
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(child.pid, &status, WNOHANG);
    if (done == child.pid) {
      child.pid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    }
    if (ElapsedMs(start) >= timeoutMs) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::string ReadAvailable(int fd, int timeoutMs) {
  std::string text;
  pollfd p = {fd, POLLIN, 0};
  while (poll(&p, 1, timeoutMs) > 0) {
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
    timeoutMs = 50;
  }
  return text;
}

std::string ReadLine(int fd, int timeoutMs) {
  std::string text;
  const auto start = Clock::now();
  while (text.find('\n') == std::string::npos) {
    const int left = timeoutMs - ElapsedMs(start);
    if (left <= 0) break;
    pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, left) <= 0) break;
    char c;
    if (read(fd, &c, 1) != 1) break;
    text.push_back(c);
  }
  return text;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const auto start = Clock::now();
  for (;;) {
    if (condition()) return true;
    if (ElapsedMs(start) >= timeoutMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

int RunCommand(const std::vector<std::string>& argv, const std::string& display) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    auto args = Argv(argv);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
