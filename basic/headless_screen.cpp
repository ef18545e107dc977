#include "basic/headless_screen.h"

#include "platform/win32.h"

namespace {

// The buffer is written out when it grows past this, at INPUT and at the end.
constexpr size_t kFlushBytes = 1 << 16;
constexpr int kRows = 25;

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Between code page 932 and UTF-8 through the system's conversion calls, by way of UTF-16.
std::string Convert(UINT from, UINT to, std::string_view text) {
  if (text.empty()) return std::string();
  const int wideLength = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (wideLength <= 0) return std::string(text);
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), wideLength);
  const int length = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string(text);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(to, 0, wide.data(), wideLength, result.data(), length, nullptr, nullptr);
  return result;
}

}  // namespace

HeadlessScreen::HeadlessScreen(std::FILE* out, std::FILE* in, Options options)
    : out_(out), in_(in), options_(options) {
  buffer_.reserve(kFlushBytes + 256);
}

HeadlessScreen::~HeadlessScreen() { Flush(); }

void HeadlessScreen::Emit(std::string_view bytes) {
  if (options_.utf8)
    EmitConverted(bytes);
  else
    buffer_.append(bytes);
  if (buffer_.size() >= kFlushBytes) Flush();
}

void HeadlessScreen::EmitConverted(std::string_view bytes) {
  // ASCII is the same in both; only text with high bytes goes through the conversion.
  bool plain = pendingLead_.empty();
  for (char c : bytes) plain = plain && static_cast<unsigned char>(c) < 0x80;
  if (plain) {
    buffer_.append(bytes);
    return;
  }
  std::string text = pendingLead_;
  pendingLead_.clear();
  text.append(bytes);
  // Keep a lead byte at the end for the next write, which brings its trail byte.
  size_t i = 0, end = text.size();
  while (i < text.size()) {
    if (IsLead(static_cast<unsigned char>(text[i]))) {
      if (i + 1 == text.size()) {
        end = i;
        break;
      }
      i += 2;
    } else {
      ++i;
    }
  }
  pendingLead_ = text.substr(end);
  buffer_ += Convert(932, CP_UTF8, std::string_view(text).substr(0, end));
}

void HeadlessScreen::Write(std::string_view bytes) {
  const int width = options_.width;
  // The common case: printable single-byte text that fits on the line.
  bool simple = column_ + static_cast<int>(bytes.size()) <= width;
  for (size_t i = 0; simple && i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    simple = c >= 0x20 && c < 0x80;
  }
  if (simple) {
    // ASCII is the same in every encoding this screen writes.
    if (!pendingLead_.empty()) {
      Emit(bytes);
    } else {
      buffer_.append(bytes);
      if (buffer_.size() >= kFlushBytes) Flush();
    }
    column_ += static_cast<int>(bytes.size());
    return;
  }
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\n' || c == '\r') {
      Emit(bytes.substr(start, i - start));
      NewLine();
      start = i + 1;
      continue;
    }
    if (c < 0x20) continue;  // other control bytes pass through and take no cell
    const int cells = (IsLead(c) && i + 1 < bytes.size()) ? 2 : 1;
    if (column_ + cells > width) {
      Emit(bytes.substr(start, i - start));
      NewLine();
      start = i;
    }
    column_ += cells;
    i += cells - 1;
  }
  Emit(bytes.substr(start));
}

void HeadlessScreen::NewLine() {
  if (!pendingLead_.empty()) {
    Emit("\n");
  } else {
    buffer_ += '\n';
    if (buffer_.size() >= kFlushBytes) Flush();
  }
  column_ = 0;
  if (row_ < kRows) ++row_;
}

int HeadlessScreen::NextByte() {
  if (options_.readByte) return options_.readByte();
  const int c = std::fgetc(in_);
  // A read cut short by a signal leaves the stream usable for the next one.
  if (c == EOF && std::ferror(in_)) std::clearerr(in_);
  return c == EOF ? -1 : c;
}

bool HeadlessScreen::ReadRaw(std::string& line) {
  Flush();
  line.clear();
  int c;
  bool any = false;
  while ((c = NextByte()) >= 0) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!any) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (options_.utf8) line = Convert(CP_UTF8, 932, line);
  return true;
}

bool HeadlessScreen::ReadCommand(std::string& line) {
  if (!ReadRaw(line)) return false;
  column_ = 0;
  if (row_ < kRows) ++row_;
  return true;
}

bool HeadlessScreen::ReadLine(std::string& line, bool keepLine) {
  if (!ReadRaw(line)) return false;
  if (options_.echoInput) {
    Write(line);
    if (!keepLine) NewLine();
  } else if (!keepLine) {
    column_ = 0;
    if (row_ < kRows) ++row_;
  }
  return true;
}

std::string HeadlessScreen::Inkey() {
  // Keys come from the input stream one byte at a time; the end of a line is Enter (13).
  Flush();
  const int c = NextByte();
  if (c < 0) return std::string();
  if (c == '\n') return std::string(1, '\r');
  return std::string(1, static_cast<char>(c));
}

void HeadlessScreen::Clear() {
  column_ = 0;
  row_ = 1;
}

void HeadlessScreen::Flush() {
  if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
  buffer_.clear();
  std::fflush(out_);
}
