// The four types of the dialect's values.
#pragma once

#include <cstdint>

enum class VarType : uint8_t { Integer, Single, Double, String };

inline bool IsNumeric(VarType t) { return t != VarType::String; }

// The wider of two numeric types: the type an arithmetic operation computes in.
inline VarType WiderType(VarType a, VarType b) { return a > b ? a : b; }

// The longest string a value may hold.
constexpr int32_t kMaxStringLength = 255;
