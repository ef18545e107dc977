// A private X server for a test (Xvfb on a free display number), child processes started on it, and
// the few X11 requests a window manager or a person would make.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "tools/png_file.h"

class XSession {
 public:
  // Starts Xvfb with a screen of width x height x 24; false (with the reason in error()) when it cannot.
  bool Start(int width = 1024, int height = 768);
  // Uses the X server `name` that someone else started (and will end); false when it cannot be opened.
  bool Attach(const std::string& name);
  // Sets the server's resource database (the RESOURCE_MANAGER property that `xrdb` sets), e.g.
  // "Xft.dpi:\t192\n" as a HiDPI desktop has it.
  void SetResources(const std::string& resources);
  ~XSession();

  Display* display() const { return display_; }
  const std::string& name() const { return name_; }  // ":<n>"
  const std::string& error() const { return error_; }

  // The window whose WM_NAME is `title` (a shown one, with `viewable`), waiting up to `timeoutMs`; 0
  // if none.
  Window FindWindow(const std::string& title, int timeoutMs, bool viewable = false);
  // Where the window's top-left is on the screen.
  bool RootPosition(Window window, int* x, int* y);
  std::string WindowClass(Window window);
  // Whether the window is mapped and shown.
  bool Viewable(Window window);
  // The window's pixels (0x00BBGGRR, as our bitmaps and PNG files hold them); empty when it is gone.
  PixelImage Capture(Window window);
  // The close button: WM_PROTOCOLS with WM_DELETE_WINDOW, as a window manager sends it.
  void RequestClose(Window window);
  // Another client destroys the window outright, as `xdotool windowclose` does.
  void Destroy(Window window);
  // Ends the X server now (our own connection is closed first): its clients lose their connections.
  void EndServer();

 private:
  pid_t server_ = -1;
  Display* display_ = nullptr;
  std::string name_;
  std::string error_;
};

// A child process with its standard output and error captured.
struct Child {
  pid_t pid = -1;
  int out = -1;  // read end of stdout
  int err = -1;  // read end of stderr
};

// Runs `argv` in `directory` with DISPLAY set to `display` (unset when empty) and the variables of
// `environment` ("NAME=value") added.
Child Spawn(const std::vector<std::string>& argv, const std::string& display, const std::string& directory,
            const std::vector<std::string>& environment = {});
// Waits up to `timeoutMs` for the child to end; its exit code, or -1 on time-out, -2 on a signal.
int WaitExit(Child& child, int timeoutMs);
// Reads what is available (or arrives within `timeoutMs`) from a descriptor.
std::string ReadAvailable(int fd, int timeoutMs);
// Reads until a newline arrives or the time-out passes.
std::string ReadLine(int fd, int timeoutMs);
// Polls `condition` until it holds or `timeoutMs` passes; whether it held.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

// Runs a command line to its end, with DISPLAY set; its exit code.
int RunCommand(const std::vector<std::string>& argv, const std::string& display);
bool ProgramAvailable(const std::string& name);
