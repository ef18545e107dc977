// The yardstick of print.bas: its 100,000 lines written with fwrite.
#include <cstdio>

int main() {
  static const char kLine[] = "HELLO, WORLD\n";
  for (int i = 0; i < 100000; ++i) std::fwrite(kLine, 1, sizeof kLine - 1, stdout);
  return 0;
}
