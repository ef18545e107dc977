// OutputDebugStringA: there is no debugger to receive the text, so it goes to stderr as UTF-8, and to
// the capture when one runs.
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/kernel32/cp932.h"
#include "platform/kernel32/debug_output_capture.h"
#include "platform/kernel32/kernel32.h"

namespace platform {
namespace {

struct Capture {
  std::mutex mutex;
  bool active = false;
  std::string text;
};

Capture& TheCapture() {
  static auto* capture = new Capture;
  return *capture;
}

}  // namespace

void DebugOutputStartCapture() {
  Capture& capture = TheCapture();
  std::lock_guard<std::mutex> lock(capture.mutex);
  capture.active = true;
  capture.text.clear();
}

void DebugOutputStopCapture() {
  Capture& capture = TheCapture();
  std::lock_guard<std::mutex> lock(capture.mutex);
  capture.active = false;
}

std::string DebugOutputTakeCapture() {
  Capture& capture = TheCapture();
  std::lock_guard<std::mutex> lock(capture.mutex);
  std::string taken;
  taken.swap(capture.text);
  return taken;
}

}  // namespace platform

void OutputDebugStringA(LPCSTR lpOutputString) {
  if (!lpOutputString) return;
  size_t length = std::strlen(lpOutputString);
  std::string utf8 = platform::Cp932ToUtf8(lpOutputString, length);
  platform::Capture& capture = platform::TheCapture();
  // One lock for both, so that captured and printed messages keep the same order.
  std::lock_guard<std::mutex> lock(capture.mutex);
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
  if (capture.active) capture.text.append(lpOutputString, length);
}
