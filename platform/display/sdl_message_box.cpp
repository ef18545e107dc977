#include "platform/display/sdl_message_box.h"

#include <SDL.h>

#include <vector>

#include "platform/kernel32/cp932.h"

namespace platform::display {

int ShowSdlMessageBox(const MessageBoxRequest& request) {
  const std::string text = Cp932ToUtf8(request.text), caption = Cp932ToUtf8(request.caption);
  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  if (request.icon == MessageBoxIcon::kError) flags = SDL_MESSAGEBOX_ERROR;
  if (request.icon == MessageBoxIcon::kWarning) flags = SDL_MESSAGEBOX_WARNING;
  std::vector<SDL_MessageBoxButtonData> buttons;
  for (const MessageBoxButton& b : request.buttons) {
    Uint32 keys = 0;
    if (b.id == request.returnId) keys |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (b.id == request.escapeId) keys |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    buttons.push_back(SDL_MessageBoxButtonData{keys, b.id, b.label.c_str()});
  }
  SDL_MessageBoxData data{flags, nullptr, caption.c_str(), text.c_str(), static_cast<int>(buttons.size()),
                          buttons.data(), nullptr};
  int pressed = 0;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) return 0;
  if (pressed > 0) return pressed;
  return request.escapeId ? request.escapeId : request.returnId;  // closed without a button
}

}  // namespace platform::display
