// The yardstick of loop.bas: the same 2,000,000 turns of S = S + I * 2 in C++, every variable volatile
// so each step loads and stores as the interpreter's slots do.
#include <cstdio>

int main() {
  volatile double s = 0;
  volatile double i = 1;
  while (i <= 2000000) {
    s = s + i * 2;
    i = i + 1;
  }
  std::printf("%.16g\n", static_cast<double>(s));
  return 0;
}
