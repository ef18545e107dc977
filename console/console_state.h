// The console window's global state: the window, its back buffer (the graphics layer), the character
// cell, the text grid with its cursor and colours, and the line being typed. One record, zero at load.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32.h"

constexpr int kTextRows = 101;       // rows 0..100
constexpr int kRowCells = 255;       // bytes a row holds; its text keeps a zero byte, so 254 characters
constexpr int kRowTextLimit = kRowCells - 1;
constexpr int kInputBufferSize = 256;  // 255 bytes of line and the zero byte Enter writes
constexpr int kInputLineLimit = kInputBufferSize - 1;
constexpr uint32_t kKeyRingSize = 64;
// Print, colour, cursor and clear requests that may wait for the interface thread at once.
constexpr int32_t kMaxPendingRequests = 32;

struct ConsoleState {
  HWND consoleWindow;
  DWORD guiThreadId;
  // Set to 1 by every WM_PAINT; polled by the main thread. Atomic so the poll sees it and everything
  // the window made before it (the back buffer, the cell metrics).
  std::atomic<int32_t> readyFlag;
  LOGFONTA consoleFont;
  HFONT consoleFontHandle;
  int32_t cellWidth;
  int32_t cellHeight;
  char inputBuffer[kInputBufferSize];
  // -1: no line-input request. The editor publishes the end of a line by storing -1 (release) after
  // the zero byte; a requester on another thread reads it with acquire before it reads inputBuffer.
  std::atomic<int32_t> inputLength;
  uint8_t lastKey;
  int32_t cursorCol;  // 0..kRowTextLimit: the cell the next printed byte goes to
  int32_t cursorRow;  // 0..100
  char* rowChars[kTextRows];
  COLORREF* rowFore[kTextRows];
  int32_t* rowBack[kTextRows];  // -1: transparent
  COLORREF foreColor;
  int32_t backColor;  // -1: transparent
  HBITMAP backBitmap;
  HDC backBuffer;
  int32_t screenWidth;
  int32_t screenHeight;
  // Signalled by the editor when Enter ends a line; made by the first requester.
  HANDLE lineDone;
  // The process's exit code when the window is closed (0 unless a program sets it).
  std::atomic<int32_t> exitCode;
  // Bytes typed while no line is requested, oldest first: the interface thread appends at keyTail,
  // a reader on another thread takes from keyHead. A full ring drops the newest byte.
  char keyRing[kKeyRingSize];
  std::atomic<uint32_t> keyHead;
  std::atomic<uint32_t> keyTail;
  // Requests posted and not yet handled; a requester that finds kMaxPendingRequests waits on
  // requestRoom (auto-reset, made before the window), which the interface thread sets when it takes
  // one off a full queue.
  std::atomic<int32_t> pendingRequests;
  HANDLE requestRoom;
};

extern ConsoleState console;
