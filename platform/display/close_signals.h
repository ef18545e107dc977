// Inside the platform layer only: SIGINT (Ctrl+C in a terminal), SIGTERM and SIGHUP close a program
// with windows as its close button would.
#pragma once

namespace platform::display {

// Installs the handlers (once; later calls change nothing). At the first of those signals `close`
// runs on a thread of its own; a second signal while the program closes ends the process at once,
// by the signal's default action.
void CloseOnSignals(void (*close)());

}  // namespace platform::display
