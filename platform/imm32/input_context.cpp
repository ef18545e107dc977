// IMM32: every window has an input context (the display's text input is always there). The
// composition window places the display's text-input rectangle; the composition font is recorded and
// gives that rectangle its height. What the input method composes is drawn at the composition
// window's point in the composition font (see composition_window.h) and handed to the display, which
// shows it over the window.
#include "platform/imm32/input_context.h"

#include <map>
#include <mutex>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/handle_table.h"
#include "platform/kernel32/kernel32.h"
#include "platform/saturating.h"
#include "platform/user32/composition_hook.h"
#include "platform/user32/user32.h"

namespace platform::imm32 {
namespace {

// Context handles are a kind of their own: a table of contexts, each naming its window, tagged with
// bit 31 (so a context handle is never a window's value). A window's context goes with the window.
using ContextTable = HandleTable<HWND, 16, 0x80000000u>;

struct Context {
  uint32_t handle = 0;  // 0 until ImmGetContext hands one out
  ContextState state;
};

struct Contexts {
  RankedMutex lock{LockRank::kImm};
  std::map<HWND, Context> byWindow;
  ContextTable handles;
};

Contexts& TheContexts() {
  static auto* contexts = new Contexts();
  return *contexts;
}
RankedMutex& ContextLock() { return TheContexts().lock; }
ContextState& StateLocked(HWND hwnd) { return TheContexts().byWindow[hwnd].state; }
// The state behind a context handle that was valid a moment ago; null once its window has gone.
ContextState* LiveStateLocked(HWND hwnd) {
  auto it = TheContexts().byWindow.find(hwnd);
  return it == TheContexts().byWindow.end() || !it->second.handle ? nullptr : &it->second.state;
}

HWND WindowOf(HIMC himc) {
  HWND hwnd;
  {
    std::lock_guard<RankedMutex> lock(ContextLock());
    HWND* found = TheContexts().handles.Find(reinterpret_cast<uintptr_t>(himc));
    if (!found) return nullptr;
    hwnd = *found;
  }
  return IsWindow(hwnd) ? hwnd : nullptr;
}

constexpr int kDefaultCompositionHeight = 16;

// Draws the window's composition where its composition window is, and hands it to the display. GDI
// is called with no lock of ours held; the display (which does not wait) under the context lock, and
// only while the context is still as drawn: the display thread (composing) and the window's thread
// (moving the composition window) may both be drawing, and the last state must be the one shown.
void ShowComposition(HWND hwnd) {
  ContextState s = ContextOf(hwnd);
  POINT at = s.form.dwStyle & CFS_RECT ? POINT{s.form.rcArea.left, s.form.rcArea.top} : s.form.ptCurrentPos;
  RECT client{};
  if (!GetClientRect(hwnd, &client)) return;
  display::OverlayImage image =
      DrawComposition(s.composing, s.hasFont ? &s.font : nullptr, at, SIZE{client.right, client.bottom});
  std::lock_guard<RankedMutex> lock(ContextLock());
  auto it = TheContexts().byWindow.find(hwnd);
  // Drawn again by whoever changed it (or gone with its window).
  if (it == TheContexts().byWindow.end() || it->second.state.changes != s.changes) return;
  if (auto* d = display::OpenedDisplay()) d->SetComposition(hwnd, image);
}

// The composer USER32 calls as the input method composes for `focus`. A composition that ends ends
// wherever it was shown.
void Compose(HWND focus, const std::string& utf8, int cursor, int selectionStart, int selectionLength) {
  std::vector<HWND> changed;
  {
    std::lock_guard<RankedMutex> lock(ContextLock());
    if (utf8.empty()) {
      for (auto& [hwnd, context] : TheContexts().byWindow) {
        ContextState& s = context.state;
        if (s.composing.utf8.empty()) continue;
        s.composing = CompositionText{};
        ++s.changes;
        changed.push_back(hwnd);
      }
    } else {
      ContextState& s = StateLocked(focus);
      s.composing = CompositionText{utf8, cursor, selectionStart, selectionLength};
      ++s.changes;
      changed.push_back(focus);
    }
  }
  for (HWND hwnd : changed) ShowComposition(hwnd);
}

bool Composing(HWND hwnd) { return !ContextOf(hwnd).composing.utf8.empty(); }

}  // namespace

ContextState ContextOf(HWND hwnd) {
  std::lock_guard<RankedMutex> lock(ContextLock());
  auto it = TheContexts().byWindow.find(hwnd);
  return it == TheContexts().byWindow.end() ? ContextState{} : it->second.state;
}

void DropContext(HWND hwnd) {
  std::lock_guard<RankedMutex> lock(ContextLock());
  Contexts& c = TheContexts();
  auto it = c.byWindow.find(hwnd);
  if (it == c.byWindow.end()) return;
  if (it->second.handle) c.handles.Remove(it->second.handle);
  c.byWindow.erase(it);
}

size_t ContextCount() {
  std::lock_guard<RankedMutex> lock(ContextLock());
  return TheContexts().byWindow.size();
}

}  // namespace platform::imm32

using namespace platform::imm32;

HIMC ImmGetContext(HWND hWnd) {
  if (!IsWindow(hWnd)) return nullptr;
  platform::user32::InstallComposer(Compose);
  uint32_t handle;
  {
    std::lock_guard<platform::RankedMutex> lock(ContextLock());
    Context& context = TheContexts().byWindow[hWnd];
    if (!context.handle) context.handle = TheContexts().handles.Insert(hWnd);
    handle = context.handle;
  }
  // A window destroyed meanwhile has had its context dropped already, or drops it now.
  if (!IsWindow(hWnd)) {
    DropContext(hWnd);
    return nullptr;
  }
  return handle ? reinterpret_cast<HIMC>(static_cast<uintptr_t>(handle)) : nullptr;
}

BOOL ImmReleaseContext(HWND hWnd, HIMC hIMC) { return IsWindow(hWnd) && WindowOf(hIMC) == hWnd ? TRUE : FALSE; }

BOOL ImmSetCompositionWindow(HIMC hIMC, LPCOMPOSITIONFORM lpCompForm) {
  HWND hwnd = WindowOf(hIMC);
  if (!hwnd || !lpCompForm) return FALSE;
  int height;
  {
    std::lock_guard<platform::RankedMutex> lock(ContextLock());
    ContextState* s = LiveStateLocked(hwnd);
    if (!s) return FALSE;
    s->placed = true;
    s->form = *lpCompForm;
    ++s->changes;
    height = s->hasFont && s->font.lfHeight != 0 ? platform::AbsClamped(s->font.lfHeight) : kDefaultCompositionHeight;
  }
  POINT p = lpCompForm->ptCurrentPos;
  RECT r{p.x, p.y, platform::AddClamped(p.x, height / 2), platform::AddClamped(p.y, height)};
  if (lpCompForm->dwStyle & CFS_RECT) r = lpCompForm->rcArea;
  if (auto* d = platform::display::OpenedDisplay()) d->SetTextInputRect(hwnd, r);
  if (Composing(hwnd)) ShowComposition(hwnd);  // it moves with its window
  return TRUE;
}

BOOL ImmSetCompositionFontA(HIMC hIMC, LPLOGFONTA lplf) {
  HWND hwnd = WindowOf(hIMC);
  if (!hwnd || !lplf) return FALSE;
  {
    std::lock_guard<platform::RankedMutex> lock(ContextLock());
    ContextState* s = LiveStateLocked(hwnd);
    if (!s) return FALSE;
    s->hasFont = true;
    s->font = *lplf;
    ++s->changes;
  }
  if (Composing(hwnd)) ShowComposition(hwnd);
  return TRUE;
}
