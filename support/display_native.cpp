// The test-support hooks over our own platform layer: they talk to the headless display, and inject
// input through the sink through which a display reports it to USER32, so it enters where real
// input does.
#include "support/display.h"

#include <chrono>

#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"
#include "platform/imm32/input_context.h"
#include "platform/user32/user_internal.h"

using namespace platform;

bool SupportUseHeadlessDisplay(int width, int height) { return display::UseHeadlessDisplay(width, height); }

namespace {
display::DisplayEvents& Events() { return user32::DisplayEventSink(); }
}  // namespace

void SupportPressKey(HWND window, int virtualKey, bool ctrl) {
  if (ctrl) Events().Key(window, VK_CONTROL, true);
  Events().Key(window, virtualKey, true);
  Events().Key(window, virtualKey, false);
  if (ctrl) Events().Key(window, VK_CONTROL, false);
}

void SupportTypeText(HWND window, const char* utf8) { Events().Text(window, utf8 ? utf8 : ""); }

namespace {

// The MB_* style that asks for a request like this one (the display knows no style bits).
UINT StyleOf(const display::MessageBoxRequest& r) {
  using display::MessageBoxIcon;
  UINT style = r.icon == MessageBoxIcon::kError         ? MB_ICONERROR
               : r.icon == MessageBoxIcon::kWarning     ? MB_ICONWARNING
               : r.icon == MessageBoxIcon::kInformation ? MB_ICONINFORMATION
                                                        : 0;
  if (r.returnId == IDYES) style |= MB_YESNO;
  if (r.escapeId == IDCANCEL) style |= MB_OKCANCEL;
  return style;
}

}  // namespace

std::vector<SupportMessageBox> SupportTakeMessageBoxes() {
  std::vector<SupportMessageBox> boxes;
  user32::Display();  // the headless display exists once it has been chosen and used
  if (auto* headless = display::Headless())
    for (auto& b : headless->TakeMessageBoxes())
      boxes.push_back(SupportMessageBox{b.owner, b.request.text, b.request.caption, StyleOf(b.request)});
  return boxes;
}

SupportCaret SupportGetCaret(HWND window) {
  SupportCaret caret;
  caret.exists = user32::CaretOfWindow(window, &caret.rect, &caret.shown);
  return caret;
}

bool SupportWaitIdle(HWND window, DWORD timeoutMs) {
  user32::UserUniqueLock lock(user32::UserLock());
  user32::Window* w = user32::FindWindowLocked(window);
  if (!w) return false;
  std::shared_ptr<user32::ThreadQueue> queue = w->queue;
  return user32::IdleChanged().wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                        [&] { return !queue->alive || user32::QueueIdleLocked(*queue); });
}

void SupportResizeClient(HWND window, int width, int height) { Events().Resized(window, width, height); }

void SupportSetFocus(HWND window, bool gained) { Events().Focus(window, gained); }

void SupportCloseWindow(HWND window) { Events().Close(window); }

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
