// Inside the platform layer only: a modal message box through SDL.
#pragma once

#include "platform/display/message_box_request.h"

namespace platform::display {

// Shows the box on the calling thread (SDL runs it with a connection of its own to the X server) and
// returns the id of the button pressed: the Escape button's (else the Return button's) when the box
// was closed without one, 0 when it could not be shown.
int ShowSdlMessageBox(const MessageBoxRequest& request);

}  // namespace platform::display
