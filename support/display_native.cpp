// The test-support hooks over our own platform layer: they talk to the headless display and to the
// entry points through which a display reports input to USER32.
#include "support/display.h"

#include <chrono>

#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"
#include "platform/imm32/input_context.h"
#include "platform/user32/display_input.h"
#include "platform/user32/user_internal.h"

using namespace platform;

bool SupportUseHeadlessDisplay(int width, int height) { return display::UseHeadlessDisplay(width, height); }

void SupportPressKey(HWND window, int virtualKey, bool ctrl) {
  if (ctrl) user32::DisplayKey(window, VK_CONTROL, true);
  user32::DisplayKey(window, virtualKey, true);
  user32::DisplayKey(window, virtualKey, false);
  if (ctrl) user32::DisplayKey(window, VK_CONTROL, false);
}

void SupportTypeText(HWND window, const char* utf8) { user32::DisplayText(window, utf8 ? utf8 : ""); }

std::vector<SupportMessageBox> SupportTakeMessageBoxes() {
  std::vector<SupportMessageBox> boxes;
  display::Display();  // the headless display exists once it has been chosen and used
  if (auto* headless = display::Headless())
    for (auto& b : headless->TakeMessageBoxes()) boxes.push_back(SupportMessageBox{b.owner, b.text, b.caption, b.type});
  return boxes;
}

SupportCaret SupportGetCaret(HWND window) {
  SupportCaret caret;
  caret.exists = user32::CaretOfWindow(window, &caret.rect, &caret.shown);
  return caret;
}

bool SupportWaitIdle(HWND window, DWORD timeoutMs) {
  std::unique_lock<std::mutex> lock(user32::UserLock());
  user32::Window* w = user32::FindWindowLocked(window);
  if (!w) return false;
  std::shared_ptr<user32::ThreadQueue> queue = w->queue;
  return user32::IdleChanged().wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                        [&] { return !queue->alive || user32::QueueIdleLocked(*queue); });
}

void SupportResizeClient(HWND window, int width, int height) { user32::DisplayResized(window, width, height); }

void SupportSetFocus(HWND window, bool gained) { user32::DisplayFocus(window, gained); }

void SupportCloseWindow(HWND window) { user32::DisplayClose(window); }

SupportInputMethod SupportGetInputMethod(HWND window) {
  imm32::ContextState s = imm32::ContextOf(window);
  SupportInputMethod im;
  im.placed = s.placed;
  im.point = s.form.ptCurrentPos;
  im.hasFont = s.hasFont;
  im.font = s.font;
  if (auto* headless = display::Headless()) headless->TextInputRect(window, &im.textInputRect);
  return im;
}
