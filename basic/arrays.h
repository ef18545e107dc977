// The storage of one array: its bounds and its elements, numbers or tracked strings.
#pragma once

#include <cstdint>
#include <vector>

#include "basic/interpreter.h"

struct Interpreter::Array {
  bool dimensioned = false;
  VarType type = VarType::Single;
  int32_t base = 0;
  std::vector<int32_t> upper;  // by dimension
  std::vector<double> numbers;
  std::vector<TrackedString> strings;
};
