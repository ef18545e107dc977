// Inside the platform layer only: the headless display, a virtual screen in memory. Windows have no
// native counterpart; input comes from the test-support hooks; a message box is recorded and answered
// at once with its Return button.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "platform/display/display_backend.h"

namespace platform::display {

struct RecordedMessageBox {
  HWND owner;
  MessageBoxRequest request;
};

struct CaretView {
  RECT rect = {0, 0, 0, 0};
  bool shown = false;
};

class HeadlessDisplay : public DisplayBackend {
 public:
  HeadlessDisplay(int width, int height) : width_(width), height_(height) {}

  int ScreenWidth() const override { return width_; }
  int ScreenHeight() const override { return height_; }
  bool CreateNativeWindow(HWND, const std::string&, const std::string&, int, int, DisplaySurface*) override {
    return true;
  }
  void DestroyNativeWindow(HWND hwnd) override;
  void ShowNativeWindow(HWND, bool) override {}
  void SetClientSize(HWND, int, int) override {}
  void SurfaceChanged(DisplaySurface*) override {}
  void SetCaret(HWND hwnd, const RECT& rect, bool shown) override;
  void SetTextInputRect(HWND hwnd, const RECT& rect) override;
  void SetClipboardText(const std::string&) override {}
  bool GetClipboardText(std::string*) override { return false; }
  int ShowMessageBox(HWND owner, const MessageBoxRequest& request) override;

  std::vector<RecordedMessageBox> TakeMessageBoxes();
  bool TextInputRect(HWND hwnd, RECT* rect);

 private:
  int width_;
  int height_;
  std::mutex lock_;
  std::vector<RecordedMessageBox> boxes_;
  std::map<HWND, RECT> inputRects_;
};

}  // namespace platform::display
