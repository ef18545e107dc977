// Inside the platform layer only: what a window's input context holds, for the test-support hooks.
#pragma once

#include <cstddef>

#include "platform/imm32/composition_window.h"
#include "platform/imm32/imm32.h"

namespace platform::imm32 {

struct ContextState {
  bool placed = false;  // a composition window was set
  COMPOSITIONFORM form = {};
  bool hasFont = false;
  LOGFONTA font = {};
  CompositionText composing;  // what the input method is composing for the window
  unsigned changes = 0;       // counts the changes to what the composition window shows
};

// The state of the input context of `hwnd` (all false when none was ever set).
ContextState ContextOf(HWND hwnd);

// Called by USER32 as a window goes: its context handle becomes invalid and its state is dropped.
void DropContext(HWND hwnd);

// How many windows have context state: for the tests, which check that it goes with the windows.
size_t ContextCount();

}  // namespace platform::imm32
