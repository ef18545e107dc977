// Inside the platform layer only: a modal message box as the display shows it, without USER32's
// style bits: the icon, the buttons with the ids they answer, and which of them Return and Escape
// press.
#pragma once

#include <string>
#include <vector>

namespace platform::display {

enum class MessageBoxIcon { kNone, kInformation, kWarning, kError };

struct MessageBoxButton {
  int id;
  std::string label;
};

struct MessageBoxRequest {
  std::string text;     // CP932
  std::string caption;  // CP932
  MessageBoxIcon icon = MessageBoxIcon::kNone;
  std::vector<MessageBoxButton> buttons;  // left to right
  int returnId = 0;  // the button Return presses (and the answer when the box is closed otherwise)
  int escapeId = 0;  // the button Escape presses; 0 for none
};

}  // namespace platform::display
