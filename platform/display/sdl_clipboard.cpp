// The clipboard on the SDL display: CF_TEXT in CP932 to and from the system's UTF-8 text, and which
// text is new (another program's) rather than what this process put there or took already.
#include "platform/display/sdl_display.h"

#include "platform/display/cp932_codec.h"

namespace platform::display {

void SdlDisplay::SetClipboardText(const std::string& cp932) {
  std::string utf8 = ClipboardTextToSystem(cp932);
  {
    std::lock_guard<RankedMutex> lock(lock_);
    lastClipboard_ = utf8;
  }
  Execute([utf8] { SDL_SetClipboardText(utf8.c_str()); }, false);
}

  // New text on the system clipboard (see DisplayBackend), taken or only looked at.
bool SdlDisplay::SystemClipboardText(std::string* cp932, bool take) {
  std::string utf8;
  Execute(
      [&] {
        if (!SDL_HasClipboardText()) return;
        char* text = SDL_GetClipboardText();
        if (text) utf8 = text;
        SDL_free(text);
      },
      true);
  std::lock_guard<RankedMutex> lock(lock_);
  if (utf8.empty() || utf8 == lastClipboard_) return false;
  if (take) lastClipboard_ = utf8;
  if (cp932) *cp932 = ClipboardTextFromSystem(utf8);
  return true;
}

}  // namespace platform::display
