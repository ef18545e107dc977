// IMM32: every window has an input context (the display's text input is always there). The
// composition window places the display's text-input rectangle; the composition font is recorded and
// gives that rectangle its height. What the input method composes is drawn at the composition
// window's point in the composition font (see composition_window.h) and handed to the display, which
// shows it over the window.
#include "platform/imm32/input_context.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/kernel32/kernel32.h"
#include "platform/user32/composition_hook.h"
#include "platform/user32/user32.h"

namespace platform::imm32 {
namespace {

// A context handle is its window's handle with a marker bit, so it is checked against the window.
constexpr uintptr_t kContextBit = 0x40000000u;

std::mutex& ContextLock() {
  static auto* lock = new std::mutex();
  return *lock;
}
std::map<HWND, ContextState>& Contexts() {
  static auto* contexts = new std::map<HWND, ContextState>();
  return *contexts;
}

HWND WindowOf(HIMC himc) {
  uintptr_t v = reinterpret_cast<uintptr_t>(himc);
  if (!(v & kContextBit)) return nullptr;
  HWND hwnd = reinterpret_cast<HWND>(v & ~kContextBit);
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
  display::OverlayImage image = DrawComposition(s.composing, s.hasFont ? &s.font : nullptr, at);
  std::lock_guard<std::mutex> lock(ContextLock());
  if (Contexts()[hwnd].changes != s.changes) return;  // drawn again by whoever changed it
  if (auto* d = display::OpenedDisplay()) d->SetComposition(hwnd, image);
}

// The composer USER32 calls as the input method composes for `focus`. A composition that ends ends
// wherever it was shown.
void Compose(HWND focus, const std::string& utf8, int cursor, int selectionStart, int selectionLength) {
  std::vector<HWND> changed;
  {
    std::lock_guard<std::mutex> lock(ContextLock());
    if (utf8.empty()) {
      for (auto& [hwnd, s] : Contexts()) {
        if (s.composing.utf8.empty()) continue;
        s.composing = CompositionText{};
        ++s.changes;
        changed.push_back(hwnd);
      }
    } else {
      ContextState& s = Contexts()[focus];
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
  std::lock_guard<std::mutex> lock(ContextLock());
  auto it = Contexts().find(hwnd);
  return it == Contexts().end() ? ContextState{} : it->second;
}

}  // namespace platform::imm32

using namespace platform::imm32;

HIMC ImmGetContext(HWND hWnd) {
  if (!IsWindow(hWnd)) return nullptr;
  platform::user32::InstallComposer(Compose);
  return reinterpret_cast<HIMC>(reinterpret_cast<uintptr_t>(hWnd) | kContextBit);
}

BOOL ImmReleaseContext(HWND hWnd, HIMC hIMC) { return IsWindow(hWnd) && WindowOf(hIMC) == hWnd ? TRUE : FALSE; }

BOOL ImmSetCompositionWindow(HIMC hIMC, LPCOMPOSITIONFORM lpCompForm) {
  HWND hwnd = WindowOf(hIMC);
  if (!hwnd || !lpCompForm) return FALSE;
  int height;
  {
    std::lock_guard<std::mutex> lock(ContextLock());
    ContextState& s = Contexts()[hwnd];
    s.placed = true;
    s.form = *lpCompForm;
    ++s.changes;
    height = s.hasFont && s.font.lfHeight != 0 ? std::abs(s.font.lfHeight) : kDefaultCompositionHeight;
  }
  POINT p = lpCompForm->ptCurrentPos;
  RECT r{p.x, p.y, p.x + height / 2, p.y + height};
  if (lpCompForm->dwStyle & CFS_RECT) r = lpCompForm->rcArea;
  if (auto* d = platform::display::OpenedDisplay()) d->SetTextInputRect(hwnd, r);
  if (Composing(hwnd)) ShowComposition(hwnd);  // it moves with its window
  return TRUE;
}

BOOL ImmSetCompositionFontA(HIMC hIMC, LPLOGFONTA lplf) {
  HWND hwnd = WindowOf(hIMC);
  if (!hwnd || !lplf) return FALSE;
  {
    std::lock_guard<std::mutex> lock(ContextLock());
    ContextState& s = Contexts()[hwnd];
    s.hasFont = true;
    s.font = *lplf;
    ++s.changes;
  }
  if (Composing(hwnd)) ShowComposition(hwnd);
  return TRUE;
}
