#include "tests/console/console_fixture.h"

#include <cstring>

#include "console/console_requests.h"
#include "console/console_window.h"
#include "program/program_main.h"
#include "runtime/strings.h"
#include "support/display.h"
#include "tests/common/program_environment.h"

namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(new HeadlessProgramEnvironment);

}  // namespace

void ConsoleTest::Idle() { ASSERT_TRUE(SupportWaitIdle(Window())); }

RECT ConsoleTest::ClientRect() {
  RECT client = {0, 0, 0, 0};
  GetClientRect(Window(), &client);
  return client;
}

void ConsoleTest::SetClientSize(int width, int height) {
  RECT outer = {0, 0, 0, 0};
  GetWindowRect(Window(), &outer);
  const RECT client = ClientRect();
  const int frameWidth = (outer.right - outer.left) - client.right;
  const int frameHeight = (outer.bottom - outer.top) - client.bottom;
  SetWindowPos(Window(), HWND_TOP, 0, 0, width + frameWidth, height + frameHeight, SWP_NOMOVE | SWP_NOZORDER);
  Idle();
  ASSERT_EQ(ClientRect().right, width);
  ASSERT_EQ(ClientRect().bottom, height);
}

void ConsoleTest::SetUp() {
  Idle();
  if (console.inputLength.load() != -1) {
    Char(13);
  }
  SetClientSize(640, 400);
  // The window's thread is idle in GetMessageA: the grid can be reset from here, and the next posted
  // message hands the result over to it.
  for (int r = 0; r < kTextRows; ++r) {
    std::memset(console.rowChars[r], 0, kRowCells);
    std::memset(console.rowFore[r], 0, kRowCells * sizeof(COLORREF));
    std::memset(console.rowBack[r], 0, kRowCells * sizeof(int32_t));
  }
  console.cursorCol = 0;
  console.cursorRow = 0;
  console.lastKey = 0;
  SetColor(0xFFFFFF, 0);
  FillBackBuffer(0, 0, console.screenWidth, console.screenHeight, 0);
}

void ConsoleTest::Print(const std::string& text) {
  TrackedString s = StrNew(static_cast<int32_t>(text.size()));
  std::memcpy(s, text.data(), text.size());
  ConsolePrint(s);
  Idle();
}

void ConsoleTest::SetColor(COLORREF fore, int32_t back) {
  ConsoleSetColor(fore, back);
  Idle();
}

void ConsoleTest::StartLine() {
  PostMessageA(Window(), kConsoleStartLineMessage, 0, 0);
  Idle();
}

void ConsoleTest::Char(unsigned code) {
  PostMessageA(Window(), WM_CHAR, code, 0);
  Idle();
}

void ConsoleTest::Chars(const std::string& bytes) {
  for (unsigned char c : bytes) PostMessageA(Window(), WM_CHAR, c, 0);
  Idle();
}

void ConsoleTest::SetClipboardText(const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  ASSERT_NE(memory, nullptr);
  char* bytes = static_cast<char*>(GlobalLock(memory));
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  ASSERT_NE(SetClipboardData(CF_TEXT, memory), nullptr);
  CloseClipboard();
}

int ConsoleTest::RegisteredStrings() {
  EnterCriticalSection(&stringRegistry.lock);
  const int count = stringRegistry.count;
  LeaveCriticalSection(&stringRegistry.lock);
  return count;
}

void ConsoleTest::FillBackBuffer(int x, int y, int width, int height, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  HGDIOBJ previous = SelectObject(console.backBuffer, brush);
  PatBlt(console.backBuffer, x, y, width, height, PATCOPY);
  SelectObject(console.backBuffer, previous);
  DeleteObject(brush);
  Repaint();
}

void ConsoleTest::Repaint() {
  InvalidateRect(Window(), nullptr, FALSE);
  Idle();
}

COLORREF ConsoleTest::WindowPixel(int x, int y) {
  HDC dc = GetDC(Window());
  const COLORREF pixel = GetPixel(dc, x, y);
  ReleaseDC(Window(), dc);
  return pixel;
}

int ConsoleTest::CellPixels(int row, int col, COLORREF color) {
  HDC dc = GetDC(Window());
  int count = 0;
  for (int y = row * RowHeight(); y < (row + 1) * RowHeight(); ++y) {
    for (int x = col * kCell; x < (col + 1) * kCell; ++x) count += GetPixel(dc, x, y) == color ? 1 : 0;
  }
  ReleaseDC(Window(), dc);
  return count;
}
