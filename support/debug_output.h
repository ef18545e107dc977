// Hook for tests that Win32 does not have: what the process wrote with OutputDebugStringA. One
// implementation per stack.
#pragma once

#include <string>

// Starts capturing the text given to OutputDebugStringA by every thread, dropping anything captured
// before. The text still goes wherever it goes without a capture.
void SupportStartDebugCapture();

// The text captured since the start or the last take, as the bytes given (CP932), in order;
// capturing goes on.
std::string SupportTakeDebugOutput();

// Ends the capture; what was captured and not yet taken is dropped.
void SupportStopDebugCapture();
