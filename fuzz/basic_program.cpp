// A BASIC program from the fuzz input, run headless with no keyboard, no files and a bound on its jumps.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "basic/screen.h"
#include "basic/session.h"
#include "runtime/strings.h"

namespace {

// The screen keeps nothing; there is never a key or a line to read.
class NullScreen : public BasicScreen {
 public:
  void Write(std::string_view bytes) override {
    for (char c : bytes) column_ = (c == '\n' || c == '\r' || column_ >= 79) ? 0 : column_ + 1;
  }
  void NewLine() override { column_ = 0; }
  int Column() const override { return column_; }
  int Row() const override { return 1; }
  int Width() const override { return 80; }
  bool ReadLine(std::string&, bool) override { return false; }
  std::string Inkey() override { return std::string(); }
  void Clear() override { column_ = 0; }
  void Flush() override {}

 private:
  int column_ = 0;
};

// Jumps and loop turns one input may take.
constexpr int64_t kJumpBudget = 20000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (StrInit(), true);
  static std::FILE* const errors = std::fopen("/dev/null", "w");
  (void)ready;
  NullScreen screen;
  RunLimits limits;
  limits.jumpBudget = kJumpBudget;
  limits.allowFiles = false;
  Session session(screen, errors, limits);
  int error;
  int32_t line;
  if (session.Load(std::string_view(reinterpret_cast<const char*>(data), size), error, line)) session.RunProgram();
  return 0;
}
