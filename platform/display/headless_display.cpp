#include "platform/display/headless_display.h"

namespace platform::display {

void HeadlessDisplay::DestroyNativeWindow(HWND hwnd) {
  std::lock_guard<std::mutex> lock(lock_);
  inputRects_.erase(hwnd);
}

// The caret is kept by USER32 itself; a headless screen has nothing to blink.
void HeadlessDisplay::SetCaret(HWND, const RECT&, bool) {}

void HeadlessDisplay::SetTextInputRect(HWND hwnd, const RECT& rect) {
  std::lock_guard<std::mutex> lock(lock_);
  inputRects_[hwnd] = rect;
}

int HeadlessDisplay::ShowMessageBox(HWND owner, const MessageBoxRequest& request) {
  std::lock_guard<std::mutex> lock(lock_);
  boxes_.push_back(RecordedMessageBox{owner, request});
  return request.returnId;
}

std::vector<RecordedMessageBox> HeadlessDisplay::TakeMessageBoxes() {
  std::lock_guard<std::mutex> lock(lock_);
  std::vector<RecordedMessageBox> taken;
  taken.swap(boxes_);
  return taken;
}

bool HeadlessDisplay::TextInputRect(HWND hwnd, RECT* rect) {
  std::lock_guard<std::mutex> lock(lock_);
  auto it = inputRects_.find(hwnd);
  if (it == inputRects_.end()) return false;
  *rect = it->second;
  return true;
}

DisplayBackend* OpenHeadlessDisplay(int width, int height) { return new HeadlessDisplay(width, height); }

}  // namespace platform::display
