// The one display of the process: chosen before first use, then opened once and kept until exit.
#include <atomic>
#include <mutex>

#include "platform/display/display_backend.h"
#include "platform/display/headless_display.h"

namespace platform::display {
namespace {

struct Choice {
  RankedMutex lock{LockRank::kDisplayChoice};  // held while the display opens: the outermost lock
  bool opened = false;
  bool headless = false;
  int width = 1024;
  int height = 768;
  DisplayBackend* display = nullptr;
  std::atomic<DisplayBackend*> open{nullptr};  // set once the display is open: no lock on the way
};

Choice& TheChoice() {
  static auto* choice = new Choice();
  return *choice;
}

}  // namespace

DisplayBackend* OpenDisplay(DisplayEvents* events) {
  Choice& c = TheChoice();
  // Once open, the display is found without a lock.
  if (DisplayBackend* open = c.open.load(std::memory_order_acquire)) return open;
  std::lock_guard<RankedMutex> lock(c.lock);
  if (!c.opened) {
    c.opened = true;
    c.display = c.headless ? OpenHeadlessDisplay(c.width, c.height) : OpenSdlDisplay(events);
    c.open.store(c.display, std::memory_order_release);
  }
  return c.display;
}

DisplayBackend* OpenedDisplay() { return TheChoice().open.load(std::memory_order_acquire); }

bool UseHeadlessDisplay(int width, int height) {
  Choice& c = TheChoice();
  std::lock_guard<RankedMutex> lock(c.lock);
  if (c.opened) return c.headless && c.width == width && c.height == height;
  if (width <= 0 || height <= 0) return false;
  c.headless = true;
  c.width = width;
  c.height = height;
  return true;
}

// Once the display is open the choice never changes again, so it is read without the lock (a test
// hook may ask while it holds a platform lock).
HeadlessDisplay* Headless() {
  Choice& c = TheChoice();
  if (DisplayBackend* open = c.open.load(std::memory_order_acquire))
    return c.headless ? static_cast<HeadlessDisplay*>(open) : nullptr;
  std::lock_guard<RankedMutex> lock(c.lock);
  return c.headless ? static_cast<HeadlessDisplay*>(c.display) : nullptr;
}

}  // namespace platform::display
