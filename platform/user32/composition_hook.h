// Inside the platform layer only: how what the input method composes reaches the one who draws it.
//
// The display reports the composition to USER32 (see DisplayEvents::Composition); USER32 passes it
// on for the window with the keyboard focus to the composer that IMM32 installs, which draws the
// composition window. Until one is installed a composition is not shown. The composer is called on
// the display's thread with no platform lock held, and must not wait for the display.
#pragma once

#include <string>

#include "platform/win32_types.h"

namespace platform::user32 {

// `utf8` is the whole string being composed (empty: the composition ended), `cursor` the cursor in
// characters (-1: none shown), and the clause being converted `selectionLength` characters from
// `selectionStart` (0: none).
using Composer = void (*)(HWND focus, const std::string& utf8, int cursor, int selectionStart, int selectionLength);

void InstallComposer(Composer composer);

}  // namespace platform::user32
