// Inside the platform layer only: text between the display (UTF-8, LF line ends) and the program
// (code page 932, CR LF line ends). The code page itself is converted by platform/kernel32/cp932.h.
#pragma once

#include <string>

#include "platform/kernel32/cp932.h"

namespace platform::display {

// Clipboard text: CR LF becomes LF on the way out and every LF (or lone CR) becomes CR LF on the way in.
std::string ClipboardTextToSystem(const std::string& cp932);
std::string ClipboardTextFromSystem(const std::string& utf8);

}  // namespace platform::display
