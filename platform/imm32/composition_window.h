// Inside the platform layer only: the composition window, drawn as Windows draws its default one —
// the string being composed in the composition font, black on white and underlined, the clause being
// converted white on the selection colour, the cursor a bar two pixels wide.
#pragma once

#include <string>

#include "platform/display/window_frame.h"
#include "platform/imm32/imm32.h"

namespace platform::imm32 {

struct CompositionText {
  std::string utf8;        // empty: nothing is composed
  int cursor = -1;         // in characters; -1: not shown
  int selectionStart = 0;  // the clause being converted, in characters
  int selectionLength = 0;
};

// The composition drawn with GDI in `font` (the system's 16-pixel font when null), placed at `at`, and
// clipped to the window's client area [0, clip.cx) x [0, clip.cy) before anything is allocated: the
// image holds the visible part only (its `at` moves with a left or top edge clipped away). Empty
// when nothing is composed, nothing of it is visible, or it cannot be drawn.
display::OverlayImage DrawComposition(const CompositionText& text, const LOGFONTA* font, POINT at, SIZE clip);

}  // namespace platform::imm32
