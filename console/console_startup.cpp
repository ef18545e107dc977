// Bringing the runtime and the console up on the main thread (the first steps of ProgramMain, shared
// with every program and tool that needs the console window).
#include "console/console_state.h"
#include "console/console_window.h"
#include "program/program_main.h"

TrackedString stringSlots[kStringSlots];

void ProgramStartup() {
  // Nothing may use the runtime heap before the store knows it: the interface thread allocates its
  // rows from it.
  StrInit();
  for (int i = 0; i < kStringSlots; ++i) stringSlots[i] = StrNew(0);
  console.inputLength.store(-1, std::memory_order_relaxed);
  console.readyFlag.store(0, std::memory_order_relaxed);
  HANDLE thread = CreateThread(nullptr, 0, GuiThreadMain, nullptr, 0, &console.guiThreadId);
  if (thread) CloseHandle(thread);
  do {
    Sleep(20);
  } while (console.readyFlag.load(std::memory_order_acquire) == 0);
}
