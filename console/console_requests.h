// The requester's side of the console, for threads other than the interface thread: reading a line
// typed into the window, and printing into the text grid.
#pragma once

#include "platform/win32.h"
#include "runtime/strings.h"

// Starts a line-input request, shows the caret at the cursor, waits (without spinning) until Enter
// ends the line, and returns the line's Shift-JIS bytes, without the Enter, as a new string.
// Call only after start-up has seen readyFlag, and from one thread at a time. Without a console
// window the line is empty at once.
TrackedString ConsoleReadLine();

// Hands `text` to the interface thread, which prints it at the cursor (PrintText) in the order of
// the calls and of the lines read. Consumes `text`. 1 when handed over; 0 when there is no console
// window to print in (before start-up has seen readyFlag, or after the window was closed): then
// the text is released unprinted.
int32_t ConsolePrint(TrackedString text);

// Sets the colours of the cells printed from now on (foreColor, backColor; -1 is transparent), in
// order with ConsolePrint. 1 when handed over, 0 without a console window.
int32_t ConsoleSetColor(COLORREF fore, int32_t back);

// Moves the cursor to cell `column` (0-based) of row `row` (0-based) of the window, in order with
// ConsolePrint. Cells left of it that hold nothing become transparent spaces, so the row's text
// reaches the cursor. 1 when handed over, 0 without a console window.
int32_t ConsoleLocate(int32_t row, int32_t column);

// Empties the text grid and sends the cursor home, in order with ConsolePrint. 1 when handed over.
int32_t ConsoleClearText();

// The oldest byte typed while no line was requested, taken out of the ring; -1 when there is none.
int32_t ConsoleTakeKey();
