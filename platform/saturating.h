// Inside the platform layer only: integer arithmetic on values that callers hand in, which may be
// anything an int holds. The result is clamped to the int range instead of overflowing.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

namespace platform {

inline int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

inline int AddClamped(int a, int b) { return ClampToInt(int64_t{a} + b); }

inline int MulClamped(int a, int b) { return ClampToInt(int64_t{a} * b); }

// |v|, with |INT_MIN| taken as INT_MAX.
inline int AbsClamped(int v) { return v == INT_MIN ? INT_MAX : v < 0 ? -v : v; }

}  // namespace platform
