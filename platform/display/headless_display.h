// Inside the platform layer only: the headless display, a virtual screen in memory. Windows have no
// native counterpart; input comes from the test-support hooks; a message box is recorded and answered
// at once with its Return button. What a window would show on screen can be looked at (Shown), at the
// scale that TILEPAINT_SCALE gives (1 when it is not set).
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
  // A physical screen of width x height shown at `scale`.
  HeadlessDisplay(int width, int height, int scale) : width_(width), height_(height), scale_(scale) {}

  int ScreenWidth() const override { return width_ / scale_; }
  int ScreenHeight() const override { return height_ / scale_; }
  int Scale() const override { return scale_; }
  bool CreateNativeWindow(HWND hwnd, const std::string&, const std::string&, int, int,
                          DisplaySurface* surface) override;
  void DestroyNativeWindow(HWND hwnd) override;
  void ShowNativeWindow(HWND, bool) override {}
  void SetClientSize(HWND, int, int) override {}
  void SurfaceChanged(DisplaySurface*) override {}
  void SetCaret(HWND hwnd, const RECT& rect, bool shown) override;
  void SetTextInputRect(HWND hwnd, const RECT& rect) override;
  void SetComposition(HWND hwnd, const OverlayImage& image) override;
  void SetClipboardText(const std::string&) override {}
  bool GetClipboardText(std::string*) override { return false; }
  bool HasClipboardText() override { return false; }
  int ShowMessageBox(HWND owner, const MessageBoxRequest& request) override;

  std::vector<RecordedMessageBox> TakeMessageBoxes();
  bool TextInputRect(HWND hwnd, RECT* rect);
  // The composition window over `hwnd` (empty pixels when none is shown).
  OverlayImage Composition(HWND hwnd);
  // The window as a screen would show it: its frame with the composition over it (the caret, which
  // USER32 keeps, is left out), enlarged to the scale. Empty when the window is unknown.
  WindowFrame Shown(HWND hwnd);

 private:
  struct Window {
    DisplaySurface* surface = nullptr;
    RECT inputRect = {0, 0, 0, 0};
    bool hasInputRect = false;
    OverlayImage composition;
  };

  const int width_;
  const int height_;
  const int scale_;
  RankedMutex lock_{LockRank::kBackend};
  std::vector<RecordedMessageBox> boxes_;
  std::map<HWND, Window> windows_;
};

}  // namespace platform::display
