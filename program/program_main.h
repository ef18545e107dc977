// Start-up and shutdown of the program: the runtime, the 32 string slots and the console window
// come up on the main thread before the demonstration runs.
#pragma once

#include "runtime/strings.h"

constexpr int kStringSlots = 32;
extern TrackedString stringSlots[kStringSlots];

// Steps 1-5 of start-up: the string store, the string slots, no line request, the interface thread,
// and the wait (20 ms polls) for the window's first paint. The window is usable when it returns.
void ProgramStartup();
// Steps 3-5 alone, for a program whose string store is already running: the console window is usable
// when it returns.
void ConsoleStartup();

// The entry point: start-up, the demonstration, then the main thread parks; the process ends when
// the window is closed.
int ProgramMain();
void ProgramCleanup();
[[noreturn]] void ProgramEnd();
