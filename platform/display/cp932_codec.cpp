#include "platform/display/cp932_codec.h"

namespace platform::display {

std::string ClipboardTextToSystem(const std::string& cp932) {
  std::string lf;
  for (size_t i = 0; i < cp932.size(); ++i) {
    if (cp932[i] == '\r' && i + 1 < cp932.size() && cp932[i + 1] == '\n') continue;
    lf.push_back(cp932[i]);
  }
  return Cp932ToUtf8(lf);
}

std::string ClipboardTextFromSystem(const std::string& utf8) {
  std::string crlf;
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '\r' || c == '\n') {
      crlf += "\r\n";
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      crlf.push_back(c);
    }
  }
  return Utf8ToCp932(crlf);
}

}  // namespace platform::display
