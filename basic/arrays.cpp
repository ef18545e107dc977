// Arrays: DIM, the implicit DIM of ten on first use, ERASE, and the element an index names.
#include "basic/arrays.h"

#include "basic/errors.h"

namespace {
// The bound an array gets when it is used before any DIM.
constexpr int32_t kImplicitBound = 10;
// Dimensions a subscript list may have.
constexpr int32_t kMaxDimensions = 255;
}  // namespace

void Interpreter::ReleaseArray(Array& a) {
  for (TrackedString s : a.strings)
    if (s) StrRelease(s);
  arrayElements_ -= static_cast<int64_t>(a.numbers.size() + a.strings.size());
  a.strings.clear();
  a.strings.shrink_to_fit();
  a.numbers.clear();
  a.numbers.shrink_to_fit();
  a.upper.clear();
  a.dimensioned = false;
}

// Dimensions the array of node `index` (an Element node whose subscripts are the bounds, or, when
// implicit, whose subscript count gives the dimensions of ten).
bool Interpreter::Dimension(int32_t index, bool implicit, Array*& out) {
  const Node& n = image_.nodes[index];
  Array& a = *arrays_[n.a];
  out = &a;
  if (a.dimensioned) {
    Raise(kErrDuplicateDefinition);
    return false;
  }
  if (n.c > kMaxDimensions) {
    Raise(kErrSubscriptOutOfRange);
    return false;
  }
  std::vector<int32_t> upper(static_cast<size_t>(n.c), kImplicitBound);
  int64_t count = 1;
  for (int32_t i = 0; i < n.c; ++i) {
    if (!implicit) {
      int32_t bound;
      if (!ToInteger(image_.aux[n.b + i], bound)) return false;
      if (bound < optionBase_) {
        Raise(bound < 0 ? kErrIllegalFunctionCall : kErrSubscriptOutOfRange);
        return false;
      }
      upper[i] = bound;
    }
    count *= upper[i] - optionBase_ + 1;
    if (count > kMaxArrayElements) break;
  }
  if (count > kMaxArrayElements || arrayElements_ + count > kMaxArrayElements) {
    Raise(kErrOutOfMemory);
    return false;
  }
  a.base = optionBase_;
  a.upper = std::move(upper);
  if (a.type == VarType::String)
    a.strings.assign(static_cast<size_t>(count), nullptr);
  else
    a.numbers.assign(static_cast<size_t>(count), 0.0);
  arrayElements_ += count;
  a.dimensioned = true;
  optionBaseFixed_ = true;
  return true;
}

int64_t Interpreter::ElementIndex(const Node& n, Array*& array) {
  Array* a = arrays_[n.a].get();
  array = a;
  if (!a->dimensioned) {
    const int32_t index = static_cast<int32_t>(&n - image_.nodes.data());
    if (!Dimension(index, true, a)) return -1;
  }
  if (static_cast<size_t>(n.c) != a->upper.size()) {
    Raise(kErrSubscriptOutOfRange);
    return -1;
  }
  int64_t flat = 0;
  for (int32_t i = 0; i < n.c; ++i) {
    int32_t sub;
    if (!ToInteger(image_.aux[n.b + i], sub)) return -1;
    if (sub < a->base || sub > a->upper[i]) {
      Raise(kErrSubscriptOutOfRange);
      return -1;
    }
    flat = flat * (a->upper[i] - a->base + 1) + (sub - a->base);
  }
  return flat;
}

void Interpreter::ExecDim(const Stmt& s) {
  for (int32_t i = 0; i < s.c && !error_; ++i) {
    Array* a;
    Dimension(image_.aux[s.b + i], false, a);
  }
}

void Interpreter::ExecErase(const Stmt& s) {
  for (int32_t i = 0; i < s.c; ++i) {
    Array& a = *arrays_[image_.aux[s.b + i]];
    if (!a.dimensioned) {
      Raise(kErrIllegalFunctionCall);
      return;
    }
    ReleaseArray(a);
  }
}
