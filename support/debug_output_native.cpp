// The debug-output hook on our own platform layer, which keeps the capture itself.
#include "support/debug_output.h"

#include "platform/kernel32/debug_output_capture.h"

void SupportStartDebugCapture() { platform::DebugOutputStartCapture(); }

std::string SupportTakeDebugOutput() { return platform::DebugOutputTakeCapture(); }

void SupportStopDebugCapture() {
  platform::DebugOutputStopCapture();
  platform::DebugOutputTakeCapture();
}
