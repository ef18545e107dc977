// The tile-paint program's entry point, with the main thread's start-up and shutdown.
#include "program/demo.h"
#include "program/program_main.h"

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

int main() { return ProgramMain(); }
