// prompt-echo: a person's way to try the console's line editor. It prints a coloured prompt, reads a
// line typed into the window, prints it back into the window and to standard output (as UTF-8), and
// stops with exit code 0 at the first empty line.
#include <cstdio>
#include <string>

#include "console/console_requests.h"
#include "program/program_main.h"

namespace {

const COLORREF kWhite = 0xFFFFFF;
const COLORREF kYellow = 0x00FFFF;
const COLORREF kCyan = 0xFFFF00;
const int32_t kBlue = 0x800000;
const int32_t kBlack = 0;
const int32_t kTransparent = -1;

void Print(const char* text) {
  const int length = lstrlenA(text);
  TrackedString s = StrNew(length);
  RtlMoveMemory(s, text, length);
  ConsolePrint(s);
}

// "行を入力してください" (type a line) and "空行で終了" (an empty line ends), in Shift-JIS.
const char kTypeALine[] = "\x8D\x73\x82\xF0\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";
const char kEmptyLineEnds[] = "\x8B\xF3\x8D\x73\x82\xC5\x8F\x49\x97\xB9";

void PrintPrompt() {
  ConsoleSetColor(kCyan, kBlue);
  Print("BASIC");
  ConsoleSetColor(kWhite, kBlack);
  Print("\t");
  ConsoleSetColor(kYellow, kTransparent);
  Print(kTypeALine);
  Print(" (");
  Print(kEmptyLineEnds);
  Print(")\t");
  ConsoleSetColor(kWhite, kBlack);
  Print("> ");
}

// The Shift-JIS line as UTF-8, through UTF-16 as Windows converts code pages.
std::string ToUtf8(const char* text, int length) {
  if (length == 0) return std::string();
  const int wideLength = MultiByteToWideChar(932, 0, text, length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(932, 0, text, length, wide.data(), wideLength);
  const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr, nullptr);
  return utf8;
}

}  // namespace

int main() {
  ProgramStartup();
  for (;;) {
    PrintPrompt();
    TrackedString line = ConsoleReadLine();
    const int length = StrLength(line);
    if (length == 0) {
      StrRelease(line);
      std::fflush(stdout);
      ExitProcess(0);
    }
    std::string utf8 = ToUtf8(line, length);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);

    ConsoleSetColor(kWhite, kBlack);
    Print("=> ");
    ConsoleSetColor(0x80FF80, kBlack);
    ConsolePrint(line);
    Print("\r\n");
  }
}
