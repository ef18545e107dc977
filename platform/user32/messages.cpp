// Message queues: posting, sending (directly on the owner thread, or handed to it and waited for),
// retrieving with WM_PAINT generated when nothing else is queued, translating key presses.
#include "platform/kernel32/kernel32.h"
#include "platform/user32/user_internal.h"

namespace platform::user32 {
namespace {

bool MatchesFilter(const MSG& m, HWND filter, UINT first, UINT last) {
  if (filter == reinterpret_cast<HWND>(-1)) {
    if (m.hwnd != nullptr) return false;
  } else if (filter != nullptr && m.hwnd != filter) {
    return false;
  }
  if (first == 0 && last == 0) return true;
  return m.message >= first && m.message <= last;
}

// Runs the oldest work sent to `q`, with the lock released while it runs. False when there is none.
bool RunSentLocked(ThreadQueue& q, UserUniqueLock& lock) {
  if (q.sent.empty()) return false;
  std::shared_ptr<SentWork> work = q.sent.front();
  q.sent.pop_front();
  lock.unlock();
  LRESULT result = work->run();
  lock.lock();
  work->result = result;
  work->done = true;
  if (auto reply = work->replyTo.lock()) reply->wake.notify_all();
  return true;
}

void TrackKeyState(ThreadQueue& q, const MSG& m) {
  if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) q.keyState[m.wParam & 0xFF] = 0x80;
  if (m.message == WM_KEYUP || m.message == WM_SYSKEYUP) q.keyState[m.wParam & 0xFF] = 0;
}

// Finds the next message for the caller: posted ones first, then WM_QUIT, then WM_PAINT for a window
// with an update region. WM_PAINT stays due until the window validates itself.
bool FindMessageLocked(ThreadQueue& q, MSG* out, HWND filter, UINT first, UINT last, bool remove) {
  for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
    if (!MatchesFilter(*it, filter, first, last)) continue;
    *out = *it;
    if (remove) {
      q.posted.erase(it);
      TrackKeyState(q, *out);
    }
    return true;
  }
  if (q.quitPosted) {
    *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, MessageTime(), {0, 0}};
    if (remove) q.quitPosted = false;
    return true;
  }
  if (first == 0 && last == 0 ? true : (WM_PAINT >= first && WM_PAINT <= last)) {
    for (auto& w : AllWindowsLocked()) {
      if (w->queue.get() != &q || !NeedsPaintLocked(*w)) continue;
      if (filter != nullptr && filter != w->handle) continue;
      *out = MSG{w->handle, WM_PAINT, 0, 0, MessageTime(), {0, 0}};
      return true;
    }
  }
  return false;
}

}  // namespace

std::condition_variable_any& IdleChanged() {
  static auto* cv = new std::condition_variable_any();
  return *cv;
}

bool QueueIdleLocked(const ThreadQueue& q) {
  if (!q.idle || !q.posted.empty() || !q.sent.empty() || q.quitPosted) return false;
  for (auto& w : AllWindowsLocked())
    if (w->queue.get() == &q && NeedsPaintLocked(*w)) return false;
  return true;
}

bool PostLocked(Window& w, UINT msg, WPARAM wParam, LPARAM lParam, bool front) {
  if (!w.queue->alive) return false;
  MSG m{w.handle, msg, wParam, lParam, MessageTime(), {0, 0}};
  if (front)
    w.queue->posted.push_front(m);
  else
    w.queue->posted.push_back(m);
  w.queue->wake.notify_all();
  return true;
}

LRESULT RunOnOwner(const std::shared_ptr<ThreadQueue>& queue, std::function<LRESULT()> work, bool wait) {
  std::shared_ptr<ThreadQueue> self = CurrentQueue();
  if (queue == self) return work();
  auto item = std::make_shared<SentWork>();
  item->run = std::move(work);
  item->waited = wait;
  item->replyTo = self;
  UserUniqueLock lock(UserLock());
  if (!queue->alive) return 0;
  queue->sent.push_back(item);
  queue->wake.notify_all();
  if (!wait) return 0;
  // While waiting, work sent to this thread runs here, so two threads sending to each other do not
  // deadlock.
  while (!item->done) {
    if (RunSentLocked(*self, lock)) continue;
    self->wake.wait(lock);
  }
  return item->result;
}

LRESULT CallWindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc;
  {
    UserGuard lock(UserLock());
    Window* w = FindWindowLocked(hwnd);
    if (!w) return 0;
    proc = w->proc;
  }
  return proc(hwnd, msg, wParam, lParam);
}

}  // namespace platform::user32

using namespace platform::user32;

BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  UserUniqueLock lock(UserLock());
  if (hWnd != nullptr && hWnd != reinterpret_cast<HWND>(-1) && !FindWindowLocked(hWnd)) {
    lock.unlock();
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  for (;;) {
    if (RunSentLocked(*q, lock)) continue;
    if (FindMessageLocked(*q, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
      q->idle = false;
      return lpMsg->message == WM_QUIT ? FALSE : TRUE;
    }
    // Nothing to do: sleep until something is posted, sent or invalidated.
    q->idle = true;
    IdleChanged().notify_all();
    q->wake.wait(lock);
    q->idle = false;
  }
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  UserUniqueLock lock(UserLock());
  while (RunSentLocked(*q, lock)) {
  }
  return FindMessageLocked(*q, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0);
}

BOOL TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg) return FALSE;
  UINT m = lpMsg->message;
  if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return FALSE;
  if (m != WM_KEYDOWN) return TRUE;
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  UserGuard lock(UserLock());
  bool ctrl = (q->keyState[VK_CONTROL] & 0x80) != 0;
  int vk = static_cast<int>(lpMsg->wParam & 0xFF);
  int ch = -1;
  // Printable characters come from the display's text input; only control characters are made here.
  switch (vk) {
    case VK_BACK: ch = ctrl ? 0x7F : 0x08; break;
    case VK_TAB: ch = ctrl ? -1 : 0x09; break;
    case VK_RETURN: ch = ctrl ? 0x0A : 0x0D; break;
    case VK_ESCAPE: ch = 0x1B; break;
    default:
      if (ctrl && vk >= 'A' && vk <= 'Z') ch = vk - 'A' + 1;
  }
  if (ch < 0) return TRUE;
  Window* w = FindWindowLocked(lpMsg->hwnd);
  if (w) PostLocked(*w, WM_CHAR, static_cast<WPARAM>(ch), lpMsg->lParam, true);
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg || !lpMsg->hwnd) return 0;
  {
    UserGuard lock(UserLock());
    Window* w = FindWindowLocked(lpMsg->hwnd);
    if (!w || w->queue != CurrentQueue()) return 0;
  }
  return CallWindowProcedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<ThreadQueue> self = hWnd ? nullptr : CurrentQueue();
  UserGuard lock(UserLock());
  if (!hWnd) {  // a thread message for the calling thread
    self->posted.push_back(MSG{nullptr, Msg, wParam, lParam, MessageTime(), {0, 0}});
    self->wake.notify_all();
    return TRUE;
  }
  Window* w = CheckedWindowLocked(hWnd);
  if (!w) return FALSE;
  return PostLocked(*w, Msg, wParam, lParam) ? TRUE : FALSE;
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<ThreadQueue> owner;
  {
    UserGuard lock(UserLock());
    Window* w = CheckedWindowLocked(hWnd);
    if (!w) return 0;
    owner = w->queue;
  }
  return RunOnOwner(owner, [=] { return CallWindowProcedure(hWnd, Msg, wParam, lParam); }, true);
}

void PostQuitMessage(int nExitCode) {
  std::shared_ptr<ThreadQueue> q = CurrentQueue();
  UserGuard lock(UserLock());
  q->quitPosted = true;
  q->quitCode = nExitCode;
  q->wake.notify_all();
}
