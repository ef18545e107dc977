// The SDL display's command queue: work that other threads hand to the display thread, which wakes
// from its wait for events to run it.
#include "platform/display/sdl_display.h"

namespace platform::display {

  // Runs `work` on the display thread; waits for it when asked (never from the display thread).
void SdlDisplay::Execute(std::function<void()> work, bool wait) {
  if (std::this_thread::get_id() == displayThreadId_) {
    work();
    return;
  }
  auto done = std::make_shared<bool>(false);
  {
    std::lock_guard<RankedMutex> lock(lock_);
    commands_.push_back([work = std::move(work), done, this] {
      work();
      std::lock_guard<RankedMutex> l(lock_);
      *done = true;
      commandDone_.notify_all();
    });
  }
  Wake();
  if (!wait) return;
  CheckMayWaitOnDisplay("a command on the display thread");
  std::unique_lock<RankedMutex> lock(lock_);
  commandDone_.wait(lock, [&] { return *done; });
}

void SdlDisplay::Wake() {
  if (wakePending_.exchange(true)) return;
  SDL_Event e{};
  e.type = wakeEvent_;
  SDL_PushEvent(&e);
}

void SdlDisplay::RunCommands() {
  for (;;) {
    std::function<void()> command;
    {
      std::lock_guard<RankedMutex> lock(lock_);
      if (commands_.empty()) return;
      command = std::move(commands_.front());
      commands_.pop_front();
    }
    command();
  }
}

}  // namespace platform::display
