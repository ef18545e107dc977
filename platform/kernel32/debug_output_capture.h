// Inside the platform layer only: a copy of everything OutputDebugStringA writes, for the test
// support layer (support/debug_output.h).
#pragma once

#include <string>

namespace platform {

// While capturing, OutputDebugStringA also appends its text (CP932, as given) to the capture.
// Starting drops whatever was captured before.
void DebugOutputStartCapture();
void DebugOutputStopCapture();
// What was captured since the start or the last take; capturing goes on.
std::string DebugOutputTakeCapture();

}  // namespace platform
