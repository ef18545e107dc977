#include "program/tilebasic_window.h"

#include <cstdio>

#include "basic/console_screen.h"
#include "basic/errors.h"
#include "console/console_state.h"
#include "program/program_main.h"
#include "support/display.h"
#include "tools/dc_pixels.h"
#include "tools/png_file.h"

namespace {

// The screen the headless display pretends to have: exactly the program's screen, so that the
// window's default client area is 640 x 400 as in a window of its own.
constexpr int kVirtualWidth = kScreenWidth;
constexpr int kVirtualHeight = kScreenHeight;

bool StartHeadlessConsole() {
  if (!SupportUseHeadlessDisplay(kVirtualWidth, kVirtualHeight)) return false;
  ConsoleStartup();
  return true;
}

// Error messages of the session: on the screen, as the family shows them, and on standard error.
struct MessageSink {
  ConsoleScreen* screen;
  std::string pending;
};

ssize_t WriteMessages(void* cookie, const char* data, size_t size) {
  auto* sink = static_cast<MessageSink*>(cookie);
  std::fwrite(data, 1, size, stderr);
  std::fflush(stderr);
  sink->pending.append(data, size);
  size_t end;
  while ((end = sink->pending.find('\n')) != std::string::npos) {
    sink->screen->ShowMessage(std::string_view(sink->pending).substr(0, end));
    sink->pending.erase(0, end + 1);
  }
  return static_cast<ssize_t>(size);
}

std::FILE* OpenMessages(MessageSink& sink) {
  cookie_io_functions_t functions = {};
  functions.write = WriteMessages;
  std::FILE* file = fopencookie(&sink, "w", functions);
  if (file) setvbuf(file, nullptr, _IOLBF, 0);
  return file ? file : stderr;
}

// The window's client area becomes the program's screen.
void FitWindow() {
  RECT frame = {0, 0, kScreenWidth, kScreenHeight};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CLIENTEDGE);
  SetWindowPos(console.consoleWindow, HWND_TOP, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SessionEnd RunSession(Session& session, const char* path, const std::string& text, std::FILE* messages) {
  if (!path) return session.DirectMode();
  int error;
  int32_t line;
  if (!session.Load(text, error, line)) {
    if (line != kDirectLine)
      std::fprintf(messages, "%s in %d\n", ErrorMessage(error), line);
    else
      std::fprintf(messages, "%s\n", ErrorMessage(error));
    std::fflush(messages);
    return SessionEnd::Error;
  }
  return session.RunProgram();
}

}  // namespace

void RunWindowMode(const char* path, const std::string& text) {
  ProgramStartup();
  FitWindow();
  GraphicsLayer graphics;
  ConsoleScreen screen(graphics);
  MessageSink sink{&screen, {}};
  std::FILE* messages = OpenMessages(sink);
  Session session(screen, messages);
  const SessionEnd end = RunSession(session, path, text, messages);
  screen.RepaintNow();
  if (end != SessionEnd::Normal && end != SessionEnd::System) console.exitCode.store(1, std::memory_order_release);
  // SYSTEM, in a program or typed (direct mode ends only with it), closes the window.
  if (!path || end == SessionEnd::System) ExitProcess(static_cast<UINT>(console.exitCode.load()));
  // The window keeps the last screen until it is closed, which ends the process.
  Sleep(INFINITE);
  ExitProcess(0);
}

int EndIfConsoleStarted(int code) {
  if (console.readyFlag.load(std::memory_order_acquire) != 0) ExitProcess(static_cast<UINT>(code));
  return code;
}

HeadlessGraphicsScreen::HeadlessGraphicsScreen(std::FILE* out, std::FILE* in, Options options)
    : HeadlessScreen(out, in, options), graphics_(StartHeadlessConsole) {}

void HeadlessGraphicsScreen::Clear() {
  HeadlessScreen::Clear();
  if (graphics_.Started()) graphics_.Clear();
}

bool RunSnapshotMode(const char* path, const std::string& text, HeadlessScreen& mirror, const char* png,
                     SessionEnd& end) {
  if (!StartHeadlessConsole()) {
    std::fprintf(stderr, "tilebasic: the headless display could not be chosen\n");
    end = SessionEnd::Error;
    return false;
  }
  GraphicsLayer graphics;
  ConsoleScreen screen(graphics, &mirror);
  MessageSink sink{&screen, {}};
  std::FILE* messages = OpenMessages(sink);
  Session session(screen, messages);
  end = RunSession(session, path, text, messages);
  screen.Flush();
  screen.RepaintNow();
  // Whatever the window's own thread still has to print and paint is done before we look.
  SupportWaitIdle(console.consoleWindow);
  PixelImage image;
  std::string error;
  if (!ReadClientPixels(console.consoleWindow, &image)) {
    std::fprintf(stderr, "tilebasic: cannot read the window's pixels\n");
    return false;
  }
  if (!WritePngFile(png, image, &error)) {
    std::fprintf(stderr, "tilebasic: %s\n", error.c_str());
    return false;
  }
  return true;
}
