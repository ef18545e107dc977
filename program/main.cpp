// The tile-paint program: the process entry point.
#include "program/program_main.h"

int main() { return ProgramMain(); }
