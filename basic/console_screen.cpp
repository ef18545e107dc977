#include "basic/console_screen.h"

#include <algorithm>
#include <chrono>

#include "basic/errors.h"
#include "console/console_requests.h"
#include "console/console_state.h"
#include "graphics/primitives.h"

namespace {

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

ConsoleScreen::ConsoleScreen(GraphicsLayer& graphics, BasicScreen* mirror) : graphics_(graphics), mirror_(mirror) {
  graphics_.SetDrawnHook([this](const RECT& drawn) { Repaint(drawn); });
  SetColor(graphics_.foreground, graphics_.background);
}

// Where a drawing went, the window is repainted from the back buffer with the text over it. The
// drawing reached the window at once; the repaint puts back the text it covered, and mends what the
// window's own copy got otherwise (a fill that took a letter for its border, a resize in between).
// Repaints are gathered: at most one every kRepaintInterval while a program draws, and the rest
// before a line is read or a key is looked at, and when the caller asks (the end of a run).
void ConsoleScreen::Repaint(const RECT& drawn) {
  const RECT area = {std::max<LONG>(0, drawn.left), std::max<LONG>(0, drawn.top),
                     std::min<LONG>(kScreenWidth, drawn.right), std::min<LONG>(kScreenHeight, drawn.bottom)};
  if (area.left >= area.right || area.top >= area.bottom) return;
  if (dirty_.left >= dirty_.right) {
    dirty_ = area;
  } else {
    dirty_ = {std::min(dirty_.left, area.left), std::min(dirty_.top, area.top), std::max(dirty_.right, area.right),
              std::max(dirty_.bottom, area.bottom)};
  }
  if (std::chrono::steady_clock::now() - lastRepaint_ >= kRepaintInterval) RepaintNow();
}

void ConsoleScreen::RepaintNow() {
  lastRepaint_ = std::chrono::steady_clock::now();
  if (dirty_.left >= dirty_.right) return;
  InvalidateRect(console.consoleWindow, &dirty_, FALSE);
  dirty_ = {};
}

void ConsoleScreen::Send(std::string_view bytes) {
  if (bytes.empty()) return;
  TrackedString text = StrNew(static_cast<int32_t>(bytes.size()));
  RtlMoveMemory(text, bytes.data(), bytes.size());
  ConsolePrint(text);
}

void ConsoleScreen::Write(std::string_view bytes) {
  if (mirror_) mirror_->Write(bytes);
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == '\n' || c == '\r' || c < 0x20) {
      Send(bytes.substr(start, i - start));
      if (c == '\n' || c == '\r') NextRow();
      start = i + 1;
      continue;
    }
    const int cells = (IsLead(c) && i + 1 < bytes.size()) ? 2 : 1;
    if (column_ + cells > kConsoleColumns) {
      Send(bytes.substr(start, i - start));
      NextRow();
      start = i;
    }
    column_ += cells;
    i += cells - 1;
  }
  Send(bytes.substr(start));
}

void ConsoleScreen::ShowMessage(std::string_view line) {
  BasicScreen* mirror = mirror_;
  mirror_ = nullptr;
  if (column_ > 0) NextRow();
  Write(line);
  NextRow();
  mirror_ = mirror;
}

void ConsoleScreen::NextRow() {
  TrackedString lineBreak = StrNew(2);
  RtlMoveMemory(lineBreak, "\r\n", 2);
  ConsolePrint(lineBreak);
  column_ = 0;
  if (row_ < kConsoleRows) ++row_;
}

void ConsoleScreen::NewLine() {
  if (mirror_) mirror_->NewLine();
  NextRow();
}

bool ConsoleScreen::ReadLine(std::string& line, bool keepLine) {
  if (mirror_) {
    RepaintNow();
    if (!mirror_->ReadLine(line, keepLine)) return false;
    Send(line);
    if (!keepLine) NextRow();
    return true;
  }
  const int startColumn = column_, startRow = row_;
  RepaintNow();
  TrackedString typed = ConsoleReadLine();
  line.assign(typed, static_cast<size_t>(StrLength(typed)));
  StrRelease(typed);
  // The editor has echoed the line and its end: the cursor stands at the start of the next row.
  column_ = 0;
  if (row_ < kConsoleRows) ++row_;
  // INPUT; goes back to just after the typed text, on its row (one up if the end scrolled the grid).
  const int end = startColumn + static_cast<int>(line.size());
  if (keepLine && end < kConsoleColumns) {
    row_ = startRow < kConsoleRows ? startRow : kConsoleRows - 1;
    column_ = end;
    ConsoleLocate(row_ - 1, column_);
  }
  return true;
}

bool ConsoleScreen::ReadCommand(std::string& line) {
  if (!mirror_) return ReadLine(line, false);
  if (!mirror_->ReadCommand(line)) return false;
  Send(line);
  NextRow();
  return true;
}

std::string ConsoleScreen::Inkey() {
  RepaintNow();
  if (mirror_) return mirror_->Inkey();
  const int32_t key = ConsoleTakeKey();
  return key < 0 ? std::string() : std::string(1, static_cast<char>(key));
}

void ConsoleScreen::Clear() {
  if (mirror_) mirror_->Clear();
  ConsoleClearText();
  column_ = 0;
  row_ = 1;
  // The console is up whenever this screen exists: its graphics layer is cleared with the text.
  graphics_.Clear();
}

void ConsoleScreen::Flush() {
  if (mirror_) mirror_->Flush();
}

int ConsoleScreen::Locate(int row, int column, int /*cursor*/) {
  if (row == -1) row = row_;
  if (column == -1) column = column_ + 1;
  if (row < 1 || row > kConsoleRows || column < 1 || column > kConsoleColumns) return kErrIllegalFunctionCall;
  if (mirror_) mirror_->Locate(row, column, -1);
  ConsoleLocate(row - 1, column - 1);
  row_ = row;
  column_ = column - 1;
  return 0;
}

int ConsoleScreen::SetColor(int fore, int back) {
  if ((fore != -1 && !IsPaletteIndex(fore)) || (back != -1 && !IsPaletteIndex(back))) return kErrIllegalFunctionCall;
  if (fore != -1) graphics_.foreground = fore;
  if (back != -1) graphics_.background = back;
  // The text lies over the graphics layer: a background of 0 lets the graphics show between the
  // glyphs, any other colour fills the cells.
  const int32_t cellBack = graphics_.background == 0 ? -1 : static_cast<int32_t>(ColorFromIndex(graphics_.background));
  ConsoleSetColor(ColorFromIndex(graphics_.foreground), cellBack);
  return 0;
}

int ConsoleScreen::SetWidth(int width) { return width == kConsoleColumns ? 0 : kErrIllegalFunctionCall; }
