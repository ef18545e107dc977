// Inside the platform layer only: work that must happen when the process ends through ExitProcess,
// such as closing the display's window.
#pragma once

// Registers a hook that ExitProcess runs after flushing stdio and before the process ends, on the
// thread that called ExitProcess while other threads may still be running. Hooks run in the reverse
// order of registration, each once; a hook that calls ExitProcess itself ends the process at once.
void KernelAtExitProcess(void (*hook)());
