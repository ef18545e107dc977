#include "platform/display/headless_display.h"

#include "platform/display/display_scale.h"
#include "platform/display/pixel_replication.h"

namespace platform::display {

bool HeadlessDisplay::CreateNativeWindow(HWND hwnd, const std::string&, const std::string&, int, int,
                                         DisplaySurface* surface) {
  std::lock_guard<RankedMutex> lock(lock_);
  windows_[hwnd].surface = surface;
  return true;
}

void HeadlessDisplay::DestroyNativeWindow(HWND hwnd) {
  std::lock_guard<RankedMutex> lock(lock_);
  windows_.erase(hwnd);
}

// The caret is kept by USER32 itself; a headless screen has nothing to blink.
void HeadlessDisplay::SetCaret(HWND, const RECT&, bool) {}

void HeadlessDisplay::SetTextInputRect(HWND hwnd, const RECT& rect) {
  std::lock_guard<RankedMutex> lock(lock_);
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  it->second.inputRect = rect;
  it->second.hasInputRect = true;
}

void HeadlessDisplay::SetComposition(HWND hwnd, const OverlayImage& image) {
  std::lock_guard<RankedMutex> lock(lock_);
  auto it = windows_.find(hwnd);
  if (it != windows_.end()) it->second.composition = image;
}

int HeadlessDisplay::ShowMessageBox(HWND owner, const MessageBoxRequest& request) {
  std::lock_guard<RankedMutex> lock(lock_);
  boxes_.push_back(RecordedMessageBox{owner, request});
  return request.returnId;
}

std::vector<RecordedMessageBox> HeadlessDisplay::TakeMessageBoxes() {
  std::lock_guard<RankedMutex> lock(lock_);
  std::vector<RecordedMessageBox> taken;
  taken.swap(boxes_);
  return taken;
}

bool HeadlessDisplay::TextInputRect(HWND hwnd, RECT* rect) {
  std::lock_guard<RankedMutex> lock(lock_);
  auto it = windows_.find(hwnd);
  if (it == windows_.end() || !it->second.hasInputRect) return false;
  *rect = it->second.inputRect;
  return true;
}

OverlayImage HeadlessDisplay::Composition(HWND hwnd) {
  std::lock_guard<RankedMutex> lock(lock_);
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? OverlayImage{} : it->second.composition;
}

WindowFrame HeadlessDisplay::Shown(HWND hwnd) {
  WindowFrame logical;
  Overlay overlay;
  {
    // The GDI lock first, as the lock order has it; the window cannot go while the display's lock is
    // held, nor its surface while the GDI lock is.
    std::lock_guard<RankedMutex> gdi(SurfaceLock());
    std::lock_guard<RankedMutex> lock(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end() || !it->second.surface) return {};
    overlay.composition = it->second.composition;
    logical = CopySurfaceLocked(*it->second.surface);
  }
  DrawOverlay(&logical, overlay);
  WindowFrame shown;
  shown.width = logical.width * scale_;
  shown.height = logical.height * scale_;
  shown.pixels.resize(static_cast<size_t>(shown.width) * shown.height);
  ReplicatePixels(logical.pixels.data(), logical.width, logical.height, scale_, shown.pixels.data(), shown.width,
                  shown.height, shown.width);
  return shown;
}

DisplayBackend* OpenHeadlessDisplay(int width, int height) {
  int scale = 1;
  if (!ChooseDisplayScale(nullptr, &scale)) return nullptr;
  return new HeadlessDisplay(width, height, scale);
}

}  // namespace platform::display
