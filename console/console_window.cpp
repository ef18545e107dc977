// The interface thread and the window procedure of the console.
#include "console/console_window.h"

#include <cstdio>
#include <cstring>

#include "console/console_state.h"
#include "console/line_editor.h"
#include "console/text_grid.h"
#include "runtime/strings.h"

namespace {

// "ＭＳ ゴシック" in Shift-JIS.
const char kConsoleFaceName[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
const char kClassName[] = "PROMPT";
const char kCaption[] = "BASIC PROMPT";

const int kCaretWidth = 9;
const int kCaretHeight = 6;
const int kCaretLift = 7;  // the caret's top edge lies this far above the cell's bottom edge

// Without its font, class, window or back buffer the console can never paint, and the main thread
// would wait for readyFlag for ever: say which part is missing and end the process.
[[noreturn]] void ConsoleFail(const char* what) {
  std::fprintf(stderr, "%s: cannot create %s; the console cannot start.\n", kCaption, what);
  std::fflush(stderr);
  ExitProcess(1);
}

void AllocateRows() {
  for (int r = 0; r < kTextRows; ++r) {
    console.rowChars[r] = static_cast<char*>(HeapAlloc(stringRegistry.heap, HEAP_ZERO_MEMORY, kRowCells));
    console.rowFore[r] =
        static_cast<COLORREF*>(HeapAlloc(stringRegistry.heap, HEAP_ZERO_MEMORY, kRowCells * sizeof(COLORREF)));
    console.rowBack[r] =
        static_cast<int32_t*>(HeapAlloc(stringRegistry.heap, HEAP_ZERO_MEMORY, kRowCells * sizeof(int32_t)));
    if (!console.rowChars[r] || !console.rowFore[r] || !console.rowBack[r]) ConsoleFail("the text rows");
  }
}

void FreeRows() {
  for (int r = 0; r < kTextRows; ++r) {
    HeapFree(stringRegistry.heap, 0, console.rowChars[r]);
    HeapFree(stringRegistry.heap, 0, console.rowFore[r]);
    HeapFree(stringRegistry.heap, 0, console.rowBack[r]);
    console.rowChars[r] = nullptr;
    console.rowFore[r] = nullptr;
    console.rowBack[r] = nullptr;
  }
}

void CreateConsoleFont() {
  LOGFONTA& font = console.consoleFont;
  font.lfHeight = -16;
  font.lfWidth = 0;
  font.lfEscapement = 0;
  font.lfOrientation = 0;
  font.lfWeight = 0;
  font.lfItalic = 0;
  font.lfUnderline = 0;
  font.lfStrikeOut = 0;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfOutPrecision = 0;
  font.lfClipPrecision = 0;
  font.lfQuality = 0;
  font.lfPitchAndFamily = FIXED_PITCH;
  lstrcpyA(font.lfFaceName, kConsoleFaceName);
  console.consoleFontHandle = CreateFontIndirectA(&font);
  if (!console.consoleFontHandle) ConsoleFail("the console font");
}

void RegisterConsoleClass() {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(WNDCLASSEXA);
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = ConsoleWndProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = kClassName;
  windowClass.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
  if (!RegisterClassExA(&windowClass)) ConsoleFail("the window class \"PROMPT\"");
}

// WM_CREATE: the screen-sized graphics layer, black, and the character cell of the console font.
// consoleWindow is not set yet, so everything works with the handle the message brings.
void OnCreate(HWND window) {
  HDC windowDC = GetDC(window);
  if (!windowDC) ConsoleFail("the back buffer (no window DC)");
  console.backBitmap = CreateCompatibleBitmap(windowDC, console.screenWidth, console.screenHeight);
  console.backBuffer = CreateCompatibleDC(windowDC);
  if (!console.backBitmap || !console.backBuffer) ConsoleFail("the back buffer");
  SelectObject(console.backBuffer, console.backBitmap);

  HGDIOBJ previousBrush = SelectObject(console.backBuffer, GetStockObject(BLACK_BRUSH));
  PatBlt(console.backBuffer, 0, 0, console.screenWidth, console.screenHeight, PATCOPY);
  SelectObject(console.backBuffer, previousBrush);

  HGDIOBJ previousFont = SelectObject(console.backBuffer, console.consoleFontHandle);
  SIZE space = {0, 0};
  GetTextExtentPoint32A(console.backBuffer, " ", 1, &space);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(console.backBuffer, &metrics);
  console.cellWidth = space.cx;
  console.cellHeight = metrics.tmHeight;
  SelectObject(console.backBuffer, previousFont);

  ReleaseDC(window, windowDC);
}

void OnPaint(HWND window) {
  // A BeginPaint that fails says nothing of the structure: EndPaint must not find a DC in it.
  PAINTSTRUCT paint = {};
  HDC dc = BeginPaint(window, &paint);
  BitBlt(dc, 0, 0, console.screenWidth, console.screenHeight, console.backBuffer, 0, 0, SRCCOPY);
  RedrawText(dc, -1, 0);
  EndPaint(window, &paint);
  console.readyFlag.store(1, std::memory_order_release);
}

// The caret and the input method follow the text cursor only while a line is being typed.
void OnSetFocus(HWND window) {
  if (console.inputLength.load(std::memory_order_relaxed) == -1) return;
  HIMC context = ImmGetContext(window);
  if (context) {
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos.x = console.cursorCol * console.cellWidth;
    form.ptCurrentPos.y = console.cursorRow * console.cellHeight;
    ImmSetCompositionWindow(context, &form);
    ImmSetCompositionFontA(context, &console.consoleFont);
    ImmReleaseContext(window, context);
  }
  CreateCaret(window, nullptr, kCaretWidth, kCaretHeight);
  SetCaretPos(console.cursorCol * console.cellWidth, (console.cursorRow + 1) * console.cellHeight - kCaretLift);
  ShowCaret(window);
}

void OnKillFocus(HWND window) {
  HideCaret(window);
  DestroyCaret();
}

void OnDestroy() {
  DeleteDC(console.backBuffer);
  DeleteObject(console.backBitmap);
  PostQuitMessage(0);
}

// A requester's line starts on this thread, so the caret comes up exactly as the editor brings it back.
void OnStartLine(HWND window) {
  console.inputLength.store(0, std::memory_order_release);
  SendMessageA(window, WM_SETFOCUS, 0, 0);
}

// One counted request handled: a requester waiting for room may go on.
void RequestDone() {
  if (console.pendingRequests.fetch_sub(1, std::memory_order_acq_rel) == kMaxPendingRequests)
    SetEvent(console.requestRoom);
}

void OnLocate(int32_t row, int32_t column) {
  if (row < 0 || row >= kTextRows || column < 0 || column >= kRowTextLimit) return;
  char* cells = console.rowChars[row];
  for (int c = lstrlenA(cells); c < column; ++c) {
    cells[c] = ' ';
    console.rowFore[row][c] = console.foreColor;
    console.rowBack[row][c] = -1;
  }
  console.cursorRow = row;
  console.cursorCol = column;
}

void OnClearText(HWND window) {
  for (int r = 0; r < kTextRows; ++r) {
    std::memset(console.rowChars[r], 0, kRowCells);
    std::memset(console.rowFore[r], 0, kRowCells * sizeof(COLORREF));
    std::memset(console.rowBack[r], 0, kRowCells * sizeof(int32_t));
  }
  console.cursorRow = 0;
  console.cursorCol = 0;
  InvalidateRect(window, nullptr, FALSE);
}

}  // namespace

LRESULT CALLBACK ConsoleWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The echo string of the line editor lives for exactly one message.
  TrackedString echo = StrNew(0);
  LRESULT result = 0;
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      break;
    case WM_PAINT:
      OnPaint(window);
      break;
    case WM_SETFOCUS:
      OnSetFocus(window);
      break;
    case WM_KILLFOCUS:
      OnKillFocus(window);
      break;
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_KEYDOWN:
      EditorKeyDown(wParam);
      break;
    case WM_CHAR:
      EditorChar(window, wParam, echo);
      break;
    case kConsolePrintMessage:
      PrintText(reinterpret_cast<TrackedString>(lParam));
      RequestDone();
      break;
    case kConsoleStartLineMessage:
      OnStartLine(window);
      break;
    case kConsoleColorMessage:
      console.foreColor = static_cast<COLORREF>(wParam);
      console.backColor = static_cast<int32_t>(lParam);
      RequestDone();
      break;
    case kConsoleLocateMessage:
      OnLocate(static_cast<int32_t>(lParam), static_cast<int32_t>(wParam));
      RequestDone();
      break;
    case kConsoleClearTextMessage:
      OnClearText(window);
      RequestDone();
      break;
    default:
      result = DefWindowProcA(window, message, wParam, lParam);
      break;
  }
  StrRelease(echo);
  return result;
}

DWORD WINAPI GuiThreadMain(LPVOID) {
  AllocateRows();
  console.foreColor = 0xFFFFFF;
  console.backColor = 0;
  console.requestRoom = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!console.requestRoom) ConsoleFail("the request event");
  console.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  console.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  CreateConsoleFont();
  RegisterConsoleClass();

  HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, kClassName, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!window) ConsoleFail("the window \"BASIC PROMPT\"");
  console.consoleWindow = window;
  ShowWindow(window, SW_SHOW);

  MSG message;
  for (;;) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }

  FreeRows();
  ExitProcess(static_cast<UINT>(console.exitCode.load(std::memory_order_acquire)));
}
