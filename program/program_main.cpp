// Start-up and shutdown on the main thread. ProgramStartup is shared with every program and tool that
// needs the console window.
#include "program/program_main.h"

#include "console/console_state.h"
#include "console/console_window.h"
#include "program/demo.h"

TrackedString stringSlots[kStringSlots];

void ProgramStartup() {
  // Nothing may use the runtime heap before the store knows it: the interface thread allocates its
  // rows from it.
  StrInit();
  for (int i = 0; i < kStringSlots; ++i) stringSlots[i] = StrNew(0);
  ConsoleStartup();
}

void ConsoleStartup() {
  console.inputLength.store(-1, std::memory_order_relaxed);
  console.readyFlag.store(0, std::memory_order_relaxed);
  HANDLE thread = CreateThread(nullptr, 0, GuiThreadMain, nullptr, 0, &console.guiThreadId);
  if (thread) CloseHandle(thread);
  do {
    Sleep(20);
  } while (console.readyFlag.load(std::memory_order_acquire) == 0);
}

void ProgramCleanup() {
  for (int i = 0; i < kStringSlots; ++i) StrRelease(stringSlots[i]);
  DemoTeardown();
}

void ProgramEnd() {
  ProgramCleanup();
  ExitProcess(0);
}

int ProgramMain() {
  ProgramStartup();
  RunDemo();
  // The process ends on the interface thread when the window is closed; the main thread only parks.
  Sleep(INFINITE);
  ProgramEnd();
  ProgramCleanup();
  return 0;
}
