// Inside the platform layer only: text between the display (UTF-8, LF line ends) and the program
// (code page 932, CR LF line ends), through iconv "CP932".
#pragma once

#include <string>

namespace platform::display {

// Characters that the other side cannot represent become '?'.
std::string Utf8ToCp932(const std::string& utf8);
std::string Cp932ToUtf8(const std::string& cp932);

// Clipboard text: CR LF becomes LF on the way out and every LF (or lone CR) becomes CR LF on the way in.
std::string ClipboardTextToSystem(const std::string& cp932);
std::string ClipboardTextFromSystem(const std::string& utf8);

}  // namespace platform::display
